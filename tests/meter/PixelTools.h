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

using Match = std::function<bool(std::uint32_t)>;
inline const auto Is
    = [](std::uint32_t colour) { return Match([colour](std::uint32_t c) { return c == colour; }); };
inline const auto IsNot
    = [](std::uint32_t colour) { return Match([colour](std::uint32_t c) { return c != colour; }); };

inline int Count(const QImage& image, const Match& match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += match(At(image, x, y)) ? 1 : 0;
    }
    return n;
}

// The smallest rectangle holding every pixel that matches; null when none does.
inline QRect Bounds(const QImage& image, const Match& match)
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

// Groups of pixels of `colour`, where pixels up to `gap` apart in x and y belong to the same group.
inline int Clusters(const QImage& image, std::uint32_t colour, int gap)
{
    const int w = image.width();
    std::vector<bool> seen(static_cast<std::size_t>(w * image.height()), false);
    auto take = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= image.height() || seen[static_cast<std::size_t>(y * w + x)])
            return false;
        seen[static_cast<std::size_t>(y * w + x)] = true;
        return At(image, x, y) == colour;
    };
    int groups = 0;
    for (int i = 0; i < w * image.height(); ++i) {
        std::vector<QPoint> stack;
        if (take(i % w, i / w))
            stack.emplace_back(i % w, i / w);
        groups += stack.empty() ? 0 : 1;
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            for (int dy = -gap; dy <= gap; ++dy) {
                for (int dx = -gap; dx <= gap; ++dx) {
                    if (take(p.x() + dx, p.y() + dy))
                        stack.emplace_back(p.x() + dx, p.y() + dy);
                }
            }
        }
    }
    return groups;
}

} // namespace pelicard::testing
