#include "meter/TextRuns.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>

namespace pelicard::modGraph {

namespace {

std::atomic<std::uint64_t> fontGeneration { 1 };
std::atomic<QCoreApplication*> watchedApplication { nullptr };
std::mutex watchMutex;

void NextFontGeneration()
{
    fontGeneration.fetch_add(1, std::memory_order_acq_rel);
}

// Sees the application's default font change (fonts resolve their unset attributes from it).
class FontChangeWatch final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ApplicationFontChange) {
            NextFontGeneration();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Texts whose picture aside would be larger than this are drawn by the engine instead.
constexpr int kMaxRenderSide = 4096;
constexpr qsizetype kMaxRenderPixels = qsizetype { 1 } << 20;

} // namespace

std::uint64_t FontGeneration()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application != watchedApplication.load(std::memory_order_acquire)) {
        const std::lock_guard lock(watchMutex);
        if (application != watchedApplication.load(std::memory_order_acquire)) {
            if (auto* gui = qobject_cast<QGuiApplication*>(application)) {
                QObject::connect(gui, &QGuiApplication::fontDatabaseChanged, gui, NextFontGeneration,
                    Qt::DirectConnection);
                auto* watch = new FontChangeWatch;
                watch->moveToThread(gui->thread());
                watch->setParent(gui);
                gui->installEventFilter(watch);
                QObject::connect(gui, &QObject::destroyed, [] {
                    watchedApplication.store(nullptr, std::memory_order_release);
                    NextFontGeneration();
                });
            }
            NextFontGeneration();
            watchedApplication.store(application, std::memory_order_release);
        }
    }
    return fontGeneration.load(std::memory_order_acquire);
}

RenderedText RenderText(const QFont& font, const QString& text)
{
    RenderedText rendered;
    rendered.state = RenderedText::State::NotCaptured;
    const QFontMetrics metrics(font);
    rendered.advance = metrics.horizontalAdvance(text);
    rendered.ascent = metrics.ascent();
    rendered.descent = metrics.descent();
    if (text.isEmpty()) {
        rendered.state = RenderedText::State::Captured;
        return rendered;
    }
    // A margin of a whole cell on every side holds overhanging glyphs; a pixel on the outermost
    // rows or columns means the text may reach beyond and it is not captured.
    const qsizetype cell = std::max(1, rendered.ascent + rendered.descent);
    const qsizetype margin = cell + 2;
    const qsizetype width = std::max(0, rendered.advance) + 2 * margin;
    const qsizetype height = cell + 2 * margin;
    if (width > kMaxRenderSide || height > kMaxRenderSide || width * height > kMaxRenderPixels) {
        return rendered;
    }
    const QPoint pen(static_cast<int>(margin), static_cast<int>(margin) + rendered.ascent);
    // Two pens: a pixel that takes each pen's colour exactly, and no other pixel, is the text's.
    static constexpr std::array<QRgb, 2> kPens = { 0xFF000000u, 0xFFFFFFFFu };
    std::array<QImage, 2> pictures;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        pictures[k]
            = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
        pictures[k].fill(Qt::transparent);
        QPainter painter(&pictures[k]);
        if (!painter.isActive()) {
            return rendered;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(kPens[k]));
        painter.translate(pen.x(), pen.y());
        painter.drawText(QPoint(0, 0), text);
    }
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    for (int y = 0; y < h; ++y) {
        const auto* first = reinterpret_cast<const QRgb*>(pictures[0].constScanLine(y));
        const auto* second = reinterpret_cast<const QRgb*>(pictures[1].constScanLine(y));
        int x = 0;
        while (x < w) {
            if (first[x] == 0 && second[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && first[x] == kPens[0] && second[x] == kPens[1]) {
                ++x;
            }
            const bool edge = y == 0 || y == h - 1 || start == 0 || x == w;
            if (x == start || edge) {
                rendered.runs.clear();
                return rendered;
            }
            rendered.runs.push_back(TextRun { y - pen.y(), start - pen.x(), x - start });
        }
    }
    rendered.state = RenderedText::State::Captured;
    return rendered;
}

std::size_t TextRunCache::KeyHash::operator()(const TextKey& key) const
{
    return qHashMulti(
        0, key.text, key.fontName, key.fontSize, key.weight, key.italic, key.underline, key.strikeOut);
}

RenderedText* TextRunCache::Find(const TextKey& key)
{
    const std::uint64_t generation = FontGeneration();
    if (generation != generation_) {
        recent_.clear();
        older_.clear();
        generation_ = generation;
        return nullptr;
    }
    if (const auto found = recent_.find(key); found != recent_.end()) {
        return &found->second;
    }
    auto node = older_.extract(key);
    if (node.empty()) {
        return nullptr;
    }
    MakeRoom();
    return &recent_.insert(std::move(node)).position->second;
}

RenderedText& TextRunCache::Insert(const TextKey& key, RenderedText rendered)
{
    MakeRoom();
    return recent_.insert_or_assign(key, std::move(rendered)).first->second;
}

void TextRunCache::MakeRoom()
{
    if (recent_.size() >= kCapacity) {
        older_ = std::move(recent_);
        recent_.clear();
    }
}

} // namespace pelicard::modGraph
