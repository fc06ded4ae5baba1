// The chart with a full sampling table of 32767 readings: a whole redraw, and one reading more
// that leaves the axes as they are (its piece of line alone). Prints the medians.
#include "window/ChartView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString Reading(int i)
{
    const double value = 2.0 + 2.6 * std::sin(i * 0.01) + 0.05 * std::sin(i * 1.7);
    return i % 997 == 0 ? QStringLiteral("    OL     ") : QStringLiteral(" %1V ").arg(value, 0, 'f', 4);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    pelicard::ChartView chart;
    chart.resize(900, 300);
    constexpr int Points = 32767;
    constexpr double Start = 8 * 3600;
    for (int i = 0; i < Points; ++i) {
        chart.EditModel().Append(Start + i * 0.5, Reading(i).toStdString());
    }
    chart.Changed();
    chart.show();
    QApplication::processEvents();

    // A whole redraw: the view changed (as after a zoom or a resize).
    std::vector<double> redrawMs;
    for (int run = 0; run < 25; ++run) {
        chart.Changed();
        QElapsedTimer timer;
        timer.start();
        chart.repaint();
        redrawMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    // One reading more, inside the axes: the all-readings view runs to the next page (18 h).
    std::vector<double> appendUs;
    const int drawsBefore = chart.FullDraws();
    for (int i = Points; i < Points + 200; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.Append(Start + i * 0.5, Reading(i));
        appendUs.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::vector<double> appendPaintUs;
    for (int i = Points + 200; i < Points + 400; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.Append(Start + i * 0.5, Reading(i));
        chart.repaint();
        appendPaintUs.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::printf("chart, %d readings, %dx%d plot\n", Points, chart.width(), chart.height());
    std::printf("  whole redraw: median %.2f ms, best %.2f ms\n", Median(redrawMs),
        *std::min_element(redrawMs.begin(), redrawMs.end()));
    std::printf("  one reading more (model and its piece of line): median %.1f us\n", Median(appendUs));
    std::printf("  one reading more with the window painted: median %.1f us\n", Median(appendPaintUs));
    std::printf("  whole redraws during the 400 readings: %d\n", chart.FullDraws() - drawsBefore);
    return 0;
}
