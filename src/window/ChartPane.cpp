// The chart pane of frmMain: the chart of the sampling table, its bar and the live reading.
#include "window/NamedControls.h"
#include "window/frmMain.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWindow>

namespace pelicard {

namespace {
constexpr int ChartRoom = 300; // what the window grows by for the chart, in pixels
} // namespace

QWidget* frmMain::BuildChartPane()
{
    picChart = Named(new QFrame, QStringLiteral("picChart"),
        QStringLiteral("chart pane: the sampling table's readings against time"));
    picChart->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* layout = new QVBoxLayout(picChart);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    cmbSpan = Named(new QComboBox, QStringLiteral("cmbSpan"), QStringLiteral("time window of the chart"));
    for (const int minutes : ChartSpanMinutes) {
        cmbSpan->addItem(
            minutes == 0 ? QStringLiteral("All readings") : QStringLiteral("Last %1 min").arg(minutes));
    }
    cmdChartReset = Button(QStringLiteral("Reset view"), QStringLiteral("cmdChartReset"),
        QStringLiteral("undo zoom and pan: follow the readings again"));
    cmdChartSave = Button(QStringLiteral("Save PNG..."), QStringLiteral("cmdChartSave"),
        QStringLiteral("save the chart as a PNG picture"));
    cmdChartPrint
        = Button(QStringLiteral("Print"), QStringLiteral("cmdChartPrint"), QStringLiteral("print the chart"));
    chkLive = Named(new QCheckBox(QStringLiteral("Live reading every")), QStringLiteral("chkLive"),
        QStringLiteral("read the meter at a pace while linked, without adding rows"));
    cmbLive = Named(new QComboBox, QStringLiteral("cmbLive"), QStringLiteral("pace of the live reading"));
    for (const int ms : LivePacesMs) {
        cmbLive->addItem(QStringLiteral("%1 s").arg(ms / 1000.0));
    }
    cmbLive->setCurrentIndex(1);
    lblLive = Label(QString(), QStringLiteral("lblLive"), QStringLiteral("state of the live reading"));
    lblLive->setMinimumWidth(
        lblLive->fontMetrics().horizontalAdvance(QStringLiteral("waits for the setup panel")));
    bar->addWidget(cmbSpan);
    bar->addWidget(cmdChartReset);
    bar->addWidget(cmdChartSave);
    bar->addWidget(cmdChartPrint);
    bar->addStretch(1);
    bar->addWidget(chkLive);
    bar->addWidget(cmbLive);
    bar->addWidget(lblLive);
    layout->addLayout(bar);

    chtMain = Named(new ChartView, QStringLiteral("chtMain"),
        QStringLiteral(
            "chart of the readings against time: drag to pan, wheel to zoom, double-click to reset"));
    layout->addWidget(chtMain, 1);
    lblChartStats = Label(chtMain->StatisticsText(), QStringLiteral("lblChartStats"),
        QStringLiteral("statistics of the readings in view"));
    layout->addWidget(lblChartStats);

    picChart->hide();
    connect(chkChart, &QCheckBox::toggled, this, &frmMain::ShowChart);
    return picChart;
}

void frmMain::ShowChart(bool shown)
{
    if (shown == !picChart->isHidden()) {
        return;
    }
    const bool free = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    if (shown) {
        picChart->show();
        if (free) {
            chartRoom_ = ChartRoom;
            resize(width(), height() + chartRoom_);
        }
    } else {
        picChart->hide();
        if (free && chartRoom_ > 0) {
            resize(width(), std::max(minimumSizeHint().height(), height() - chartRoom_));
        }
        chartRoom_ = 0;
    }
    if (chkChart->isChecked() != shown) {
        chkChart->setChecked(shown);
    }
}

} // namespace pelicard
