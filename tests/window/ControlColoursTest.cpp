#include "window/ControlColours.h"

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

TEST(ColourNumbers, PlainNumbersAreBlueGreenRedAndSystemColoursComeFromThePalette)
{
    EXPECT_EQ(ToQColor(colour::Red), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF8040), QColor(0x40, 0x80, 0xFF));
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
    const QColor face = QApplication::palette(&button).color(QPalette::Button);
    EXPECT_EQ(BackColour(&button), colour::ButtonFace);
    for (const std::uint32_t number : { colour::Lit, 0u, 0x00FFFFFFu, colour::ButtonFace }) {
        SetBackColour(&button, number);
        EXPECT_EQ(BackColour(&button), number);
    }
    EXPECT_EQ(button.palette().color(QPalette::Button), face) << "back to the button face";
    SetBackColour(&button, colour::Lit);
    EXPECT_EQ(button.palette().color(QPalette::Button), QColor(0xFF, 0x80, 0x80));

    QCheckBox hold(QStringLiteral("Hold"));
    EXPECT_EQ(ForeColour(&hold), colour::SystemButtonText);
    SetForeColour(&hold, colour::Red);
    EXPECT_EQ(ForeColour(&hold), colour::Red);
    EXPECT_EQ(hold.palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Unset colours read the system colours the control starts with.
    QLineEdit field;
    QLabel label;
    EXPECT_EQ(BackColour(&field), colour::SystemWindow);
    EXPECT_EQ(BackColour(&label), colour::ButtonFace);
    EXPECT_EQ(ForeColour(&label), colour::SystemWindowText);
    // A panel's colour does not leak into its fields.
    QFrame panel;
    auto* panelField = new QLineEdit(&panel);
    SetBackColour(&panel, colour::FileBar);
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xC0));
    EXPECT_EQ(panelField->palette().color(QPalette::Base), field.palette().color(QPalette::Base));
    SetBackColour(nullptr, colour::Red);
    EXPECT_EQ(BackColour(nullptr), colour::ButtonFace) << "no widget is harmless";
}

TEST(Twips, ConvertAtTheResolutionAndPanelHeightsKeepTheirContents)
{
    EXPECT_EQ(TwipsToPixels(4350, 96), 290);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(1440, 120), 120);
    EXPECT_DOUBLE_EQ(PixelsToTwips(10, 0), 0.0);

    QWidget panel;
    auto* layout = new QVBoxLayout(&panel);
    for (int i = 0; i < 6; ++i) {
        layout->addWidget(new QLineEdit);
    }
    SetHeightTwips(&panel, 1335);
    EXPECT_EQ(HeightTwips(&panel), 1335);
    EXPECT_GE(panel.maximumHeight(), layout->minimumSize().height());
}

} // namespace
} // namespace pelicard
