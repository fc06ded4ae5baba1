#include "window/Colours.h"

#include "window/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(ColourNumbers, PlainNumbersAreBlueGreenRedWithRedInTheLowByte)
{
    EXPECT_EQ(ToQColor(colour::Red), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(colour::Linked), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(ToQColor(colour::Lit), QColor(0xFF, 0x80, 0x80));
    EXPECT_EQ(ToQColor(colour::LoadedMark), QColor(0x80, 0xFF, 0xFF));
    EXPECT_EQ(ToQColor(colour::GaugeBackground), QColor(225, 220, 210));
}

TEST(ColourNumbers, SystemColoursComeFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::Text, QColor(7, 8, 9));
    EXPECT_EQ(ToQColor(colour::ButtonFace, palette), QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(colour::SystemWindow, palette), QColor(4, 5, 6));
    EXPECT_EQ(ToQColor(colour::SystemWindowText, palette), QColor(7, 8, 9));
}

TEST(ControlColours, BackColourReadsBackExactlyTheNumberSet)
{
    QPushButton button;
    EXPECT_EQ(BackColour(&button), colour::ButtonFace);
    for (const std::uint32_t number : { colour::Lit, colour::Linked, colour::ButtonFace, 0u, 0x00FFFFFFu }) {
        SetBackColour(&button, number);
        EXPECT_EQ(BackColour(&button), number);
    }
}

TEST(ControlColours, ButtonShowsItsBackColourAndReturnsToTheButtonFace)
{
    QPushButton button;
    const QColor face = QApplication::palette(&button).color(QPalette::Button);
    SetBackColour(&button, colour::Lit);
    EXPECT_EQ(button.palette().color(QPalette::Button), QColor(0xFF, 0x80, 0x80));
    SetBackColour(&button, colour::ButtonFace);
    EXPECT_EQ(button.palette().color(QPalette::Button), face);
    EXPECT_EQ(BackColour(&button), colour::ButtonFace);
}

TEST(ControlColours, UnsetColoursReadTheSystemColoursTheControlStartsWith)
{
    QLineEdit field;
    QLabel label;
    QCheckBox box;
    EXPECT_EQ(BackColour(&field), colour::SystemWindow);
    EXPECT_EQ(BackColour(&label), colour::ButtonFace);
    EXPECT_EQ(ForeColour(&box), colour::SystemButtonText);
    EXPECT_EQ(ForeColour(&label), colour::SystemWindowText);
}

TEST(ControlColours, HoldCaptionTurnsRedAndBlack)
{
    QCheckBox hold(QStringLiteral("Hold"));
    SetForeColour(&hold, colour::Red);
    EXPECT_EQ(ForeColour(&hold), 255u);
    EXPECT_EQ(hold.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    SetForeColour(&hold, colour::Black);
    EXPECT_EQ(ForeColour(&hold), 0u);
    EXPECT_EQ(hold.palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

TEST(ControlColours, PanelColourDoesNotLeakIntoItsFields)
{
    QFrame panel;
    auto* field = new QLineEdit(&panel);
    const QColor base = field->palette().color(QPalette::Base);
    SetBackColour(&panel, colour::FileBar);
    EXPECT_TRUE(panel.autoFillBackground());
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(field->palette().color(QPalette::Base), base);
}

TEST(ControlColours, NoWidgetIsHarmless)
{
    SetBackColour(nullptr, colour::Red);
    SetForeColour(nullptr, colour::Red);
    EXPECT_EQ(BackColour(nullptr), colour::ButtonFace);
}

TEST(Twips, ConvertAtTheGivenResolution)
{
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(300, 96), 20);
    EXPECT_EQ(TwipsToPixels(4350, 96), 290);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
    EXPECT_DOUBLE_EQ(PixelsToTwips(96, 96), 1440.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(10, 0), 0.0);
}

TEST(Twips, PanelHeightReadsBackAndNeverHidesItsContents)
{
    QWidget panel;
    auto* layout = new QVBoxLayout(&panel);
    for (int i = 0; i < 6; ++i) {
        layout->addWidget(new QLineEdit);
    }
    SetHeightTwips(&panel, 1335);
    EXPECT_EQ(HeightTwips(&panel), 1335);
    EXPECT_GE(panel.maximumHeight(), TwipsToPixelsY(&panel, 1335));
    EXPECT_GE(panel.maximumHeight(), layout->minimumSize().height());

    QWidget empty;
    SetHeightTwips(&empty, 1475);
    EXPECT_EQ(HeightTwips(&empty), 1475);
    EXPECT_EQ(empty.maximumHeight(), TwipsToPixelsY(&empty, 1475));
}

} // namespace
} // namespace pelicard
