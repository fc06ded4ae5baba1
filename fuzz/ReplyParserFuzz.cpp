// Reports from a meter that sends anything, through the transaction's framing and the reply parser
// into the real window: one program, built and linked once, takes every input. After each input
// every control stays in range, the guard against echoing commands is off again, the needles stand
// at finite values, no text the replies put into the window holds the frame's end byte, and the
// trend the window holds saves to a trend file that loads with the levels drawn.
//
// Input: one byte of set-up, then the meter's report bytes (after the report id), 64 to a report.
//   bits 0-2  the tab shown (modulo 5)      bit 3  "Prog" (cmdFun(1)) lit
//   bits 4-5  0, 3: the reports answer a command, then the meter goes on sending them;
//             1: the meter sends them on its own (tmrLog); 2: the bytes up to the first end byte
//             go to the parser as one reply, without the length of a report
//   bits 6-7  the command: the status query, a reading, a logger record, the trend parameters

#include "FuzzFiles.h"
#include "app/Program.h"
#include "link/ApiUsb.h"
#include "link/FakeHidBackend.h"
#include "trend/TrendFile.h"
#include "trend/TrendPlot.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "values/LeadingNumber.h"
#include "window/Clock.h"
#include "window/ControlColours.h"
#include "window/PromptRecorder.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace pelicard;
using fuzz::Require;
using fuzz::Shown;

constexpr std::size_t ReportPayload = 64;

// A meter whose reports come from the fuzz input while it has any; otherwise it answers each
// command the way a quiet meter does (the link's queries, an acknowledgement for the rest).
std::vector<std::string> QuietMeterAnswer(const std::string& command)
{
    static const std::map<std::string, std::string> answers {
        { "SD0", "sd0Fuzz Meter 50,000 Count" },
        { "SD9", "sd91" },
        { "FUN??,RGE??,MOD??,HLD??,PST??", "fun00,rge10,mod00,hld00,pst00" },
        { "PLV??,PST??", "plv001,00000,00500,pst00" },
        { "PST??", "pst00" },
        { "PRV??,PST??", "prv  1.0000V  ,pst00" },
        { "PCV??,PST??", "pcv  4.0000V  ,  1.0000V  ,pst00" },
        { "PTV??,PST??", "ptv-200.00mVdc, 200.00mVdc,20S:pst00" },
        { "DRM", "drm  1.2345V  " },
    };
    if (command == command::GoToLocal) {
        return {};
    }
    const auto found = answers.find(command);
    return { found != answers.end() ? found->second : std::string("\x06") };
}

struct FuzzMeter : FakeHidBackend {
    FuzzMeter()
    {
        interfaces = { { "meter", MeterVendorId, 0xE101 } };
        lengths = { DefaultReportLength, DefaultReportLength };
        // Reports from the input come first; the meter answers only when none is left.
        respond = [this](const std::string& command) {
            return inputs.empty() ? QuietMeterAnswer(command) : std::vector<std::string> {};
        };
    }
    // What the last input left, so that nothing builds up over millions of inputs.
    void Clear()
    {
        inputs.clear();
        ForgetRecords();
    }
};

struct World {
    QApplication app;
    FuzzMeter meter;
    PromptRecorder prompts;
    FixedClock clock { QDateTime(QDate(2011, 12, 21), QTime(14, 5, 9)) };
    Program program;

    World(int& argc, char** argv)
        : app(argc, argv)
        , program(meter, prompts, clock, fuzz::ScratchFolder().path())
    {
        program.Start();
        program.CmdSys_Click(0); // Link
        Require(program.Linked(), "the fuzz meter links");
    }
};

World* world = nullptr;

void RequireNoEndByte(const QString& text, const char* where)
{
    Require(!text.contains(QChar(3)), "no text from a reply holds the end byte",
        [&] { return where + (": " + Shown(text)); });
}

void CheckWindow(Program& p)
{
    frmMain& w = p.window;
    Require(w.SSTab1->currentIndex() >= 0 && w.SSTab1->currentIndex() < w.SSTab1->count(), "a tab is shown");
    for (const std::size_t list : { std::size_t { 1 }, std::size_t { 2 } }) {
        const int index = w.cmb[list]->currentIndex();
        Require(index >= -1 && index < w.cmb[list]->count(), "a list's index stays in the list",
            [&] { return "list " + std::to_string(list) + " index " + std::to_string(index); });
    }
    Require(w.trdBar->value() >= 0 && w.trdBar->value() <= 120, "the trend progress stays within 0..120");
    const int logRows = w.grdLog[4]->Rows();
    Require(p.logger.logRow >= 1 && p.logger.logRow < logRows, "the next logger row exists",
        [&] { return std::to_string(p.logger.logRow) + " of " + std::to_string(logRows); });
    Require(
        p.records.recordRow >= 1 && p.records.recordRow <= w.grdMain->Rows(), "the next record row exists");
    Require(!p.state.fromMeter, "the guard against echoing commands is off after a reply");
    Require(
        p.trend.PrevTrendLevel == TrendPlot::NoPreviousPoint || TrendPlot::LevelFits(p.trend.PrevTrendLevel),
        "the last trend level fits the plot", [&] { return std::to_string(p.trend.PrevTrendLevel); });
    for (std::size_t g = 0; g < 3; ++g) {
        Require(std::isfinite(p.gauges.vuMeters()[g].GetNeedleValue()), "a needle stands at a finite value");
        RequireNoEndByte(p.state.vu.readingText[g], "reading text");
        RequireNoEndByte(p.state.vu.meterScale[g], "scale text");
        RequireNoEndByte(w.lblTrd[g]->text(), "trend label");
    }
    for (std::size_t k = 0; k < 2; ++k) {
        RequireNoEndByte(p.state.vu.recordStamp[k], "record stamp");
    }
    for (const QString& level : p.trend.TrendData) {
        RequireNoEndByte(level, "trend level text");
    }
    for (std::size_t grid = 1; grid <= 3; ++grid) {
        RequireNoEndByte(w.grdLog[grid]->TextMatrix(0, 1), "logger parameter");
    }
    if (p.logger.logRow > 1) {
        for (int col = 0; col < 3; ++col) {
            RequireNoEndByte(w.grdLog[4]->TextMatrix(p.logger.logRow - 1, col), "logger record");
        }
    }
    RequireNoEndByte(p.parser.replyField[1], "value of an unknown tag");

    const TrendFileContent saved = ParseTrendFile(FormatTrendFile(p.trend.TrendData));
    Require(!saved.error.failed(), "the trend the window holds saves to a file that loads", [&] {
        const std::size_t point = saved.points.size();
        return std::to_string(saved.error.number) + " " + Shown(saved.error.description)
            + ", the point's text \""
            + Shown(point < p.trend.TrendData.size() ? p.trend.TrendData[point] : QString()) + "\"";
    });
    // The level drawn for a point is its text's leading number, rounded.
    for (std::size_t i = 0; i < saved.points.size(); ++i) {
        const QString& text = p.trend.TrendData[i];
        const int drawn = RoundHalfEven(ReadLeadingNumber(text.toLatin1().toStdString()));
        Require(saved.points[i].level == drawn, "a saved trend loads the levels drawn", [&] {
            return "point " + std::to_string(i) + " \"" + Shown(text) + "\" drawn at " + std::to_string(drawn)
                + ", loaded at " + std::to_string(saved.points[i].level);
        });
    }
}

// The offscreen platform warns about every window size hint; only what stops the program is shown.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace

// As in the tests: fontconfig's caches live as long as the process, by design. Compiled in, so that
// replaying an input by hand reports the same as fuzz/run.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    world = new World(*argc, *argv); // lives as long as the process, as a program's window does
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    Program& p = world->program;
    const std::uint8_t setup = data[0];
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    // The window as the input asks for it, set the way a reply sets it (nothing is sent).
    p.state.fromMeter = true;
    p.window.SSTab1->setCurrentIndex((setup & 7) % 5);
    SetBackColour(p.window.cmdFun[1], (setup & 8) != 0 ? colour::Lit : colour::ButtonFace);
    p.state.fromMeter = false;
    world->prompts.Clear();

    const int path = (setup >> 4) & 3;
    if (path == 2) {
        const std::string reply = bytes.substr(0, bytes.find('\x03'));
        p.parser.ParseReply("\x02" + reply + "\x03", false, false);
    } else {
        for (std::size_t at = 0; at < bytes.size(); at += ReportPayload) {
            std::vector<std::uint8_t> report { 0 };
            const std::string chunk = bytes.substr(at, ReportPayload);
            report.insert(report.end(), chunk.begin(), chunk.end());
            world->meter.inputs.push_back(std::move(report));
        }
        if (path != 1) {
            static const std::string_view commands[] = { command::StatusQuery, command::ReadingRequest,
                command::LoggerRecordQuery, "PTV??,PST??" };
            p.link.SendCommand(commands[setup >> 6]);
        }
        // The meter goes on sending; tmrLog takes its reports (and sends the next logger request
        // while a download runs).
        for (std::size_t ticks = world->meter.inputs.size() + 1; ticks > 0 && !world->meter.inputs.empty();
             --ticks) {
            p.loop.tmrLog_Timer();
        }
        world->meter.Clear();
    }
    p.gauges.Tick();
    CheckWindow(p);
    return 0;
}
