#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <limits>
#include <span>

namespace pelicard {

// The part of the picture a drawing call may touch, on top of the image's own bounds: columns
// left..right-1 and rows top..bottom-1. The default clips nothing. It is the only state a "device
// context" has here, and it is passed along with each call, so no call can leave it changed.
struct ClipBand {
    int left = std::numeric_limits<int>::min();
    int top = std::numeric_limits<int>::min();
    int right = std::numeric_limits<int>::max();
    int bottom = std::numeric_limits<int>::max();

    // The rectangle between the two corners, whichever way round they are given.
    static ClipBand Rect(int x1, int y1, int x2, int y2);
    bool operator==(const ClipBand&) const = default;
};

// Stateless drawing operations on a picture with the classic raster rules: a rectangle covers
// x1..x2-1 and y1..y2-1, a line leaves out its end pixel, an ellipse stays inside its bounding box
// (right and bottom edges exclusive), polygons fill even-odd, wide pens are round, and text hangs
// from its top-centre point. Colours are 0xBBGGRR (red in the low byte); the top byte is ignored.
// Pixels are written opaque; nothing is blended with what lies below.
namespace modGraph {

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5; // draws no outline; every other style draws solid

inline constexpr int TA_LEFT = 0;
inline constexpr int TA_RIGHT = 2;
inline constexpr int TA_CENTER = 6;
inline constexpr int TA_TOP = 0;
inline constexpr int TA_BOTTOM = 8;
inline constexpr int TA_BASELINE = 24;

inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

QRgb ColourToRgb(std::uint32_t colour);
std::uint32_t RgbToColour(QRgb rgb);

void DrawEllipse(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t penColour,
    std::uint32_t fillColour, const ClipBand& clip = {});
void DrawEllipseOutline(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour,
    int penStyle, const ClipBand& clip = {});
void DrawRectangle(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t penColour,
    std::uint32_t fillColour, int penStyle, const ClipBand& clip = {});
void DrawFrame(
    QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour, const ClipBand& clip = {});
void DrawLine(QImage& hDC, int x1, int y1, int x2, int y2, int width, std::uint32_t colour, int penStyle,
    const ClipBand& clip = {});
// Uses the first `count` points (never more than the list holds); fewer than two paint nothing.
void DrawPolygon(QImage& hDC, int count, std::span<const QPoint> points, int width, std::uint32_t penColour,
    std::uint32_t fillColour, const ClipBand& clip = {});
void SetPixel(QImage& hDC, int x, int y, std::uint32_t colour, const ClipBand& clip = {});

// fontSize is the height of the character cell in pixels (ascent plus descent); a negative size is
// the height of the characters themselves and 0 a cell of 16. Escapement is in tenths of a degree,
// counter-clockwise. Text is drawn without antialiasing and with a transparent background. An
// upright text painted again into a 32-bit picture is copied from the pixels it was rendered to
// aside the first time (kept per thread, see TextRuns.h); the pixels are those of drawing it anew.
void DrawText(QImage& hDC, const QString& text, float x, float y, std::uint32_t textColour,
    std::uint32_t boxPenColour, std::uint32_t boxFillColour, bool drawBox, bool fillBox,
    const QString& fontName, int fontSize, int weight, int escapement, bool italic, bool underline,
    bool strikeOut, int alignment, const ClipBand& clip = {});
// The box of a text of size (cx, cy) anchored at (left, top); left, top, right and bottom are
// replaced. Only escapements 0 and 2700 have a box; any other leaves it empty.
void TextBoxBounds(
    int& left, int& top, int& right, int& bottom, int escapement, int alignment, int cx, int cy);
// The size DrawText measures for a text: its advance and the cell height (ascent plus descent).
QSize TextExtent(const QString& text, const QString& fontName, int fontSize, int weight, bool italic);

} // namespace modGraph

} // namespace pelicard
