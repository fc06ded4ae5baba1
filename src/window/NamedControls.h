#pragma once

#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include <type_traits>

namespace pelicard {

// How the window makes its controls: each carries its name, and a description that starts with
// the name and says what it is for.

inline QString Indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Labels keep their text as their accessible name.
template <typename Control> Control* Named(Control* control, const QString& name, const QString& purpose)
{
    control->setObjectName(name);
    if constexpr (std::is_base_of_v<QWidget, Control>) {
        control->setAccessibleDescription(name + QStringLiteral(": ") + purpose);
        // A control that shows no caption of its own is named by its purpose for screen readers;
        // buttons, labels and boxes are named by their captions.
        if constexpr (!std::is_base_of_v<QAbstractButton, Control> && !std::is_base_of_v<QLabel, Control>) {
            if (!purpose.isEmpty()) {
                control->setAccessibleName(purpose);
            }
        }
    }
    return control;
}

inline QPushButton* Button(const QString& caption, const QString& name, const QString& purpose)
{
    auto* button = Named(new QPushButton(caption), name, purpose);
    button->setAutoDefault(false);
    SetBackColour(button, colour::ButtonFace);
    return button;
}

inline QLabel* Label(const QString& text, const QString& name, const QString& purpose)
{
    return Named(new QLabel(text), name, purpose);
}

} // namespace pelicard
