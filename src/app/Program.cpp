#include "app/Program.h"

#include "app/Ini.h"
#include "app/ProgramDirectory.h"
#include "modes/ModelView.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "values/LeadingNumber.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/Prompts.h"

#include <QAction>
#include <QApplication>

#include <array>
#include <functional>

namespace pelicard {

namespace {
const QString DefaultCaption = QStringLiteral("50,000 Count Data Logger DMM KT418R");
const char* const FileNameKeys[] = { "grdFname", "trdFname", "logFname" };
const char* const DefaultFileNames[] = { "Logger.txt", "Test.trd", "Test.log" };
const QString LiveKey = QStringLiteral("LiveReading");
const QString DefaultLiveSetting = QStringLiteral("off,1000");

// An entry of the widget's context menu (right click, or the menu key).
void AddContextAction(QWidget& widget, const QString& text, const std::function<void()>& run)
{
    auto* action = new QAction(text, &widget);
    QObject::connect(action, &QAction::triggered, &widget, run);
    widget.addAction(action);
    widget.setContextMenuPolicy(Qt::ActionsContextMenu);
}
} // namespace

Program::Program(HidBackend& backend, Prompts& prompts, const Clock& clock, QString programDirectory)
    : gauges(state.vu)
    , prompts(prompts)
    , clock(clock)
    , indicators(window, prompts)
    , usb(backend, indicators)
    , link(usb, indicators)
    , trend(window)
    , trendFile(window, trend, prompts, [this](std::string_view command) { link.SendCommand(command); })
    , logger(window, prompts, clock)
    , loggerFile(window, prompts, logger, [this](std::string_view command) { link.SendCommand(command); })
    , records(window, prompts, clock)
    , modes(window, state, link, gauges)
    , setup(window, state, link, prompts)
    , buttons(window, link, modes, setup, logger, trend)
    , parser(window, state, records, logger, trend, gauges)
    , loop(window, usb, link, prompts)
    , chart(window, prompts)
    , live(window, state, link, records, loop, clock)
    , backend_(backend)
    , programDirectory_(std::move(programDirectory))
{
    // The backend may tell from another thread; the listening resumes on the window's.
    backend_.SetReportNotifier([this] {
        QMetaObject::invokeMethod(
            &window, [this] { loop.ResumeListening(); }, Qt::QueuedConnection);
    });
    link.SetReplyHandler([this](const std::string& reply, bool ack, bool enq) {
        parser.ParseReply(reply, ack, enq);
        // A reply may have set a needle or a text the gauges show.
        window.Timer1->SetPaused(false);
    });
    // The user has been told the meter is gone; the timers that talk to it stop, so the message
    // is not raised again on every tick. What the tables hold stays.
    link.SetLossHandler([this] { StopMeterActivity(); });
    logger.ResetLoggerTable();
    Connect();
}

void Program::Connect()
{
    // For spreadsheets and scripts; the program's own files stay as they are.
    AddContextAction(*window.grdMain, QStringLiteral("Export CSV..."), [this] { records.ExportCsv(); });
    AddContextAction(*window.grdLog[4], QStringLiteral("Export CSV..."), [this] { logger.ExportCsv(); });
    for (int i = 0; i < 2; ++i) {
        QObject::connect(window.CmdSys[static_cast<std::size_t>(i)], &QPushButton::clicked, &window,
            [this, i] { CmdSys_Click(i); });
        QObject::connect(window.cmdGrd[static_cast<std::size_t>(i)], &QPushButton::clicked, &window,
            [this, i] { records.cmdGrd_Click(i); });
    }
    for (int i = 0; i < 4; ++i) {
        QObject::connect(window.cmdFun[static_cast<std::size_t>(i)], &QPushButton::clicked, &window,
            [this, i] { buttons.cmdFun_Click(i); });
    }
    for (int i = 0; i < 2; ++i) {
        QObject::connect(window.cmdSup[static_cast<std::size_t>(i)], &QPushButton::clicked, &window,
            [this, i] { setup.cmdSup_Click(i); });
    }
    QObject::connect(window.Command3, &QPushButton::clicked, &window, [this] { Command3_Click(); });
    QObject::connect(window.cmdStart, &QPushButton::clicked, &window, [this] { records.cmdStart_Click(); });
    QObject::connect(window.cmdClr, &QPushButton::clicked, &window, [this] { records.cmdClr_Click(); });
    QObject::connect(window.cmdGbrw, &QPushButton::clicked, &window, [this] { records.cmdGbrw_Click(); });
    for (FlexGrid* grid : window.grdLog) {
        QObject::connect(
            grid, &FlexGrid::Click, &window, [this](int index) { loggerFile.grdLog_Click(index); });
    }
    QObject::connect(window.grdTrd, &FlexGrid::Click, &window, [this] { trendFile.grdTrd_Click(); });
    for (int i = 1; i <= 2; ++i) {
        QObject::connect(window.cmb[static_cast<std::size_t>(i)], &QComboBox::currentIndexChanged, &window,
            [this, i] { modes.cmb_Click(i); });
    }
    QObject::connect(window.chkHold, &QCheckBox::toggled, &window, [this] { modes.chkHold_Click(); });
    QObject::connect(
        &window, &frmMain::tabClicked, &window, [this](int previous) { modes.ApplyModeTab(previous); });
    QObject::connect(&window, &frmMain::activated, &window, [this] { Form_Activate(); });
    QObject::connect(&window, &frmMain::closing, &window, [this] {
        SaveFileNames();
        // Closing ends the program at once, whatever else is running.
        QApplication::quit();
    });
    QObject::connect(window.tmrLog, &WindowTimer::Timer, &window, [this] { loop.tmrLog_Timer(); });
    QObject::connect(window.tmrSpl, &WindowTimer::Timer, &window, [this] { loop.tmrSpl_Timer(); });
    QObject::connect(window.tmrLive, &WindowTimer::Timer, &window, [this] { live.tmrLive_Timer(); });
    QObject::connect(window.chkLive, &QCheckBox::toggled, &window, [this] { live.Update(); });
    QObject::connect(window.cmbLive, &QComboBox::currentIndexChanged, &window, [this] { live.Update(); });
    QObject::connect(
        window.cmbSpan, &QComboBox::currentIndexChanged, &window, [this] { chart.cmbSpan_Click(); });
    QObject::connect(
        window.cmdChartReset, &QPushButton::clicked, &window, [this] { chart.cmdChartReset_Click(); });
    QObject::connect(
        window.cmdChartSave, &QPushButton::clicked, &window, [this] { chart.cmdChartSave_Click(); });
    QObject::connect(
        window.cmdChartPrint, &QPushButton::clicked, &window, [this] { chart.cmdChartPrint_Click(); });
    QObject::connect(window.chtMain, &ChartView::viewChanged, &window, [this] { chart.ShowStatistics(); });
    QObject::connect(window.Timer1, &WindowTimer::Timer, &window, [this] {
        if (gauges.Tick()) {
            window.p1[0]->Refresh();
        }
        // Nothing moves: no more wake-ups until a reply or a mode change sets something new.
        if (gauges.AtRest()) {
            window.Timer1->SetPaused(true);
        }
    });
}

Program::~Program()
{
    backend_.SetReportNotifier({});
}

void Program::Start()
{
    InitMeter();
    // The transactions that create the settings file show "Connected"; nothing is linked yet.
    if (!Linked()) {
        window.StatusBar1->SetPanelText(3, QStringLiteral("Disconnected"));
    }
    window.show();
    // Window managers differ in when (and whether) they activate a new window; the gauges are set
    // up at once all the same.
    Form_Activate();
}

void Program::StopMeterActivity()
{
    loop.StopDownload();
    if (records.Sampling()) {
        records.StopSampling();
    }
    live.Update();
}

void Program::InitMeter()
{
    usb.SearchMeter();

    if (usb.deviceFound) {
        iniPath = programDirectory_ + QLatin1Char('/') + IniFileName(usb.productId);
        if (!FileExists(iniPath)) {
            // The file is made only from two real answers: a meter that stops answering half-way
            // leaves no file, and the next link asks again.
            parser.replyField[1].clear();
            link.SendCommand(command::CaptionQuery);
            const QString caption = parser.replyField[1];
            const bool captionAnswered = usb.deviceFound;
            parser.replyField[1].clear();
            if (captionAnswered) {
                link.SendCommand(command::ModelQuery);
            }
            const QString model = parser.replyField[1];
            if (captionAnswered && usb.deviceFound) {
                WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"), caption, iniPath);
                WriteIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), model, iniPath);
                for (int i = 0; i < 3; ++i) {
                    const QString key = QString::fromLatin1(FileNameKeys[i]);
                    WriteIni(key, key, QString::fromLatin1(DefaultFileNames[i]), iniPath);
                }
            }
        }
        const QString caption = ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), iniPath);
        window.setWindowTitle(FileExists(iniPath) ? caption : DefaultCaption);
        state.modelId = ReadLeadingNumber(
            ReadIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), iniPath).toStdString());
    } else {
        window.setWindowTitle(DefaultCaption);
        prompts.Beep();
        prompts.CriticalStop(
            QStringLiteral("Device not detected...Please check PowerOn or Communication cable & connector."),
            QStringLiteral("Device Not Found"));
    }

    ApplyModelView(window, state);

    window.grdLog[0]->SetTextMatrix(
        0, 1, ReadIni(QStringLiteral("logFname"), QStringLiteral("logFname"), iniPath));
    window.grdTrd->SetTextMatrix(
        0, 1, ReadIni(QStringLiteral("trdFname"), QStringLiteral("trdFname"), iniPath));
    window.txtGfn->setText(ReadIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), iniPath));
    live.ApplySetting(ReadIni(LiveKey, LiveKey, iniPath));

    // A relink never overwrites samples: recording goes on after the last filled row.
    records.recordRow = static_cast<int>(RowsUntilGap(*window.grdMain).size()) + 1;
    state.pendingCommand.clear();
}

bool Program::Linked() const
{
    return BackColour(window.CmdSys[0]) == colour::Linked;
}

void Program::CmdSys_Click(int index)
{
    if (index == 0) {
        if (Linked()) {
            Unlink();
        } else {
            Link();
        }
    } else if (index == 1) {
        window.close();
    }
}

void Program::SetPanelsEnabled(bool enabled)
{
    for (QWidget* panel : window.picLay) {
        panel->setEnabled(enabled);
    }
    window.SSTab1->setEnabled(enabled);
}

void Program::Link()
{
    // The file names shown were chosen or typed since the last link; a relink to the same meter
    // keeps them rather than going back to what the settings file held.
    const QString iniBefore = iniPath;
    const std::array<QString, 3> names { window.txtGfn->text(), window.grdLog[0]->TextMatrix(0, 1),
        window.grdTrd->TextMatrix(0, 1) };
    const QString liveSetting = live.Setting();
    usb.CloseMeter();
    InitMeter();
    if (!iniBefore.isEmpty() && iniPath == iniBefore) {
        window.txtGfn->setText(names[0]);
        window.grdLog[0]->SetTextMatrix(0, 1, names[1]);
        window.grdTrd->SetTextMatrix(0, 1, names[2]);
        live.ApplySetting(liveSetting);
    }
    prompts.Beep();
    if (!usb.deviceFound) {
        return;
    }
    SetBackColour(window.CmdSys[0], colour::Linked);
    window.StatusBar1->SetPanelText(3, QStringLiteral("Connected"));
    window.StatusBar1->SetPanelText(1, QString());

    const int tabBefore = window.SSTab1->currentIndex();
    state.fromMeter = true;
    link.SendCommand(command::StatusQuery);
    state.fromMeter = false;
    // The tab handler stores the new tab's query when the status reply switches the tab. A function
    // change in the same reply re-runs that handler for the tab shown and fills the query as well;
    // the query follows only a switch of the tab.
    if (window.SSTab1->currentIndex() != tabBefore && !state.pendingCommand.isEmpty()) {
        link.SendCommand(state.pendingCommand.toStdString());
    }
    SetPanelsEnabled(true);
    live.Update();
}

void Program::Unlink()
{
    SetBackColour(window.CmdSys[0], colour::ButtonFace);
    state.fromMeter = false;
    link.SendCommand(command::GoToLocal);
    usb.CloseMeter();
    SetPanelsEnabled(false);
    window.StatusBar1->SetPanelText(3, QStringLiteral("Disconnected"));
    window.StatusBar1->SetPanelText(1, QString());
    StopMeterActivity();
}

void Program::SaveFileNames()
{
    // Only a settings file that start-up or a link made is written: a file holding file names
    // alone would lack the caption and model the next start relies on.
    if (!FileExists(iniPath)) {
        return;
    }
    const std::pair<const char*, QString> names[] = { { "grdFname", window.txtGfn->text() },
        { "logFname", window.grdLog[0]->TextMatrix(0, 1) }, { "trdFname", window.grdTrd->TextMatrix(0, 1) } };
    for (const auto& [key, value] : names) {
        const QString name = QString::fromLatin1(key);
        const FileError error = WriteIni(name, name, value, iniPath);
        if (error.failed()) {
            // One message; the file keeps what it held.
            prompts.Ok(FormatFileError(error));
            return;
        }
    }
    // A file without the key stays byte for byte as it was while the setting is the default.
    const QString setting = live.Setting();
    if (setting != DefaultLiveSetting || !ReadIni(LiveKey, LiveKey, iniPath).isEmpty()) {
        const FileError error = WriteIni(LiveKey, LiveKey, setting, iniPath);
        if (error.failed()) {
            prompts.Ok(FormatFileError(error));
        }
    }
}

void Program::Command3_Click()
{
    const QDateTime now = clock.Now();
    const QDate date = now.date();
    const QTime time = now.time();
    link.SendCommand(command::BuildClockCommand(
        date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()));
}

void Program::Form_Activate()
{
    // The window stays painted while a transaction waits for the meter; an activation then (the
    // user switched windows) must not clear the query a link is about to send or reset the gauges
    // under a reply being read.
    if (link.InProgress()) {
        return;
    }
    state.pendingCommand.clear();
    modes.vuActivate();
}

} // namespace pelicard
