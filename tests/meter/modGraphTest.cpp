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

TEST(DrawRectangle, CoversUpToButNotIncludingTheRightAndBottomEdges)
{
    QImage image = Canvas(120, 70);
    DrawRectangle(image, 0, 0, 100, 50, 1, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(BoundsNotColour(image, kWhite), QRect(QPoint(0, 0), QPoint(99, 49)));
    // The one-pixel pen runs along the inside of the rectangle, the brush fills the rest.
    EXPECT_EQ(At(image, 0, 0), kRed);
    EXPECT_EQ(At(image, 99, 49), kRed);
    EXPECT_EQ(At(image, 99, 20), kRed);
    EXPECT_EQ(At(image, 1, 1), kGreen);
    EXPECT_EQ(At(image, 98, 48), kGreen);
    EXPECT_EQ(CountColour(image, kGreen), 98 * 48);

    QImage reversed = Canvas(120, 70);
    DrawRectangle(reversed, 100, 50, 0, 0, 1, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(reversed, image);
}

TEST(DrawRectangle, WithoutPenFillsOnePixelLessAndEmptyBoxesPaintNothing)
{
    QImage image = Canvas(40, 40);
    DrawRectangle(image, 5, 5, 15, 10, 1, kRed, kGreen, PS_NULL);
    EXPECT_EQ(BoundsNotColour(image, kWhite), QRect(QPoint(5, 5), QPoint(13, 8)));
    EXPECT_EQ(CountColour(image, kRed), 0);

    QImage empty = Canvas(40, 40);
    DrawRectangle(empty, 5, 5, 5, 30, 1, kRed, kGreen, PS_SOLID);
    DrawRectangle(empty, 5, 5, 30, 5, 1, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(CountColour(empty, kWhite), 40 * 40);
}

TEST(DrawLine, LeavesOutTheEndPixel)
{
    QImage image = Canvas(20, 5);
    DrawLine(image, 0, 0, 10, 0, 1, kRed, PS_SOLID);
    EXPECT_EQ(BoundsOfColour(image, kRed), QRect(QPoint(0, 0), QPoint(9, 0)));
    EXPECT_EQ(CountColour(image, kRed), 10);

    QImage backwards = Canvas(20, 5);
    DrawLine(backwards, 10, 2, 0, 2, 1, kRed, PS_SOLID);
    EXPECT_EQ(BoundsOfColour(backwards, kRed), QRect(QPoint(1, 2), QPoint(10, 2)));

    QImage dot = Canvas(5, 5);
    DrawLine(dot, 2, 2, 2, 2, 1, kRed, PS_SOLID);
    EXPECT_EQ(CountColour(dot, kRed), 0);
}

TEST(DrawLine, DiagonalTakesOnePixelPerStepCloseToTheIdealLine)
{
    struct Case {
        int x1, y1, x2, y2;
    };
    for (const Case c :
        { Case { 2, 3, 17, 9 }, Case { 17, 9, 2, 3 }, Case { 4, 18, 9, 1 }, Case { 3, 3, 13, 13 } }) {
        QImage image = Canvas(20, 20);
        DrawLine(image, c.x1, c.y1, c.x2, c.y2, 1, kRed, PS_SOLID);
        const int steps = std::max(std::abs(c.x2 - c.x1), std::abs(c.y2 - c.y1));
        EXPECT_EQ(CountColour(image, kRed), steps);
        EXPECT_EQ(At(image, c.x1, c.y1), kRed);
        EXPECT_NE(At(image, c.x2, c.y2), kRed);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                if (At(image, x, y) != kRed)
                    continue;
                // Distance from the ideal line, measured along the minor axis, is at most half a pixel.
                const double dx = c.x2 - c.x1;
                const double dy = c.y2 - c.y1;
                const double off = std::abs(dx) >= std::abs(dy) ? std::abs(c.y1 + dy * (x - c.x1) / dx - y)
                                                                : std::abs(c.x1 + dx * (y - c.y1) / dy - x);
                EXPECT_LE(off, 0.5) << x << "," << y;
            }
        }
    }
}

TEST(DrawLine, WidePensAreRoundAndPaintBothCaps)
{
    QImage image = Canvas(50, 30);
    DrawLine(image, 10, 10, 30, 10, 5, kRed, PS_SOLID);
    // Five rows thick in the middle.
    EXPECT_EQ(At(image, 20, 8), kRed);
    EXPECT_EQ(At(image, 20, 12), kRed);
    EXPECT_EQ(At(image, 20, 7), kWhite);
    EXPECT_EQ(At(image, 20, 13), kWhite);
    // Round caps reach two pixels beyond both ends but leave the corners out.
    EXPECT_EQ(At(image, 8, 10), kRed);
    EXPECT_EQ(At(image, 32, 10), kRed);
    EXPECT_EQ(At(image, 7, 10), kWhite);
    EXPECT_EQ(At(image, 33, 10), kWhite);
    EXPECT_EQ(At(image, 8, 8), kWhite);
    EXPECT_EQ(At(image, 32, 12), kWhite);

    QImage even = Canvas(50, 30);
    DrawLine(even, 10, 10, 30, 10, 2, kRed, PS_SOLID);
    EXPECT_EQ(BoundsOfColour(even, kRed).height(), 2);
}

TEST(DrawFrame, JoinsFourLinesAroundTheCorners)
{
    QImage image = Canvas(30, 30);
    DrawFrame(image, 5, 5, 20, 15, 1, kBlue);
    // Unlike a rectangle the frame includes its far corner, since each line starts where the last stopped.
    EXPECT_EQ(BoundsOfColour(image, kBlue), QRect(QPoint(5, 5), QPoint(20, 15)));
    EXPECT_EQ(CountColour(image, kBlue), 2 * 15 + 2 * 10);
    EXPECT_EQ(At(image, 10, 10), kWhite);
}

TEST(DrawEllipse, StaysInsideItsBoxWithExclusiveEdges)
{
    for (const QRect box : { QRect(QPoint(10, 10), QPoint(29, 19)), QRect(QPoint(3, 4), QPoint(20, 21)),
             QRect(QPoint(8, 8), QPoint(8, 15)) }) {
        QImage image = Canvas(40, 40);
        DrawEllipse(image, box.left(), box.top(), box.right() + 1, box.bottom() + 1, 1, kRed, kGreen);
        EXPECT_EQ(BoundsNotColour(image, kWhite), box);
        // Symmetric about both axes of the box.
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const int mx = box.left() + box.right() - x;
                const int my = box.top() + box.bottom() - y;
                EXPECT_EQ(At(image, x, y) == kWhite, At(image, mx, y) == kWhite);
                EXPECT_EQ(At(image, x, y) == kWhite, At(image, x, my) == kWhite);
            }
        }
    }
}

TEST(DrawEllipse, FillsInsideThePenAndTheOutlineLeavesTheInsideAlone)
{
    QImage filled = Canvas(40, 40);
    DrawEllipse(filled, 5, 5, 35, 25, 1, kRed, kGreen);
    EXPECT_EQ(At(filled, 20, 15), kGreen);
    EXPECT_EQ(At(filled, 5, 15), kRed);
    EXPECT_EQ(At(filled, 34, 15), kRed);
    EXPECT_EQ(At(filled, 20, 5), kRed);
    EXPECT_EQ(At(filled, 20, 24), kRed);

    QImage outline = Canvas(40, 40);
    DrawEllipseOutline(outline, 5, 5, 35, 25, 1, kRed, PS_SOLID);
    EXPECT_EQ(CountColour(outline, kRed), CountColour(filled, kRed));
    EXPECT_EQ(At(outline, 20, 15), kWhite);
    // Every row of the box has its two edge pixels and a gap between them.
    for (int y = 7; y < 23; ++y) {
        const QRect row = BoundsOfColour(outline.copy(0, y, 40, 1), kRed);
        EXPECT_EQ(At(outline, row.left(), y), kRed);
        EXPECT_EQ(At(outline, 20, y), kWhite);
    }

    QImage wide = Canvas(60, 60);
    DrawEllipseOutline(wide, 10, 10, 50, 50, 5, kRed, PS_SOLID);
    // A ring about five pixels thick, centred on the thin outline.
    int thickness = 0;
    for (int x = 0; x < 30; ++x)
        thickness += At(wide, x, 30) == kRed ? 1 : 0;
    EXPECT_EQ(thickness, 5);
    EXPECT_EQ(At(wide, 30, 30), kWhite);
}

TEST(DrawPolygon, FillsEvenOddAndKeepsTheFillOffTheRightAndBottomEdges)
{
    QImage square = Canvas(30, 30);
    const std::array<QPoint, 4> corners = { QPoint(10, 10), QPoint(20, 10), QPoint(20, 20), QPoint(10, 20) };
    DrawPolygon(square, 4, corners, 1, kRed, kGreen);
    EXPECT_EQ(CountColour(square, kGreen), 9 * 9);
    EXPECT_EQ(At(square, 19, 19), kGreen);
    // The pen draws the outline through the vertices themselves.
    EXPECT_EQ(At(square, 20, 15), kRed);
    EXPECT_EQ(At(square, 15, 20), kRed);
    EXPECT_EQ(At(square, 20, 20), kRed);
    EXPECT_EQ(At(square, 21, 15), kWhite);

    // A five-pointed star: its centre is wound round twice, so even-odd leaves it empty.
    QImage star = Canvas(100, 100);
    const std::array<QPoint, 5> points
        = { QPoint(50, 5), QPoint(79, 95), QPoint(2, 39), QPoint(98, 39), QPoint(21, 95) };
    DrawPolygon(star, 5, points, 1, kRed, kGreen);
    EXPECT_EQ(At(star, 50, 55), kWhite);
    EXPECT_EQ(At(star, 50, 25), kGreen);
    EXPECT_EQ(At(star, 20, 45), kGreen);
}

TEST(DrawPolygon, UsesNoMorePointsThanItIsGiven)
{
    const std::array<QPoint, 4> corners = { QPoint(2, 2), QPoint(12, 2), QPoint(12, 12), QPoint(2, 12) };
    QImage overstated = Canvas(20, 20);
    DrawPolygon(overstated, 40, corners, 1, kRed, kGreen);
    QImage exact = Canvas(20, 20);
    DrawPolygon(exact, 4, corners, 1, kRed, kGreen);
    EXPECT_EQ(overstated, exact);

    QImage first3 = Canvas(20, 20);
    DrawPolygon(first3, 3, corners, 1, kRed, kGreen);
    EXPECT_EQ(At(first3, 10, 4), kGreen);
    EXPECT_EQ(At(first3, 4, 10), kWhite);

    QImage none = Canvas(20, 20);
    DrawPolygon(none, 1, corners, 1, kRed, kGreen);
    DrawPolygon(none, 0, {}, 1, kRed, kGreen);
    EXPECT_EQ(CountColour(none, kWhite), 400);
}

TEST(ClipBand, LimitsEveryOperation)
{
    const ClipBand band = ClipBand::Rect(0, 30, 100, 10); // given bottom first
    QImage image = Canvas(100, 40);
    DrawRectangle(image, 0, 0, 100, 40, 1, kRed, kRed, PS_SOLID, band);
    DrawLine(image, 50, 0, 50, 40, 3, kBlue, PS_SOLID, band);
    DrawEllipse(image, 0, 0, 40, 40, 1, kGreen, kGreen, band);
    SetPixel(image, 90, 5, kBlue, band);
    SetPixel(image, 90, 15, kBlue, band);
    EXPECT_EQ(BoundsNotColour(image, kWhite), QRect(QPoint(0, 10), QPoint(99, 29)));
    EXPECT_EQ(At(image, 90, 15), kBlue);
    EXPECT_EQ(At(image, 50, 20), kBlue);
    EXPECT_EQ(At(image, 20, 20), kGreen);
}

TEST(DrawingOperations, SurviveCoordinatesFarOutsideThePicture)
{
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    QImage image = Canvas(64, 64);
    DrawLine(image, kMin, kMin, kMax, kMax, 1, kRed, PS_SOLID);
    // The diagonal through the picture is painted.
    EXPECT_EQ(At(image, 10, 10), kRed);
    EXPECT_EQ(At(image, 40, 40), kRed);
    DrawLine(image, kMin, 20, kMax, 20, 32767, kBlue, PS_SOLID);
    EXPECT_EQ(At(image, 0, 0), kBlue);
    QImage shapes = Canvas(64, 64);
    DrawRectangle(shapes, kMin, kMin, kMax, kMax, 40000, kRed, kGreen, PS_SOLID);
    EXPECT_EQ(At(shapes, 30, 30), kGreen);
    DrawEllipse(shapes, kMin, kMin, kMax, kMax, 1, kRed, kBlue);
    EXPECT_EQ(At(shapes, 30, 30), kBlue);
    DrawEllipseOutline(shapes, kMin, 0, kMax, 10, 9, kRed, PS_SOLID);
    const std::array<QPoint, 3> far = { QPoint(kMin, kMin), QPoint(kMax, 0), QPoint(kMin, kMax) };
    DrawPolygon(shapes, 3, far, 3, kRed, kRed);
    EXPECT_EQ(At(shapes, 30, 30), kRed);
    SetPixel(shapes, kMin, kMax, kBlue);
    DrawText(shapes, QStringLiteral("x"), 3.0e9f, -3.0e9f, kRed, kRed, kRed, true, true,
        QStringLiteral("Arial"), kMax, kMax, 0, false, false, false, TA_CENTER);
}

TEST(DrawingOperations, PaintTheSamePixelsIntoOtherFormats)
{
    auto paint = [](QImage& image) {
        DrawRectangle(image, 2, 2, 30, 20, 1, kRed, kGreen, PS_SOLID);
        DrawLine(image, 0, 25, 39, 39, 1, kBlue, PS_SOLID);
        DrawEllipse(image, 5, 22, 25, 38, 1, kBlue, kRed);
    };
    QImage words = Canvas(40, 40);
    QImage bytes = Canvas(40, 40, kWhite, QImage::Format_RGB888);
    paint(words);
    paint(bytes);
    EXPECT_EQ(bytes.convertToFormat(QImage::Format_RGB32), words);
}

TEST(TextBoxBounds, CentresLeftAlignsRightAndTurnsWithTheText)
{
    int left = 100, top = 30, right = 0, bottom = 0;
    TextBoxBounds(left, top, right, bottom, 0, TA_CENTER, 41, 14);
    EXPECT_EQ(left, 79);
    EXPECT_EQ(right, 120);
    EXPECT_EQ(top, 30);
    EXPECT_EQ(bottom, 44);

    left = 100, top = 30;
    TextBoxBounds(left, top, right, bottom, 0, TA_RIGHT, 41, 14);
    EXPECT_EQ(left, 59);
    EXPECT_EQ(right, 100);

    left = 100, top = 30;
    TextBoxBounds(left, top, right, bottom, 0, TA_LEFT, 41, 14);
    EXPECT_EQ(left, 100);
    EXPECT_EQ(right, 141);

    left = 100, top = 30;
    TextBoxBounds(left, top, right, bottom, 2700, TA_CENTER, 41, 14);
    EXPECT_EQ(left, 100);
    EXPECT_EQ(right, 86);
    EXPECT_EQ(bottom, -11);

    left = 100, top = 30;
    TextBoxBounds(left, top, right, bottom, 900, TA_CENTER, 41, 14);
    EXPECT_EQ(right, left);
    EXPECT_EQ(bottom, top);
}

TEST(DrawText, ChoosesTheFontWhoseCellHasTheGivenHeight)
{
    for (const int cell : { 14, 19, 20, 12 }) {
        EXPECT_EQ(
            TextExtent(QStringLiteral("0"), QStringLiteral("Arial"), cell, FW_NORMAL, false).height(), cell);
        EXPECT_EQ(
            TextExtent(QStringLiteral("0"), QStringLiteral("Arial"), cell, FW_BOLD, false).height(), cell);
    }
    // Arial comes out as its metric twin at 12 pixels for a 14-pixel cell: '0' is 7 pixels wide.
    EXPECT_EQ(TextExtent(QStringLiteral("00"), QStringLiteral("Arial"), 14, FW_NORMAL, false).width(), 14);
}

TEST(DrawText, HangsFromItsTopCentreAndDrawsItsBox)
{
    const QString text = QStringLiteral("H8H8");
    const QSize size = TextExtent(text, QStringLiteral("Arial"), 20, FW_BOLD, false);
    ASSERT_GT(size.width(), 10);

    QImage image = Canvas(200, 80);
    DrawText(image, text, 100.0f, 30.0f, kRed, kBlue, kGreen, true, false, QStringLiteral("Arial"), 20,
        FW_BOLD, 0, false, false, false, TA_CENTER);
    const QRect ink = BoundsOfColour(image, kRed);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.top(), 30);
    EXPECT_LE(ink.bottom(), 30 + 19);
    EXPECT_LE(std::abs((ink.left() + ink.right()) / 2 - 100), 2);

    const int left = 100 - (size.width() + 1) / 2;
    EXPECT_EQ(BoundsOfColour(image, kBlue), QRect(QPoint(left, 30), QPoint(left + size.width(), 30 + 20)));
    EXPECT_EQ(At(image, 100, 60), kWhite);

    QImage filled = Canvas(200, 80);
    DrawText(filled, text, 100.0f, 30.0f, kRed, kBlue, kGreen, true, true, QStringLiteral("Arial"), 20,
        FW_BOLD, 0, false, false, false, TA_CENTER);
    EXPECT_EQ(BoundsNotColour(filled, kWhite), QRect(QPoint(left, 30), QPoint(left + size.width() - 1, 49)));
    EXPECT_EQ(BoundsOfColour(filled, kRed), ink);
}

TEST(DrawText, TurnedTextHasAnEmptyBox)
{
    QImage image = Canvas(120, 120);
    DrawText(image, QStringLiteral("HELLO"), 60.0f, 100.0f, kRed, kBlue, kGreen, true, true,
        QStringLiteral("Arial"), 20, FW_NORMAL, 900, false, false, false, TA_CENTER);
    const QRect ink = BoundsOfColour(image, kRed);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GT(ink.height(), 2 * ink.width());
    // Running upwards from the anchor.
    EXPECT_LT(ink.bottom(), 100 + 30);
    EXPECT_EQ(CountColour(image, kBlue), 0);
    EXPECT_EQ(CountColour(image, kGreen), 0);
}

TEST(DrawText, LeavesThePictureAsItWasApartFromTheInk)
{
    QImage image = Canvas(100, 50, 0x123456, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(2000);
    DrawText(image, QStringLiteral("Ag"), 50.0f, 10.0f, kRed, 0, 0, false, false, QStringLiteral("Arial"), 20,
        FW_NORMAL, 0, true, true, true, TA_CENTER, ClipBand::Rect(0, 0, 100, 20));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(image.dotsPerMeterX(), 2000);
    // Only ink (no background box, no blended edges) and only inside the clip band.
    EXPECT_EQ(Count(image, [](std::uint32_t c) { return c != 0x123456 && c != kRed; }), 0);
    EXPECT_GT(CountColour(image, kRed), 0);
    EXPECT_LE(BoundsOfColour(image, kRed).bottom(), 19);
}

} // namespace
} // namespace pelicard
