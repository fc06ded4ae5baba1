#include "window/frmMain.h"

#include "values/Colours.h"
#include "window/ControlColours.h"
#include "window/NamedControls.h"
#include "window/TableLayouts.h"
#include "window/Twips.h"

#include <QCloseEvent>
#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace pelicard {

namespace {

// A label placed inside a picture box, in the box's scale units.
QLabel* PlacedLabel(
    PictureBox* box, const QString& text, const QString& name, const QString& purpose, double x, double y)
{
    auto* label = Named(new QLabel(text, box), name, purpose);
    label->adjustSize();
    label->move(box->ToPixels(x, y));
    return label;
}

// The layout of each grid is TableLayouts' business; here it gets its size and name.
FlexGrid* Grid(const QString& name, const QString& purpose, int index, int rows, int cols)
{
    auto* grid = Named(new FlexGrid, name, purpose);
    grid->SetIndex(index);
    grid->SetCols(cols);
    grid->SetRows(rows);
    return grid;
}

// A one-row bar: file name and the four command pictures.
FlexGrid* FileBar(
    const QString& name, const QString& purpose, int index, const char* fileName, const IconStrip& icons)
{
    FlexGrid* bar = Grid(name, purpose, index, 1, 6);
    bar->SetBackColorFixed(colour::FileBar);
    LayOutFileBar(*bar, QString::fromLatin1(fileName), icons);
    return bar;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setAccessibleDescription(QStringLiteral("frmMain: main window of the meter companion"));
    setWindowTitle(QStringLiteral("Data Logger DMM"));

    const int iconSide = std::min(16, TwipsToPixelsX(this, 300) - 4);
    picClip = Named(new IconStrip(iconSide, this), QStringLiteral("picClip"), QString());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    setCentralWidget(central);
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(10, 10, 10, 6);
    rows->setSpacing(10);

    // Top: the meter controls, then Link and Exit where they are easy to find.
    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(BuildMeterPanel());
    top->addSpacing(6);
    chkChart = Named(new QCheckBox(QStringLiteral("Chart")), QStringLiteral("chkChart"),
        QStringLiteral("show the chart of the sampling table"));
    top->addWidget(chkChart, 0, Qt::AlignVCenter);
    top->addStretch(1);
    CmdSys[0] = Button(
        QStringLiteral("Link"), Indexed("CmdSys", 0), QStringLiteral("link to the meter, or unlink"));
    CmdSys[1] = Button(QStringLiteral("Exit"), Indexed("CmdSys", 1),
        QStringLiteral("save the file names and close the program"));
    for (QPushButton* button : CmdSys) {
        QFont font = button->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.15);
        button->setFont(font);
        button->setMinimumSize(110, 44);
        top->addWidget(button, 0, Qt::AlignVCenter);
    }
    rows->addLayout(top);

    // The mode and sampling areas, with the chart below them when it is shown.
    auto* areas = new QWidget;
    areas->setObjectName(QStringLiteral("modeAndSampling"));
    auto* middle = new QHBoxLayout(areas);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(10);
    middle->addWidget(BuildModeColumn(), 3);
    middle->addWidget(BuildSamplingPanel(), 2);
    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("chartSplitter"));
    split->setChildrenCollapsible(false);
    split->addWidget(areas);
    split->addWidget(BuildChartPane());
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    rows->addWidget(split, 1);

    StatusBar1 = Named(new StatusBar(this), QStringLiteral("StatusBar1"), QStringLiteral("status bar"));
    StatusBar1->SetPanelText(3, QStringLiteral("Disconnected"));
    setStatusBar(StatusBar1);

    BuildTimers();
    resize(sizeHint());
}

frmMain::~frmMain() = default;

QWidget* frmMain::BuildMeterPanel()
{
    picLay[0] = Named(new QGroupBox(QStringLiteral("Meter")), Indexed("picLay", 0),
        QStringLiteral("meter control panel: lamps, function and range"));
    auto* layout = new QHBoxLayout(picLay[0]);
    layout->setSpacing(12);

    const auto lampHolder = [&](int holder, int lamp, const char* caption, const QString& purpose) {
        Picture2[static_cast<std::size_t>(holder)] = Named(
            new QWidget, Indexed("Picture2", holder), QStringLiteral("holder of the %1 lamp").arg(purpose));
        led[static_cast<std::size_t>(lamp)] = Named(new Lamp, Indexed("led", lamp),
            QStringLiteral("%1 lamp, lit while the meter link is busy").arg(purpose));
        Label1[static_cast<std::size_t>(lamp)] = Label(QLatin1String(caption), Indexed("Label1", lamp),
            QStringLiteral("caption of the %1 lamp").arg(purpose));
        auto* row = new QHBoxLayout(Picture2[static_cast<std::size_t>(holder)]);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        row->addWidget(led[static_cast<std::size_t>(lamp)]);
        row->addWidget(Label1[static_cast<std::size_t>(lamp)]);
        layout->addWidget(Picture2[static_cast<std::size_t>(holder)]);
    };
    lampHolder(0, 1, "RX", QStringLiteral("receive"));
    lampHolder(1, 0, "TX", QStringLiteral("transmit"));

    const auto listHolder = [&](int index, const char* caption, const QString& purpose) {
        const auto i = static_cast<std::size_t>(index);
        Picture3[i] = Named(
            new QWidget, Indexed("Picture3", index), QStringLiteral("holder of the %1 list").arg(purpose));
        Label3[i] = Label(QLatin1String(caption), Indexed("Label3", index),
            QStringLiteral("caption of the %1 list").arg(purpose));
        cmb[i] = Named(new QComboBox, Indexed("cmb", index), QStringLiteral("the meter's %1").arg(purpose));
        cmb[i]->setMinimumContentsLength(7);
        cmb[i]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        Label3[i]->setBuddy(cmb[i]);
        auto* row = new QHBoxLayout(Picture3[i]);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(6);
        row->addWidget(Label3[i]);
        row->addWidget(cmb[i]);
        layout->addWidget(Picture3[i]);
    };
    layout->addSpacing(8);
    listHolder(1, "Function", QStringLiteral("function"));
    listHolder(2, "Range", QStringLiteral("range"));
    cmb[2]->addItem(QStringLiteral("Auto"));
    return picLay[0];
}

QWidget* frmMain::BuildModeColumn()
{
    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("modeColumn"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    SSTab1 = Named(new QTabBar, QStringLiteral("SSTab1"), QStringLiteral("measurement mode tabs"));
    for (const char* caption :
        { "Data Logger", "Record Mode", "Relative Mode", "Compare Mode", "Trend Plot" }) {
        SSTab1->addTab(QLatin1String(caption));
    }
    SSTab1->setExpanding(false);
    SSTab1->setDrawBase(false);
    connect(SSTab1, &QTabBar::currentChanged, this, [this](int tab) {
        const int previous = previousTab_;
        previousTab_ = tab;
        emit tabClicked(previous);
    });
    layout->addWidget(SSTab1);

    auto* page = new QFrame;
    page->setObjectName(QStringLiteral("modePage"));
    page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(8, 8, 8, 8);
    pageLayout->setSpacing(8);
    pageLayout->addWidget(BuildDisplayArea(), 1);
    pageLayout->addWidget(BuildIgnitionPanel(), 0, Qt::AlignHCenter);

    txtEdt = Named(new EditBox(page), QStringLiteral("txtEdt"),
        QStringLiteral("in-place editor of table cells (not used)"));
    txtEdt->hide();
    layout->addWidget(page, 1);
    layout->addSpacing(10);

    picLay[1] = Named(new QGroupBox(QStringLiteral("Mode functions")), Indexed("picLay", 1),
        QStringLiteral("mode button panel: the mode's functions, hold and clock"));
    auto* buttons = new QHBoxLayout(picLay[1]);
    buttons->setSpacing(6);
    const char* captions[] = { "SetUp", "Clear", "Recall", "Start" };
    for (int i = 0; i < 4; ++i) {
        cmdFun[static_cast<std::size_t>(i)] = Button(QLatin1String(captions[i]), Indexed("cmdFun", i),
            i == 0 ? QStringLiteral("mode function button 1, opens and closes the setup panel")
                   : QStringLiteral("mode function button %1").arg(i + 1));
        buttons->addWidget(cmdFun[static_cast<std::size_t>(i)]);
    }
    buttons->addSpacing(16);
    buttons->addStretch(1);
    chkHold = Named(new QCheckBox(QStringLiteral("Hold")), QStringLiteral("chkHold"),
        QStringLiteral("hold the meter's reading"));
    buttons->addWidget(chkHold);
    buttons->addSpacing(8);
    Command3 = Button(QStringLiteral("Clock"), QStringLiteral("Command3"),
        QStringLiteral("set the meter's clock to the computer's"));
    buttons->addWidget(Command3);
    layout->addWidget(picLay[1]);
    return column;
}

QWidget* frmMain::BuildDisplayArea()
{
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("displayArea"));
    auto* stack = new QGridLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);

    p1[0] = Named(
        new PictureBox, Indexed("p1", 0), QStringLiteral("meter display area with the three analog meters"));
    p1[0]->SetScaleMode(PictureScale::Pixels);
    SetBackColour(p1[0], colour::GaugeBackground);
    // Room for the main meter at (100, 100) radius 90 and the sub meters at (250, 65) and (250, 155).
    p1[0]->setFixedSize(345, 220);
    p1[0]->Cls();

    p1[1] = Named(new PictureBox, Indexed("p1", 1),
        QStringLiteral("logger display area: file bar, settings and memory table"));
    BuildLoggerArea();
    p1[2] = Named(new PictureBox, Indexed("p1", 2), QStringLiteral("trend display area: plot and file bar"));
    BuildTrendArea();

    QSize room;
    for (PictureBox* display : p1) {
        // The gauge picture keeps its pixels, centred; the logger and trend areas fill the pane.
        if (display == p1[0]) {
            stack->addWidget(display, 0, 0, Qt::AlignCenter);
        } else {
            stack->addWidget(display, 0, 0);
        }
        room = room.expandedTo(display->sizeHint()).expandedTo(display->minimumSize());
    }
    // The area keeps its size whichever display is shown, so switching tabs does not move things.
    area->setMinimumSize(room);
    p1[1]->hide();
    p1[2]->hide();

    BuildSetupPanel();
    stack->addWidget(picSup, 0, 0, Qt::AlignTop | Qt::AlignHCenter);
    return area;
}

void frmMain::BuildLoggerArea()
{
    auto* layout = new QVBoxLayout(p1[1]);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    grdLog[0] = FileBar(Indexed("grdLog", 0),
        QStringLiteral("logger file bar: file name, choose, load, save, print"), 0, DefaultLoggerFile,
        *picClip);
    layout->addWidget(grdLog[0], 0, Qt::AlignLeft);

    auto* settings = new QHBoxLayout;
    settings->setSpacing(6);
    const char* const purposes[]
        = { "the logger's start address", "the logger's stop address", "the logger's sampling time" };
    for (int i = 1; i <= 3; ++i) {
        auto* grid = Grid(Indexed("grdLog", i), QLatin1String(purposes[i - 1]), i, 1, 2);
        LayOutLoggerSettingBox(*grid, i);
        grdLog[static_cast<std::size_t>(i)] = grid;
        settings->addWidget(grid);
    }
    settings->addStretch(1);
    layout->addLayout(settings);

    grdLog[4] = Grid(Indexed("grdLog", 4),
        QStringLiteral("logger memory table: address, time, reading, remarks"), 4, 8, 4);
    LayOutLoggerTable(*grdLog[4]);
    layout->addWidget(grdLog[4], 1);
}

void frmMain::BuildTrendArea()
{
    auto* layout = new QVBoxLayout(p1[2]);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    picTrd = Named(
        new PictureBox, QStringLiteral("picTrd"), QStringLiteral("trend plot of the meter's trend points"));
    picTrd->SetScaleMode(PictureScale::Twips);
    SetBackColour(picTrd, colour::White);
    QFont compact(QStringLiteral("Arial"));
    compact.setStyleHint(QFont::SansSerif);
    compact.setPointSizeF(8.25);
    picTrd->setFont(compact);
    // Points run from x 750 to 4350 and levels from y 960 up to 60; the scales are listed on the right.
    picTrd->setFixedSize(TwipsToPixelsX(picTrd, 6900), TwipsToPixelsY(picTrd, 1220));
    picTrd->Cls();

    constexpr double Left = 750;
    constexpr double Right = 4350;
    constexpr double Bottom = 960;
    constexpr double Top = 60;
    for (int k = 0; k < 5; ++k) {
        const double y = Bottom - 225.0 * k;
        auto* line = Named(new LineShape(picTrd), Indexed("Line1", k),
            QStringLiteral("horizontal grid line of the trend plot"));
        line->SetBorderColor(k == 2 ? 0x808080 : 0xD0D0D0);
        line->SetLine(Left, y, Right, y);
        Line1[static_cast<std::size_t>(k)] = line;
    }
    for (int k = 0; k < 7; ++k) {
        const double x = Left + 600.0 * k;
        auto* line = Named(new LineShape(picTrd), Indexed("Line3", k),
            QStringLiteral("vertical grid line of the trend plot"));
        line->SetBorderColor(0xD0D0D0);
        line->SetLine(x, Top, x, Bottom);
        Line3[static_cast<std::size_t>(k)] = line;
    }

    Label2[4] = PlacedLabel(
        picTrd, QStringLiteral("+"), Indexed("Label2", 4), QStringLiteral("top of the plot"), 480, 0);
    Label2[5] = PlacedLabel(
        picTrd, QStringLiteral("-"), Indexed("Label2", 5), QStringLiteral("bottom of the plot"), 480, 780);
    Label2[2] = PlacedLabel(picTrd, QStringLiteral("REF >"), Indexed("Label2", 2),
        QStringLiteral("marks the reference level"), 40, 390);

    const struct {
        int caption;
        const char* text;
        const char* value;
        const char* purpose;
        double y;
    } scales[] = { { 0, "REF:", "-200.00mVdc", "reference", 60 },
        { 1, "V/DIV:", "200.00mVdc", "volts per division", 390 },
        { 3, "H/DIV:", "20S", "time per division", 720 } };
    for (int i = 0; i < 3; ++i) {
        const auto& scale = scales[i];
        Label2[static_cast<std::size_t>(scale.caption)]
            = PlacedLabel(picTrd, QLatin1String(scale.text), Indexed("Label2", scale.caption),
                QStringLiteral("caption of the trend %1").arg(QLatin1String(scale.purpose)), 4560, scale.y);
        lblTrd[static_cast<std::size_t>(i)]
            = PlacedLabel(picTrd, QLatin1String(scale.value), Indexed("lblTrd", i),
                QStringLiteral("trend %1").arg(QLatin1String(scale.purpose)), 5400, scale.y);
        lblTrd[static_cast<std::size_t>(i)]->setMinimumWidth(TwipsToPixelsX(picTrd, 1400));
        lblTrd[static_cast<std::size_t>(i)]->adjustSize();
    }

    trdBar = Named(new QProgressBar(picTrd), QStringLiteral("trdBar"),
        QStringLiteral("trend progress, one step per trend point"));
    trdBar->setRange(0, 120);
    trdBar->setValue(0);
    trdBar->setTextVisible(false);
    const QPoint barStart = picTrd->ToPixels(Left, 1040);
    const QPoint barEnd = picTrd->ToPixels(Right, 1160);
    trdBar->setGeometry(QRect(barStart, barEnd));
    layout->addWidget(picTrd, 0, Qt::AlignHCenter);

    grdTrd = FileBar(QStringLiteral("grdTrd"),
        QStringLiteral("trend file bar: file name, choose, load, save, keep picture"), -1, DefaultTrendFile,
        *picClip);
    layout->addWidget(grdTrd, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

void frmMain::BuildSetupPanel()
{
    picSup = Named(
        new QFrame, QStringLiteral("picSup"), QStringLiteral("setup panel for the parameters of the mode"));
    picSup->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    picSup->setAutoFillBackground(true);
    // It opens over the display area; a shadow sets it apart from what lies below.
    auto* shadow = new QGraphicsDropShadowEffect(picSup);
    shadow->setBlurRadius(14);
    shadow->setOffset(2, 3);
    shadow->setColor(QColor(0, 0, 0, 90));
    picSup->setGraphicsEffect(shadow);
    auto* layout = new QGridLayout(picSup);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(3);

    const char* captions[] = { "Logger Setup", "Sampling Time", "Start Address", "Stop Address" };
    lblSup[0]
        = Label(QLatin1String(captions[0]), Indexed("lblSup", 0), QStringLiteral("title of the setup panel"));
    QFont bold = lblSup[0]->font();
    bold.setBold(true);
    lblSup[0]->setFont(bold);
    layout->addWidget(lblSup[0], 0, 0, 1, 3);
    for (int i = 1; i <= 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        lblSup[index] = Label(QLatin1String(captions[i]), Indexed("lblSup", i),
            QStringLiteral("caption of setup field %1").arg(i));
        txtSup[index] = Named(new QLineEdit, Indexed("txtSup", i), QStringLiteral("setup field %1").arg(i));
        txtSup[index]->setMinimumWidth(110);
        lblSup[index]->setBuddy(txtSup[index]);
        layout->addWidget(lblSup[index], i, 0);
        layout->addWidget(txtSup[index], i, 1);
    }
    cmdSup[0]
        = Button(QStringLiteral("Set"), Indexed("cmdSup", 0), QStringLiteral("send the setup to the meter"));
    cmdSup[1] = Button(QStringLiteral("Exit"), Indexed("cmdSup", 1), QStringLiteral("close the setup panel"));
    chkDli = Named(new QCheckBox(QStringLiteral("D.L.I.:")), QStringLiteral("chkDli"),
        QStringLiteral("vehicle information option"));
    chkDli->setLayoutDirection(Qt::RightToLeft);
    chkDli->hide();
    layout->addWidget(cmdSup[0], 1, 2);
    layout->addWidget(cmdSup[1], 2, 2);
    layout->addWidget(chkDli, 3, 2);
    SetHeightTwips(picSup, 1335);
    picSup->hide();
}

QWidget* frmMain::BuildIgnitionPanel()
{
    panIg = Named(
        new QFrame, QStringLiteral("panIg"), QStringLiteral("ignition panel: frequency and pulse width"));
    panIg->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* layout = new QHBoxLayout(panIg);
    layout->setContentsMargins(10, 4, 10, 4);
    layout->setSpacing(6);
    lblIg[3] = Label(
        QStringLiteral("FRQ:"), Indexed("lblIg", 3), QStringLiteral("caption of the ignition frequency"));
    lblIg[1] = Label(QStringLiteral("000.0Hz"), Indexed("lblIg", 1), QStringLiteral("ignition frequency"));
    lblIg[2] = Label(
        QStringLiteral("P/W:"), Indexed("lblIg", 2), QStringLiteral("caption of the ignition pulse width"));
    lblIg[0] = Label(QStringLiteral("0000mS"), Indexed("lblIg", 0), QStringLiteral("ignition pulse width"));
    layout->addWidget(lblIg[3]);
    layout->addWidget(lblIg[1]);
    layout->addSpacing(16);
    layout->addWidget(lblIg[2]);
    layout->addWidget(lblIg[0]);
    // Its room is kept while it is hidden, so the window does not grow when it appears.
    QSizePolicy keepRoom = panIg->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    panIg->setSizePolicy(keepRoom);
    panIg->hide();
    return panIg;
}

QWidget* frmMain::BuildSamplingPanel()
{
    picLay[2] = Named(new QGroupBox(QStringLiteral("Sampling record")), Indexed("picLay", 2),
        QStringLiteral("sampling record panel: file, interval and the table of readings"));
    auto* layout = new QGridLayout(picLay[2]);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(6);

    Label5 = Label(QStringLiteral("File Name"), QStringLiteral("Label5"),
        QStringLiteral("caption of the file name box"));
    txtGfn = Named(new QLineEdit(QStringLiteral("logger.txt")), QStringLiteral("txtGfn"),
        QStringLiteral("file name of the sampling table"));
    Label5->setBuddy(txtGfn);
    cmdGbrw = Button(QStringLiteral("Browse..."), QStringLiteral("cmdGbrw"),
        QStringLiteral("choose the file of the sampling table"));
    cmdGbrw->setIcon(picClip->Cell(IconStrip::ChooseFile));
    layout->addWidget(Label5, 0, 0);
    layout->addWidget(txtGfn, 0, 1, 1, 2);
    layout->addWidget(cmdGbrw, 0, 3);

    cmdGrd[1] = Button(QStringLiteral("Load"), Indexed("cmdGrd", 1),
        QStringLiteral("load the sampling table from the file"));
    cmdGrd[0] = Button(
        QStringLiteral("Save"), Indexed("cmdGrd", 0), QStringLiteral("save the sampling table to the file"));
    Command6 = Button(QStringLiteral("Print"), QStringLiteral("Command6"),
        QStringLiteral("print button of the sampling table (no action)"));
    auto* files = new QHBoxLayout;
    files->setSpacing(6);
    files->addWidget(cmdGrd[1]);
    files->addWidget(cmdGrd[0]);
    files->addWidget(Command6);
    files->addStretch(1);
    layout->addLayout(files, 1, 1, 1, 3);

    Label4 = Label(QStringLiteral("Sampling(Sec):"), QStringLiteral("Label4"),
        QStringLiteral("caption of the sampling interval"));
    txtSpl = Named(new QLineEdit(QStringLiteral("1")), QStringLiteral("txtSpl"),
        QStringLiteral("sampling interval in seconds"));
    txtSpl->setMaximumWidth(70);
    Label4->setBuddy(txtSpl);
    cmdClr = Button(
        QStringLiteral("Clear"), QStringLiteral("cmdClr"), QStringLiteral("empty the sampling table"));
    cmdStart = Button(
        QStringLiteral("Start"), QStringLiteral("cmdStart"), QStringLiteral("start or stop sampling"));
    auto* sampling = new QHBoxLayout;
    sampling->setSpacing(6);
    sampling->addWidget(txtSpl);
    sampling->addStretch(1);
    sampling->addWidget(cmdClr);
    sampling->addWidget(cmdStart);
    layout->addWidget(Label4, 2, 0);
    layout->addLayout(sampling, 2, 1, 1, 3);

    grdMain = Grid(QStringLiteral("grdMain"),
        QStringLiteral("sampling record table: index, time, reading, remark"), -1, 12, 4);
    LayOutRecordTable(*grdMain);
    layout->addWidget(grdMain, 3, 0, 1, 4);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(2, 1);
    return picLay[2];
}

void frmMain::BuildTimers()
{
    tmrLog = Named(new WindowTimer(this), QStringLiteral("tmrLog"), QString());
    tmrLog->SetInterval(1);
    tmrSpl = Named(new WindowTimer(this), QStringLiteral("tmrSpl"), QString());
    tmrSpl->SetInterval(1000);
    tmrLive = Named(new WindowTimer(this), QStringLiteral("tmrLive"), QString());
    tmrLive->SetInterval(1000);
    // Enabled but silent until the meters are set up and give it an interval.
    Timer1 = Named(new WindowTimer(this), QStringLiteral("Timer1"), QString());
    Timer1->SetEnabled(true);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    emit closing();
    QMainWindow::closeEvent(event);
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        emit activated();
    }
}

} // namespace pelicard
