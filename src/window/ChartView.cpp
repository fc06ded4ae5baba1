#include "window/ChartView.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pelicard {

namespace {

constexpr int MaxTimeTicks = 7;
constexpr double WheelStep = 0.8; // one notch of the wheel zooms in to 80 %
const QColor Background(255, 255, 255);
const QColor GridColour(224, 224, 224);
const QColor AxisColour(96, 96, 96);
const QColor LineColour(31, 78, 156);
const QColor LiveColour(230, 120, 0);
const QColor CursorColour(150, 150, 150);

int Decimals(double step, double factor)
{
    const double scaled = step / factor;
    return scaled >= 1 ? 0 : std::clamp(static_cast<int>(std::ceil(-std::log10(scaled) - 1e-9)), 0, 9);
}

QPen LinePen()
{
    QPen pen(LineColour, 1.5);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

} // namespace

QString TimeLabel(double seconds, double step)
{
    const double day = 86400;
    const int days = static_cast<int>(std::floor(seconds / day + 1e-9));
    double within = seconds - days * day;
    const bool tenths = step < 1;
    within = tenths ? std::round(within * 10) / 10 : std::round(within);
    const int whole = static_cast<int>(within);
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(whole / 3600 % 24, 2, 10, QLatin1Char('0'))
                       .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(whole % 60, 2, 10, QLatin1Char('0'));
    if (tenths) {
        text += QStringLiteral(".%1").arg(static_cast<int>(std::lround((within - whole) * 10)) % 10);
    }
    return days > 0 ? QStringLiteral("+%1d %2").arg(days).arg(text) : text;
}

QString ValueLabel(double value, double step, double prefixFactor)
{
    const double shown = value / prefixFactor;
    const int decimals = Decimals(step, prefixFactor);
    // No "-0" at the zero line.
    const double rounded = std::abs(shown) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : shown;
    return QLocale::c().toString(rounded, 'f', decimals);
}

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void ChartView::Append(double timeOfDay, const QString& reading)
{
    model_.Append(timeOfDay, reading.toStdString());
    if (!DrawNewest()) {
        Invalidate();
    }
    emit viewChanged();
}

void ChartView::SetLive(double timeOfDay, const QString& reading)
{
    model_.SetLive(timeOfDay, reading.toStdString());
    if (plotValid_ && FrameFor(size()) != plotFrame_) {
        plotValid_ = false;
    }
    update();
}

void ChartView::Clear()
{
    model_.Clear();
    Changed();
}

void ChartView::Changed()
{
    Invalidate();
    emit viewChanged();
}

void ChartView::ResetView()
{
    model_.ResetView();
    Changed();
}

void ChartView::Invalidate()
{
    plotValid_ = false;
    update();
}

ChartView::Frame ChartView::FrameFor(QSizeF size) const
{
    const QFontMetricsF metrics(font());
    const double line = metrics.height();
    Frame frame;
    frame.time = model_.TimeView();
    frame.value = model_.ValueView();
    const auto [factor, prefix]
        = EngineeringPrefix(std::max(std::abs(frame.value.lo), std::abs(frame.value.hi)));
    const ChartTicks ticks = ValueTicks(frame.value, ChartModel::MaxValueTicks);
    double labelWidth = metrics.horizontalAdvance(QStringLiteral("-0000"));
    for (int i = 0; i < ticks.count; ++i) {
        labelWidth
            = std::max(labelWidth, metrics.horizontalAdvance(ValueLabel(ticks.At(i), ticks.step, factor)));
    }
    const double left = std::ceil(labelWidth + 10);
    const double top = std::ceil(line + 6);
    const double bottom = std::ceil(line + 8);
    frame.plot = QRectF(
        left, top, std::max(10.0, size.width() - left - 12), std::max(10.0, size.height() - top - bottom));
    return frame;
}

void ChartView::Render(QPainter& painter, const Frame& frame, QSizeF size) const
{
    painter.fillRect(QRectF(QPointF(0, 0), size), Background);
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const QRectF& plot = frame.plot;

    // Grid and tick labels.
    const auto [factor, prefix]
        = EngineeringPrefix(std::max(std::abs(frame.value.lo), std::abs(frame.value.hi)));
    const ChartTicks valueTicks = ValueTicks(frame.value, ChartModel::MaxValueTicks);
    const ChartTicks timeTicks = TimeTicks(frame.time, MaxTimeTicks);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < valueTicks.count; ++i) {
        const double y = std::round(frame.Y(valueTicks.At(i))) + 0.5;
        painter.setPen(GridColour);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(AxisColour);
        const QString label = ValueLabel(valueTicks.At(i), valueTicks.step, factor);
        painter.drawText(
            QPointF(plot.left() - 6 - metrics.horizontalAdvance(label), y + metrics.ascent() / 2 - 1), label);
    }
    for (int i = 0; i < timeTicks.count; ++i) {
        const double x = std::round(frame.X(timeTicks.At(i))) + 0.5;
        painter.setPen(GridColour);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(AxisColour);
        const QString label = TimeLabel(timeTicks.At(i), timeTicks.step);
        const double width = metrics.horizontalAdvance(label);
        const double at = std::clamp(x - width / 2, 0.0, size.width() - width);
        painter.drawText(QPointF(at, plot.bottom() + 4 + metrics.ascent()), label);
    }
    painter.setPen(AxisColour);
    painter.drawRect(plot.adjusted(0.5, 0.5, -0.5, -0.5));
    const std::string unit = model_.UnitInView();
    painter.drawText(QPointF(4, metrics.ascent() + 2),
        QString::fromStdString(unit.empty() ? std::string() : prefix + unit));

    if (model_.Points().empty()) {
        painter.drawText(plot, Qt::AlignCenter, tr("No readings yet: Start sampling or Load a file"));
        return;
    }

    // The line, one pixel column at a time.
    painter.save();
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(LinePen());
    const int columns = std::max(1, static_cast<int>(plot.width()));
    const std::vector<ChartModel::Column> line = model_.Columns(frame.time, columns);
    std::vector<QLineF> segments;
    segments.reserve(line.size() * 2);
    std::vector<QPointF> dots;
    const ChartModel::Column* before = nullptr;
    for (const ChartModel::Column& column : line) {
        if (!column.filled) {
            continue;
        }
        const double x = frame.X(column.firstTime);
        if (column.joined && before != nullptr) {
            segments.emplace_back(frame.X(before->lastTime), frame.Y(before->last), x, frame.Y(column.first));
        }
        if (column.maximum > column.minimum) {
            segments.emplace_back(x, frame.Y(column.minimum), x, frame.Y(column.maximum));
        } else if (!column.joined) {
            dots.emplace_back(x, frame.Y(column.first));
        }
        before = &column;
    }
    painter.drawLines(segments.data(), static_cast<int>(segments.size()));
    painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
    painter.restore();
}

void ChartView::DrawLive(QPainter& painter, const Frame& frame) const
{
    const auto& live = model_.Live();
    if (!live || live->gap || !frame.time.Contains(live->time) || !frame.value.Contains(live->value)) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(LiveColour.darker(130), 1));
    painter.setBrush(LiveColour);
    painter.drawEllipse(QPointF(frame.X(live->time), frame.Y(live->value)), 4, 4);
}

bool ChartView::DrawNewest()
{
    const auto& points = model_.Points();
    if (!plotValid_ || points.size() < 2 || FrameFor(size()) != plotFrame_) {
        return false;
    }
    const ChartModel::Point& newest = points.back();
    const ChartModel::Point& before = points[points.size() - 2];
    if (newest.gap) {
        return true; // a gap adds nothing to the line
    }
    QPainter painter(&plot_);
    painter.setClipRect(plotFrame_.plot);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(LinePen());
    const QPointF to(plotFrame_.X(newest.time), plotFrame_.Y(newest.value));
    QRectF touched(to, to);
    if (!before.gap && before.unit == newest.unit) {
        const QPointF from(plotFrame_.X(before.time), plotFrame_.Y(before.value));
        painter.drawLine(from, to);
        touched = QRectF(from, to).normalized();
    } else {
        painter.drawPoint(to);
    }
    update(touched.adjusted(-3, -3, 3, 3).toAlignedRect());
    return true;
}

QImage ChartView::Picture(QSize size) const
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    const Frame frame = FrameFor(QSizeF(size));
    Render(painter, frame, QSizeF(size));
    DrawLive(painter, frame);
    return picture;
}

void ChartView::paintEvent(QPaintEvent* /*event*/)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!plotValid_ || plot_.size() != pixels) {
        plot_ = QImage(pixels, QImage::Format_RGB32);
        plot_.setDevicePixelRatio(ratio);
        plotFrame_ = FrameFor(size());
        QPainter painter(&plot_);
        Render(painter, plotFrame_, size());
        plotValid_ = true;
        ++fullDraws_;
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), plot_);
    DrawLive(painter, plotFrame_);
    if (pointer_ && plotFrame_.plot.contains(*pointer_)) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(CursorColour, 1, Qt::DashLine));
        painter.drawLine(
            QPointF(pointer_->x(), plotFrame_.plot.top()), QPointF(pointer_->x(), plotFrame_.plot.bottom()));
        painter.drawLine(
            QPointF(plotFrame_.plot.left(), pointer_->y()), QPointF(plotFrame_.plot.right(), pointer_->y()));
        const QString text = CursorText();
        const QFontMetricsF metrics(font());
        const QRectF box(plotFrame_.plot.right() - metrics.horizontalAdvance(text) - 12,
            plotFrame_.plot.top() + 2, metrics.horizontalAdvance(text) + 8, metrics.height() + 2);
        painter.fillRect(box, QColor(255, 255, 255, 220));
        painter.setPen(AxisColour);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    plotValid_ = false;
}

std::optional<QPointF> ChartView::ValueAt(QPointF position) const
{
    const Frame frame = plotValid_ ? plotFrame_ : FrameFor(size());
    if (!frame.plot.contains(position)) {
        return std::nullopt;
    }
    const double t
        = frame.time.lo + (position.x() - frame.plot.left()) / frame.plot.width() * frame.time.Span();
    const double v
        = frame.value.lo + (frame.plot.bottom() - position.y()) / frame.plot.height() * frame.value.Span();
    return QPointF(t, v);
}

QString ChartView::CursorText() const
{
    if (!pointer_) {
        return {};
    }
    const std::optional<QPointF> at = ValueAt(*pointer_);
    if (!at) {
        return {};
    }
    const Frame frame = plotValid_ ? plotFrame_ : FrameFor(size());
    const auto [factor, prefix]
        = EngineeringPrefix(std::max(std::abs(frame.value.lo), std::abs(frame.value.hi)));
    const ChartTicks ticks = ValueTicks(frame.value, ChartModel::MaxValueTicks);
    const double timeStep = frame.time.Span() / std::max(1.0, frame.plot.width()) < 1 ? 0.1 : 1;
    return QStringLiteral("%1  %2 %3%4")
        .arg(TimeLabel(at->x(), timeStep), ValueLabel(at->y(), ticks.step / 10, factor),
            QString::fromStdString(prefix), QString::fromStdString(model_.UnitInView()));
}

QString ChartView::StatisticsText() const
{
    const ChartStatistics s = model_.StatisticsInView();
    if (s.count == 0) {
        return tr("No readings in view");
    }
    const std::string unit = model_.UnitInView();
    const auto format = [&](double value) {
        const auto [factor, prefix] = EngineeringPrefix(value);
        return QLocale::c().toString(value / factor, 'g', 5) + QLatin1Char(' ')
            + QString::fromStdString(prefix + unit);
    };
    return tr("%1 readings in view   min %2   max %3   mean %4")
        .arg(s.count)
        .arg(format(s.minimum), format(s.maximum), format(s.mean));
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    if (dragFrom_ && (event->buttons() & Qt::LeftButton) != 0) {
        const Frame frame = plotValid_ ? plotFrame_ : FrameFor(size());
        const QPointF moved = event->position() - *dragFrom_;
        dragFrom_ = event->position();
        model_.Pan(-moved.x() / frame.plot.width() * frame.time.Span(),
            moved.y() / frame.plot.height() * frame.value.Span());
        Changed();
    } else {
        update();
    }
    emit cursorMoved();
}

void ChartView::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    dragFrom_.reset();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* /*event*/)
{
    ResetView();
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const std::optional<QPointF> at = ValueAt(event->position());
    const double notches = event->angleDelta().y() / 120.0;
    if (!at || notches == 0) {
        return;
    }
    const double factor = std::pow(WheelStep, notches);
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        model_.ZoomValue(at->y(), factor);
    } else {
        model_.ZoomTime(at->x(), factor);
    }
    Changed();
    event->accept();
}

void ChartView::leaveEvent(QEvent* /*event*/)
{
    pointer_.reset();
    update();
    emit cursorMoved();
}

} // namespace pelicard
