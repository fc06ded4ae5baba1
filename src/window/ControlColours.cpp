#include "window/ControlColours.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

#include <optional>

namespace pelicard {

namespace {

constexpr const char* BackProperty = "pelicardBackColour";
constexpr const char* ForeProperty = "pelicardForeColour";
constexpr std::uint32_t SystemFlag = 0x80000000;

QPalette::ColorRole SystemRole(std::uint32_t index)
{
    switch (index) {
    case 5:
        return QPalette::Base;
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button;
    case 16:
        return QPalette::Dark;
    case 17:
        return QPalette::PlaceholderText;
    case 18:
        return QPalette::ButtonText;
    case 20:
        return QPalette::Light;
    case 21:
        return QPalette::Shadow;
    case 22:
        return QPalette::Midlight;
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

bool IsEditField(const QWidget* widget)
{
    return qobject_cast<const QLineEdit*>(widget) != nullptr
        || qobject_cast<const QAbstractSpinBox*>(widget) != nullptr
        || qobject_cast<const QTextEdit*>(widget) != nullptr
        || qobject_cast<const QPlainTextEdit*>(widget) != nullptr
        || qobject_cast<const QAbstractItemView*>(widget) != nullptr;
}

std::optional<std::uint32_t> Stored(const QWidget* widget, const char* property)
{
    const QVariant value = widget->property(property);
    if (!value.isValid()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value.toULongLong());
}

// Rebuilds the widget's palette from the stored numbers. Only the roles that the widget paints
// its background with are touched, so a panel's colour does not leak into the fields inside it.
void ApplyColours(QWidget* widget)
{
    const QPalette standard = QApplication::palette(widget);
    QPalette palette = widget->palette();
    if (const auto back = Stored(widget, BackProperty)) {
        const QColor colour = ToQColor(*back, standard);
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            palette.setColor(QPalette::Button, colour);
        } else if (IsEditField(widget)) {
            palette.setColor(QPalette::Base, colour);
        } else if (qobject_cast<QComboBox*>(widget) != nullptr) {
            palette.setColor(QPalette::Button, colour);
            palette.setColor(QPalette::Base, colour);
        } else {
            palette.setColor(QPalette::Window, colour);
            if (qobject_cast<QFrame*>(widget) != nullptr
                || qobject_cast<QAbstractButton*>(widget) != nullptr) {
                widget->setAutoFillBackground(true);
            }
        }
    }
    if (const auto fore = Stored(widget, ForeProperty)) {
        // A disabled control keeps the style's greyed text, like the controls around it.
        const QColor colour = ToQColor(*fore, standard);
        for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
            palette.setColor(group, QPalette::WindowText, colour);
            palette.setColor(group, QPalette::ButtonText, colour);
            palette.setColor(group, QPalette::Text, colour);
        }
    }
    widget->setPalette(palette);
    widget->update();
}

} // namespace

QColor ToQColor(std::uint32_t colour, const QPalette& palette)
{
    if ((colour & SystemFlag) != 0) {
        return palette.color(QPalette::Active, SystemRole(colour & 0xFF));
    }
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
        static_cast<int>((colour >> 16) & 0xFF));
}

QColor ToQColor(std::uint32_t colour)
{
    return ToQColor(colour, QApplication::palette());
}

void SetBackColour(QWidget* widget, std::uint32_t colour)
{
    if (widget == nullptr) {
        return;
    }
    widget->setProperty(BackProperty, QVariant::fromValue<qulonglong>(colour));
    ApplyColours(widget);
}

std::uint32_t BackColour(const QWidget* widget)
{
    if (widget == nullptr) {
        return colour::ButtonFace;
    }
    if (const auto stored = Stored(widget, BackProperty)) {
        return *stored;
    }
    return IsEditField(widget) ? colour::SystemWindow : colour::ButtonFace;
}

void SetForeColour(QWidget* widget, std::uint32_t colour)
{
    if (widget == nullptr) {
        return;
    }
    widget->setProperty(ForeProperty, QVariant::fromValue<qulonglong>(colour));
    ApplyColours(widget);
}

std::uint32_t ForeColour(const QWidget* widget)
{
    if (widget == nullptr) {
        return colour::SystemWindowText;
    }
    if (const auto stored = Stored(widget, ForeProperty)) {
        return *stored;
    }
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ? colour::SystemButtonText
                                                                   : colour::SystemWindowText;
}

} // namespace pelicard
