#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <cstdint>

namespace pelicard {

// A small round lamp showing its back colour (see SetBackColour); white when off.
class Lamp : public QWidget {
    Q_OBJECT

public:
    explicit Lamp(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // A transaction lights a lamp for a few milliseconds; the glow stays on screen a little longer
    // so that the eye catches it. The colour number the program reads is never delayed.
    static constexpr int GlowMs = 250;
    std::uint32_t glowColour_ = 0;
    QElapsedTimer glowing_;
};

} // namespace pelicard
