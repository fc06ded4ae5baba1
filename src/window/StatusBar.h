#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

namespace pelicard {

// The window's status bar with its panels 1 to 3.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    static constexpr int PanelCount = 3;

    explicit StatusBar(QWidget* parent = nullptr);

    // Panels count from 1; other numbers are ignored (and read as empty).
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    QLabel* Panel(int panel) const;

private:
    std::array<QLabel*, PanelCount> panels_ {};
};

} // namespace pelicard
