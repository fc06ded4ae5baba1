#pragma once

#include <QWidget>

#include <cstdint>

namespace pelicard {

class PictureBox;

// A line drawn over a picture box, placed in the box's scale units (a decoration, not a drawing:
// it survives Cls and is not part of the box's image).
class LineShape : public QWidget {
    Q_OBJECT

public:
    explicit LineShape(PictureBox* container);

    void SetLine(double x1, double y1, double x2, double y2);
    double X1() const { return ends[0]; }
    double Y1() const { return ends[1]; }
    double X2() const { return ends[2]; }
    double Y2() const { return ends[3]; }

    std::uint32_t BorderColor() const { return colour_; }
    void SetBorderColor(std::uint32_t borderColour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureBox* box_;
    double ends[4] = { 0, 0, 0, 0 };
    std::uint32_t colour_ = 0;
    QPoint from_;
    QPoint to_;
};

} // namespace pelicard
