#include "meter/modGraph.h"

#include "PixelTools.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace pelicard {
namespace {

using namespace pelicard::testing;
using namespace pelicard::modGraph;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;

TEST(RasterRules, RectanglesAndLinesLeaveOutTheirFarEdgeAndWidePensAreRound)
{
    QImage image = Canvas(120, 70);
    DrawRectangle(image, 0, 0, 100, 50, 1, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(Bounds(image, IsNot(kWhite)), QRect(QPoint(0, 0), QPoint(99, 49)));
    // The one-pixel pen runs along the inside, the brush fills the rest.
    EXPECT_EQ(At(image, 99, 20), kRed);
    EXPECT_EQ(Count(image, Is(kGreen)), 98 * 48);
    QImage reversed = Canvas(120, 70);
    DrawRectangle(reversed, 100, 50, 0, 0, 1, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(reversed, image);

    QImage line = Canvas(20, 5);
    DrawLine(line, 0, 0, 10, 0, 1, kRed, PS_SOLID);
    DrawLine(line, 10, 2, 0, 2, 1, kRed, PS_SOLID);
    DrawLine(line, 2, 4, 2, 4, 1, kRed, PS_SOLID);
    EXPECT_EQ(Bounds(line.copy(0, 0, 20, 1), Is(kRed)), QRect(QPoint(0, 0), QPoint(9, 0)));
    EXPECT_EQ(Bounds(line.copy(0, 2, 20, 1), Is(kRed)), QRect(QPoint(1, 0), QPoint(10, 0)));
    EXPECT_EQ(Count(line, Is(kRed)), 20);

    // A frame joins four lines, each starting where the last stopped, so it reaches its far corner.
    QImage frame = Canvas(30, 30);
    DrawFrame(frame, 5, 5, 20, 15, 1, kBlue);
    EXPECT_EQ(Bounds(frame, Is(kBlue)), QRect(QPoint(5, 5), QPoint(20, 15)));
    EXPECT_EQ(Count(frame, Is(kBlue)), 2 * 15 + 2 * 10);

    QImage wide = Canvas(50, 30);
    DrawLine(wide, 10, 10, 30, 10, 5, kRed, PS_SOLID);
    // Five rows thick, and round caps two pixels beyond both ends that leave the corners out.
    EXPECT_EQ(Bounds(wide, Is(kRed)), QRect(QPoint(8, 8), QPoint(32, 12)));
    EXPECT_EQ(At(wide, 8, 8), kWhite);
    EXPECT_EQ(At(wide, 32, 12), kWhite);

    QImage ring = Canvas(60, 60);
    DrawEllipseOutline(ring, 10, 10, 50, 50, 5, kRed, PS_SOLID);
    EXPECT_EQ(Count(ring.copy(0, 30, 30, 1), Is(kRed)), 5);
    EXPECT_EQ(At(ring, 30, 30), kWhite);
}

TEST(RasterRules, DiagonalLinesTakeOnePixelPerStepWithinHalfAPixel)
{
    for (const QLine l :
        { QLine(2, 3, 17, 9), QLine(17, 9, 2, 3), QLine(4, 18, 9, 1), QLine(3, 3, 13, 13) }) {
        QImage image = Canvas(20, 20);
        DrawLine(image, l.x1(), l.y1(), l.x2(), l.y2(), 1, kRed, PS_SOLID);
        EXPECT_EQ(Count(image, Is(kRed)), std::max(std::abs(l.dx()), std::abs(l.dy())));
        EXPECT_EQ(At(image, l.x1(), l.y1()), kRed);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                // Distance from the ideal line along the minor axis.
                const double off = std::abs(l.dx()) >= std::abs(l.dy())
                    ? std::abs(l.y1() + double(l.dy()) * (x - l.x1()) / l.dx() - y)
                    : std::abs(l.x1() + double(l.dx()) * (y - l.y1()) / l.dy() - x);
                EXPECT_TRUE(At(image, x, y) != kRed || off <= 0.5) << x << "," << y;
            }
        }
    }
}

TEST(RasterRules, EllipsesStayInsideTheirBoxSymmetrically)
{
    for (const QRect box : { QRect(QPoint(10, 10), QPoint(29, 19)), QRect(QPoint(3, 4), QPoint(20, 21)),
             QRect(QPoint(8, 8), QPoint(8, 15)) }) {
        QImage image = Canvas(40, 40);
        DrawEllipse(image, box.left(), box.top(), box.right() + 1, box.bottom() + 1, 1, kRed, kGreen);
        EXPECT_EQ(Bounds(image, IsNot(kWhite)), box);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                EXPECT_EQ(At(image, x, y), At(image, box.left() + box.right() - x, y));
                EXPECT_EQ(At(image, x, y), At(image, x, box.top() + box.bottom() - y));
            }
        }
    }
    // The outline is the rim of the filled ellipse and leaves the inside alone.
    QImage filled = Canvas(40, 40);
    DrawEllipse(filled, 5, 5, 35, 25, 1, kRed, kWhite);
    QImage outline = Canvas(40, 40);
    DrawEllipseOutline(outline, 5, 5, 35, 25, 1, kRed, PS_SOLID);
    EXPECT_EQ(outline, filled);
    EXPECT_GT(Count(outline, Is(kRed)), 60);
}

TEST(RasterRules, PolygonsFillEvenOddFromTheirFirstCountPoints)
{
    const std::array<QPoint, 4> corners = { QPoint(10, 10), QPoint(20, 10), QPoint(20, 20), QPoint(10, 20) };
    QImage square = Canvas(30, 30);
    DrawPolygon(square, 4, corners, 1, kRed, kGreen);
    EXPECT_EQ(Count(square, Is(kGreen)), 9 * 9);
    // The pen goes through the vertices themselves.
    EXPECT_EQ(Bounds(square, Is(kRed)), QRect(QPoint(10, 10), QPoint(20, 20)));
    QImage overstated = Canvas(30, 30);
    DrawPolygon(overstated, 40, corners, 1, kRed, kGreen);
    DrawPolygon(overstated, 1, corners, 1, kBlue, kBlue);
    DrawPolygon(overstated, 0, {}, 1, kBlue, kBlue);
    EXPECT_EQ(overstated, square);

    // A five-pointed star winds round its centre twice, so even-odd leaves it empty.
    QImage star = Canvas(100, 100);
    const std::array<QPoint, 5> points
        = { QPoint(50, 5), QPoint(79, 95), QPoint(2, 39), QPoint(98, 39), QPoint(21, 95) };
    DrawPolygon(star, 5, points, 1, kRed, kGreen);
    EXPECT_EQ(At(star, 50, 55), kWhite);
    EXPECT_EQ(At(star, 50, 25), kGreen);
}

TEST(DrawingState, ClipBandAndFarCoordinatesLimitEveryOperation)
{
    const ClipBand band = ClipBand::Rect(0, 30, 100, 10); // given bottom first
    QImage image = Canvas(100, 40);
    DrawRectangle(image, 0, 0, 100, 40, 1, kRed, kRed, PS_SOLID, band);
    DrawLine(image, 50, 0, 50, 40, 3, kBlue, PS_SOLID, band);
    DrawEllipse(image, 0, 0, 40, 40, 1, kGreen, kGreen, band);
    SetPixel(image, 90, 5, kBlue, band);
    EXPECT_EQ(Bounds(image, IsNot(kWhite)), QRect(QPoint(0, 10), QPoint(99, 29)));
    EXPECT_EQ(At(image, 50, 20), kBlue);
    EXPECT_EQ(At(image, 20, 20), kGreen);

    // Text writes only opaque ink inside the band: no box, no blended edges, format and size as before.
    QImage text = Canvas(100, 50, 0x123456, QImage::Format_ARGB32_Premultiplied);
    text.setDotsPerMeterX(2000);
    DrawText(text, QStringLiteral("Ag"), 50.0f, 10.0f, kRed, 0, 0, false, false, QStringLiteral("Arial"), 20,
        FW_NORMAL, 0, true, true, true, TA_CENTER, ClipBand::Rect(0, 0, 100, 20));
    EXPECT_EQ(text.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(text.dotsPerMeterX(), 2000);
    EXPECT_EQ(Count(text, [](std::uint32_t c) { return c != 0x123456 && c != kRed; }), 0);
    EXPECT_EQ(Bounds(text, Is(kRed)).bottom(), 19);

    // Coordinates and pens far outside the picture are clipped without overflow.
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    image = Canvas(64, 64);
    DrawLine(image, kMin, kMin, kMax, kMax, 1, kRed, PS_SOLID);
    EXPECT_EQ(At(image, 40, 40), kRed);
    DrawLine(image, kMin, 20, kMax, 20, 32767, kBlue, PS_SOLID);
    DrawRectangle(image, kMin, kMin, kMax, kMax, 40000, kRed, kGreen, PS_SOLID);
    DrawEllipse(image, kMin, kMin, kMax, kMax, 1, kRed, kBlue);
    DrawEllipseOutline(image, kMin, 0, kMax, 10, 9, kRed, PS_SOLID);
    EXPECT_EQ(At(image, 30, 30), kBlue);
    const std::array<QPoint, 3> far = { QPoint(kMin, kMin), QPoint(kMax, 0), QPoint(kMin, kMax) };
    DrawPolygon(image, 3, far, 3, kRed, kRed);
    EXPECT_EQ(At(image, 30, 30), kRed);
    SetPixel(image, kMin, kMax, kBlue);
    DrawText(image, QStringLiteral("x"), 3.0e9f, -3.0e9f, kRed, kRed, kRed, true, true,
        QStringLiteral("Arial"), kMax, kMax, 0, false, false, false, TA_CENTER);
}

TEST(Text, FontCellHeightTopCentreAnchorAndBoxes)
{
    const QString arial = QStringLiteral("Arial");
    for (const int cell : { 12, 14, 19, 20 }) {
        for (const int weight : { FW_NORMAL, FW_BOLD })
            EXPECT_EQ(TextExtent(QStringLiteral("0"), arial, cell, weight, false).height(), cell);
    }
    const QString text = QStringLiteral("H8H8");
    const int width = TextExtent(text, arial, 20, FW_BOLD, false).width();
    QImage image = Canvas(200, 80);
    DrawText(image, text, 100.0f, 30.0f, kRed, kBlue, kGreen, true, false, arial, 20, FW_BOLD, 0, false,
        false, false, TA_CENTER);
    const QRect ink = Bounds(image, Is(kRed));
    EXPECT_TRUE(ink.top() >= 30 && ink.bottom() <= 49) << ink.top() << " " << ink.bottom();
    EXPECT_LE(std::abs((ink.left() + ink.right()) / 2 - 100), 2);
    const int left = 100 - (width + 1) / 2;
    EXPECT_EQ(Bounds(image, Is(kBlue)), QRect(QPoint(left, 30), QPoint(left + width, 50)));

    // Turned text runs upwards from its anchor and has no box.
    QImage turned = Canvas(120, 120);
    DrawText(turned, QStringLiteral("HELLO"), 60.0f, 100.0f, kRed, kBlue, kGreen, true, true, arial, 20,
        FW_NORMAL, 900, false, false, false, TA_CENTER);
    const QRect up = Bounds(turned, Is(kRed));
    EXPECT_GT(up.height(), 2 * up.width());
    EXPECT_LT(up.bottom(), 130);
    EXPECT_EQ(Count(turned, [](std::uint32_t c) { return c == kBlue || c == kGreen; }), 0);

    struct Case {
        int escapement, alignment, left, right, bottom;
    };
    for (const Case c : { Case { 0, TA_CENTER, 79, 120, 44 }, Case { 0, TA_RIGHT, 59, 100, 44 },
             Case { 0, TA_LEFT, 100, 141, 44 }, Case { 2700, TA_CENTER, 100, 86, -11 },
             Case { 900, TA_CENTER, 100, 100, 30 } }) {
        int left = 100, top = 30, right = 0, bottom = 0;
        TextBoxBounds(left, top, right, bottom, c.escapement, c.alignment, 41, 14);
        EXPECT_EQ(QRect(QPoint(left, top), QPoint(right, bottom)),
            QRect(QPoint(c.left, 30), QPoint(c.right, c.bottom)))
            << c.escapement << " " << c.alignment;
    }
}

} // namespace
} // namespace pelicard
