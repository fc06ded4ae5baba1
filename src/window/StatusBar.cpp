#include "window/StatusBar.h"

#include <QLabel>

namespace pelicard {

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    const char* purposes[PanelCount] = { "the file saved last", "notes", "the connection to the meter" };
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(this);
        const QString name = QStringLiteral("StatusBar1.Panels(%1)").arg(i + 1);
        label->setObjectName(name);
        label->setAccessibleDescription(
            name + QStringLiteral(": status panel showing ") + QLatin1String(purposes[i]));
        label->setContentsMargins(6, 0, 6, 0);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    addWidget(panels_[0], 1);
    addPermanentWidget(panels_[1]);
    addPermanentWidget(panels_[2]);
    panels_[2]->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Disconnected")) + 16);
}

QLabel* StatusBar::Panel(int panel) const
{
    if (panel < 1 || panel > PanelCount) {
        return nullptr;
    }
    return panels_[static_cast<std::size_t>(panel - 1)];
}

void StatusBar::SetPanelText(int panel, const QString& text)
{
    if (QLabel* label = Panel(panel)) {
        label->setText(text);
    }
}

QString StatusBar::PanelText(int panel) const
{
    const QLabel* label = Panel(panel);
    return label != nullptr ? label->text() : QString();
}

} // namespace pelicard
