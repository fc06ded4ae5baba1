#pragma once

#include "values/ChartModel.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <optional>

namespace pelicard {

// The chart of the sampling table's readings against time, drawn with QPainter from its model.
// The plot is kept as a picture: a new reading that leaves both axes as they are adds its piece of
// line to that picture; anything else draws it again. The cursor, its read-out and the live
// reading are drawn over it on every paint. Drag pans, the wheel zooms the time (with Ctrl the
// values) about the pointer, a double-click goes back to following the readings.
class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);

    const ChartModel& Model() const { return model_; }
    // For changes other than the three below; call Changed() after them.
    ChartModel& EditModel() { return model_; }

    void Append(double timeOfDay, const QString& reading);
    void SetLive(double timeOfDay, const QString& reading);
    void Clear();
    // After EditModel() changed the model in any other way.
    void Changed();
    void ResetView();

    // The chart as shown (without the cursor) in a picture of the given size.
    QImage Picture(QSize size) const;
    // "n readings  min ...  max ...  mean ..." of the readings in view.
    QString StatisticsText() const;
    // Time and value under the pointer, empty when it is off the plot.
    QString CursorText() const;
    // How many times the whole plot was drawn again (the benchmark and the tests read it).
    int FullDraws() const { return fullDraws_; }

signals:
    // The view moved or the readings in it changed: the statistics may read differently.
    void viewChanged();
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

public:
    // Where the plot sits in a picture of a size, and the ranges it shows.
    struct Frame {
        QRectF plot;
        ChartRange time;
        ChartRange value;

        double X(double t) const { return plot.left() + (t - time.lo) / time.Span() * plot.width(); }
        double Y(double v) const { return plot.bottom() - (v - value.lo) / value.Span() * plot.height(); }
        bool operator==(const Frame&) const = default;
    };
    Frame FrameFor(QSizeF size) const;

private:
    void Render(QPainter& painter, const Frame& frame, QSizeF size) const;
    void DrawLive(QPainter& painter, const Frame& frame) const;
    // Draws the newest point's piece onto the kept plot; false when the plot must be drawn anew.
    bool DrawNewest();
    void Invalidate();
    std::optional<QPointF> ValueAt(QPointF position) const;

    ChartModel model_;
    QImage plot_;
    Frame plotFrame_;
    bool plotValid_ = false;
    int fullDraws_ = 0;
    std::optional<QPointF> pointer_;
    std::optional<QPointF> dragFrom_;
};

// Tick label texts of an axis: times of day (with a day count past the first day) and values
// in the prefix of the axis.
QString TimeLabel(double seconds, double step);
QString ValueLabel(double value, double step, double prefixFactor);

} // namespace pelicard
