#pragma once

#include <QWidget>

namespace pelicard {

// A small round lamp showing its back colour (see SetBackColour); white when off.
class Lamp : public QWidget {
    Q_OBJECT

public:
    explicit Lamp(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pelicard
