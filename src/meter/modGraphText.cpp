// The text operations of modGraph: fonts given as a cell height, text boxes and text.
#include "meter/Raster.h"
#include "meter/TextRuns.h"
#include "meter/modGraph.h"
#include "values/Arithmetic.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace pelicard::modGraph {

namespace {

using raster::i64;
using raster::PixelSink;

constexpr int kMaxPixelSize = 1024;
constexpr int kDefaultCell = 16;

bool HasGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

int CellHeight(const QFont& font)
{
    const QFontMetrics metrics(font);
    return metrics.ascent() + metrics.descent();
}

QFont MakeFont(const QString& fontName, int weight, bool italic)
{
    QFont font(fontName);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? FW_NORMAL : weight, 1, 1000)));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoAntialias);
    // Whole-pixel advances and crisp one-colour glyphs, as classic raster text has.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The smallest pixel size whose ascent plus descent is the cell height, or else the largest
// whose cell still fits.
int PixelSizeForCell(QFont font, int cell)
{
    auto height = [&font](int pixelSize) {
        font.setPixelSize(pixelSize);
        return CellHeight(font);
    };
    // Start near the usual ratio of cell to em and walk from there.
    int size = std::clamp(cell * 9 / 10, 1, kMaxPixelSize);
    int h = height(size);
    while (size > 1 && h > cell) {
        h = height(--size);
    }
    while (size < kMaxPixelSize) {
        const int next = height(size + 1);
        if (next > cell) {
            break;
        }
        ++size;
        h = next;
    }
    if (h == cell) {
        while (size > 1 && height(size - 1) == cell) {
            --size;
        }
    }
    return size;
}

// The search above measures the font several times; the answer for a font and cell height is kept.
// Few sizes are used at once, so a short list suffices, and it cannot grow without bound. A new font
// generation empties it.
class CellPixelSizes {
public:
    int Find(const QFont& font, const QString& fontName, int weight, bool italic, int cell)
    {
        if (const std::uint64_t generation = FontGeneration(); generation != generation_) {
            entries_.clear();
            generation_ = generation;
        }
        for (const Entry& entry : entries_) {
            if (entry.cell == cell && entry.weight == weight && entry.italic == italic
                && entry.fontName == fontName) {
                return entry.pixelSize;
            }
        }
        if (entries_.size() >= kCapacity) {
            entries_.erase(entries_.begin());
        }
        const int pixelSize = PixelSizeForCell(font, cell);
        entries_.push_back(Entry { fontName, weight, italic, cell, pixelSize });
        return pixelSize;
    }

private:
    struct Entry {
        QString fontName;
        int weight;
        bool italic;
        int cell;
        int pixelSize;
    };
    static constexpr std::size_t kCapacity = 64;
    std::vector<Entry> entries_;
    std::uint64_t generation_ = 0;
};

QFont FontForSize(const QString& fontName, int fontSize, int weight, bool italic)
{
    QFont font = MakeFont(fontName, weight, italic);
    if (fontSize < 0) {
        font.setPixelSize(static_cast<int>(std::min<i64>(-static_cast<i64>(fontSize), kMaxPixelSize)));
        return font;
    }
    const int cell = fontSize == 0 ? kDefaultCell : std::min(fontSize, 2 * kMaxPixelSize);
    // One list per thread: fonts may be measured on any thread that paints into a picture.
    thread_local CellPixelSizes sizes;
    font.setPixelSize(sizes.Find(font, fontName, font.weight(), italic, cell));
    return font;
}

QFont DecoratedFont(
    const QString& fontName, int fontSize, int weight, bool italic, bool underline, bool strikeOut)
{
    QFont font = FontForSize(fontName, fontSize, weight, italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

// The offset of the pen point from the anchor for an alignment.
QPoint PenOffset(int alignment, int cx, int ascent, int descent)
{
    int dx = 0;
    if ((alignment & TA_CENTER) == TA_CENTER) {
        dx = -cx / 2;
    } else if ((alignment & TA_CENTER) == TA_RIGHT) {
        dx = -cx;
    }
    int dy = ascent;
    if ((alignment & TA_BASELINE) == TA_BASELINE) {
        dy = 0;
    } else if ((alignment & TA_BASELINE) == TA_BOTTOM) {
        dy = -descent;
    }
    return QPoint(dx, dy);
}

// The box of a text, painted before the text.
void DrawTextBox(QImage& hDC, int anchorX, int anchorY, int escapement, int alignment, QSize extent,
    std::uint32_t penColour, std::uint32_t fillColour, bool fill, const ClipBand& clip)
{
    int left = anchorX;
    int top = anchorY;
    int right = anchorX;
    int bottom = anchorY;
    TextBoxBounds(left, top, right, bottom, escapement, alignment, extent.width(), extent.height());
    if (fill) {
        DrawRectangle(hDC, left, top, right, bottom, 1, penColour, fillColour, PS_SOLID, clip);
    } else {
        DrawFrame(hDC, left, top, right, bottom, 1, penColour, clip);
    }
}

} // namespace

void TextBoxBounds(
    int& left, int& top, int& right, int& bottom, int escapement, int alignment, int cx, int cy)
{
    if (escapement == 0) {
        i64 l = left;
        if (alignment == TA_CENTER) {
            l -= (static_cast<i64>(cx) + 1) / 2;
        } else if (alignment == TA_RIGHT) {
            l -= cx;
        }
        left = Saturate(l);
        right = Saturate(static_cast<i64>(left) + cx);
        bottom = Saturate(static_cast<i64>(top) + cy);
    } else if (escapement == 2700) {
        right = Saturate(static_cast<i64>(left) - cy);
        bottom = Saturate(static_cast<i64>(top) - cx);
    } else {
        right = left;
        bottom = top;
    }
}

QSize TextExtent(const QString& text, const QString& fontName, int fontSize, int weight, bool italic)
{
    if (!HasGuiApplication()) {
        return {};
    }
    const QFontMetrics metrics(FontForSize(fontName, fontSize, weight, italic));
    return QSize(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
}

void DrawText(QImage& hDC, const QString& text, float x, float y, std::uint32_t textColour,
    std::uint32_t boxPenColour, std::uint32_t boxFillColour, bool drawBox, bool fillBox,
    const QString& fontName, int fontSize, int weight, int escapement, bool italic, bool underline,
    bool strikeOut, int alignment, const ClipBand& clip)
{
    if (hDC.isNull() || !HasGuiApplication()) {
        return;
    }
    const int anchorX = RoundHalfEven(x);
    const int anchorY = RoundHalfEven(y);
    PixelSink sink(hDC, clip);
    {
        // Neither text nor box can reach the picture from an anchor further away than a generous
        // bound of their size; such calls (absurd positions) need no font at all.
        const i64 cell = fontSize == 0
            ? kDefaultCell
            : std::min<i64>(std::abs(static_cast<i64>(fontSize)), 2 * static_cast<i64>(kMaxPixelSize));
        const i64 reach = 2 * cell * (static_cast<i64>(text.size()) + 2);
        if (sink.IsEmpty() || anchorX + reach < sink.Left() || anchorX - reach >= sink.Right()
            || anchorY + reach < sink.Top() || anchorY - reach >= sink.Bottom()) {
            return;
        }
    }
    if (escapement % 3600 == 0 && sink.IsDirect()) {
        // Upright text into 32-bit pixels: the pixels of a text depend only on the text and its font,
        // shifted by whole pixels with its pen point, so a text painted again is rendered once aside
        // and from then on painted as runs.
        thread_local TextRunCache texts;
        const TextKey key { text, fontName, fontSize, weight, italic, underline, strikeOut };
        RenderedText* rendered = texts.Find(key);
        if (rendered == nullptr) {
            texts.Insert(key, RenderedText {});
        } else if (rendered->state == RenderedText::State::Seen) {
            *rendered
                = RenderText(DecoratedFont(fontName, fontSize, weight, italic, underline, strikeOut), text);
        }
        if (rendered != nullptr && rendered->state == RenderedText::State::Captured) {
            const QSize extent(rendered->advance, rendered->ascent + rendered->descent);
            if (drawBox) {
                DrawTextBox(hDC, anchorX, anchorY, escapement, alignment, extent, boxPenColour, boxFillColour,
                    fillBox, clip);
            }
            const QPoint offset = PenOffset(alignment, extent.width(), rendered->ascent, rendered->descent);
            const i64 penX = static_cast<i64>(anchorX) + offset.x();
            const i64 penY = static_cast<i64>(anchorY) + offset.y();
            const QRgb rgb = ColourToRgb(textColour);
            for (const TextRun& run : rendered->runs) {
                const i64 from = penX + run.dx;
                sink.Span(penY + run.dy, from, from + run.length - 1, rgb);
            }
            return;
        }
    }
    const QFont font = DecoratedFont(fontName, fontSize, weight, italic, underline, strikeOut);
    const QFontMetrics metrics(font);
    const QSize extent(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
    if (drawBox) {
        DrawTextBox(
            hDC, anchorX, anchorY, escapement, alignment, extent, boxPenColour, boxFillColour, fillBox, clip);
    }
    if (text.isEmpty()) {
        return;
    }
    QPainter painter(&hDC);
    if (!painter.isActive()) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRect(QRect(QPoint(sink.Left(), sink.Top()), QPoint(sink.Right() - 1, sink.Bottom() - 1)));
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ColourToRgb(textColour)));
    painter.translate(anchorX, anchorY);
    if (escapement % 3600 != 0) {
        painter.rotate(-escapement / 10.0);
    }
    painter.drawText(PenOffset(alignment, extent.width(), metrics.ascent(), metrics.descent()), text);
}

} // namespace pelicard::modGraph
