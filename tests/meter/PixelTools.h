#pragma once

#include "meter/modGraph.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <vector>

namespace pelicard::testing {

inline constexpr std::uint32_t kWhite = 0xFFFFFF;

inline QImage Canvas(
    int width, int height, std::uint32_t colour = kWhite, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(QColor::fromRgb(modGraph::ColourToRgb(colour)));
    return image;
}

// The colour of a pixel as 0xBBGGRR.
inline std::uint32_t At(const QImage& image, int x, int y)
{
    return modGraph::RgbToColour(image.pixel(x, y));
}

inline int Count(const QImage& image, const std::function<bool(std::uint32_t)>& match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += match(At(image, x, y)) ? 1 : 0;
    }
    return n;
}

inline int CountColour(const QImage& image, std::uint32_t colour)
{
    return Count(image, [colour](std::uint32_t c) { return c == colour; });
}

// The smallest rectangle holding every pixel that matches; null when none does.
inline QRect Bounds(const QImage& image, const std::function<bool(std::uint32_t)>& match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (match(At(image, x, y)))
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

inline QRect BoundsOfColour(const QImage& image, std::uint32_t colour)
{
    return Bounds(image, [colour](std::uint32_t c) { return c == colour; });
}

inline QRect BoundsNotColour(const QImage& image, std::uint32_t colour)
{
    return Bounds(image, [colour](std::uint32_t c) { return c != colour; });
}

// Groups of matching pixels, where pixels up to `gap` apart belong to the same group.
inline int Clusters(const QImage& image, const std::function<bool(std::uint32_t)>& match, int gap)
{
    const int w = image.width();
    const int h = image.height();
    std::vector<int> label(static_cast<std::size_t>(w * h), 0);
    auto matches = [&](int x, int y) { return match(At(image, x, y)); };
    int groups = 0;
    std::vector<QPoint> stack;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!matches(x, y) || label[static_cast<std::size_t>(y * w + x)] != 0)
                continue;
            ++groups;
            stack.push_back(QPoint(x, y));
            label[static_cast<std::size_t>(y * w + x)] = groups;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (int dy = -gap; dy <= gap; ++dy) {
                    for (int dx = -gap; dx <= gap; ++dx) {
                        const int nx = p.x() + dx;
                        const int ny = p.y() + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                            continue;
                        auto& l = label[static_cast<std::size_t>(ny * w + nx)];
                        if (l == 0 && matches(nx, ny)) {
                            l = groups;
                            stack.push_back(QPoint(nx, ny));
                        }
                    }
                }
            }
        }
    }
    return groups;
}

} // namespace pelicard::testing
