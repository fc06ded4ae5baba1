// Faults as a user meets them, on the virtual meter: each raises at most one message, loses no row
// already in a table, and leaves a program that links again.

#include "app/Ini.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/VirtualProgram.h"
#include "tables/RecordTable.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace pelicard {
namespace {

using Kind = PromptRecorder::Kind;

// The program on the virtual meter in a folder of the test's choosing, with 20 records in the
// meter's memory.
struct Scene : testing::VirtualProgram {
    Scene(const QString& folder, bool meterPresent)
        : VirtualProgram(MeterVariant::Logger50k, folder)
        , folder(folder)
    {
        meter.SetUnplugged(!meterPresent);
        std::vector<LoggerRecord> memory;
        for (int address = 0; address < 20; ++address) {
            memory.push_back({ address, "08:00:00", "  1.0000V " });
        }
        (void)meter.SetLoggerMemory(memory);
        program.Start();
        prompts.Clear();
    }
    void Link() { program.CmdSys_Click(0); }
    void Sample(int times)
    {
        for (int i = 0; i < times && window.tmrSpl->Enabled(); ++i) {
            time.Advance(10);
            program.loop.tmrSpl_Timer();
        }
    }
    void StartSampling()
    {
        window.cmdStart->click();
        Sample(3);
    }
    void LinkAndSample()
    {
        Link();
        StartSampling();
    }
    // Linked, recall on the meter, then two requests of the download.
    void LinkAndDownload()
    {
        Link();
        (void)meter.PressKey(3);
        program.link.SendCommand("PST??");
        Download(2);
        EXPECT_TRUE(window.tmrLog->Enabled());
    }
    int Boxes() const { return prompts.Count(Kind::CriticalStop) + prompts.Count(Kind::Ok); }

    QString folder;
};

// The rows before are still the first rows after.
void ExpectKept(const std::vector<RecordRow>& before, const std::vector<RecordRow>& after, const char* table)
{
    ASSERT_GE(after.size(), before.size()) << table;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << table;
}

struct Fault {
    const char* name;
    bool needsFullDisk;
    bool meterPresentAtStart;
    std::function<void(Scene&)> before; // brings the program to where the fault strikes
    std::function<void(Scene&)> strike;
    std::function<void(Scene&)> check; // what this fault must leave besides the common checks
    int boxes; // exactly this many messages after the strike
};

const Fault faults[] = {
    { "meter unplugged during a logger download", false, true, [](Scene& s) { s.LinkAndDownload(); },
        [](Scene& s) {
            s.meter.SetUnplugged(true);
            s.Download(100);
        },
        [](Scene& s) {
            EXPECT_FALSE(s.window.tmrLog->Enabled());
            EXPECT_NE(BackColour(s.window.cmdFun[2]), colour::Lit);
        },
        1 },
    { "meter unplugged while sampling", false, true, [](Scene& s) { s.LinkAndSample(); },
        [](Scene& s) {
            s.meter.SetUnplugged(true);
            s.Sample(100);
        },
        [](Scene& s) {
            EXPECT_FALSE(s.window.tmrSpl->Enabled());
            EXPECT_NE(BackColour(s.window.cmdStart), colour::Linked);
            EXPECT_EQ(s.prompts.BeepCount(), 0) << "a beep for a reading that never went out";
            EXPECT_FALSE(s.program.Linked());
            EXPECT_EQ(s.window.StatusBar1->PanelText(3), QStringLiteral("Disconnected"));
        },
        1 },
    { "no meter at all when sampling starts", false, false, [](Scene&) {},
        [](Scene& s) {
            s.StartSampling();
            s.Sample(100);
        },
        [](Scene& s) {
            EXPECT_FALSE(s.window.tmrSpl->Enabled());
            EXPECT_NE(BackColour(s.window.cmdStart), colour::Linked);
        },
        1 },
    { "unlink during a logger download and sampling", false, true,
        [](Scene& s) {
            s.LinkAndDownload();
            s.StartSampling();
        },
        [](Scene& s) {
            s.program.CmdSys_Click(0);
            s.meter.ClearReceivedCommands();
            s.Download(100);
            s.Sample(100);
        },
        [](Scene& s) {
            EXPECT_TRUE(s.meter.ReceivedCommands().empty())
                << "the download or sampling went on after the unlink";
            EXPECT_FALSE(s.window.tmrLog->Enabled());
            EXPECT_NE(BackColour(s.window.cmdFun[2]), colour::Lit);
            EXPECT_FALSE(s.window.tmrSpl->Enabled());
            EXPECT_EQ(BackColour(s.window.cmdStart), colour::ButtonFace);
        },
        0 },
    { "relink with rows in both tables", false, true,
        [](Scene& s) {
            s.LinkAndDownload();
            s.StartSampling();
            s.window.cmdStart->click();
            s.window.txtGfn->setText(QStringLiteral("chosen since.dat"));
        },
        [](Scene& s) {
            s.program.CmdSys_Click(0);
            s.program.CmdSys_Click(0);
            s.window.cmdStart->click();
            s.Sample(1);
        },
        [](Scene& s) {
            const std::vector<RecordRow> rows = RowsUntilGap(*s.window.grdMain);
            ASSERT_EQ(rows.size(), 4U) << "a sample after the relink goes after the rows before it";
            EXPECT_EQ(rows[3][0], QStringLiteral("4"));
            EXPECT_EQ(s.window.txtGfn->text(), QStringLiteral("chosen since.dat"))
                << "the relink forgot the file name";
        },
        0 },
    { "full disk when saving the sampling table", true, true,
        [](Scene& s) {
            s.LinkAndSample();
            s.window.cmdStart->click();
            const QString file = QDir(s.folder).filePath(QStringLiteral("Test.dat"));
            ASSERT_TRUE(testing::WriteAll(file, "old\tfile\tstays\t\r\n"));
            s.window.txtGfn->setText(file);
        },
        [](Scene& s) { s.window.cmdGrd[0]->click(); },
        [](Scene& s) {
            EXPECT_TRUE(s.prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: 61")));
            EXPECT_EQ(testing::ReadAll(QDir(s.folder).filePath(QStringLiteral("Test.dat"))),
                QByteArray("old\tfile\tstays\t\r\n"));
        },
        1 },
    { "full disk when the settings file is written at Exit", true, true,
        [](Scene& s) { s.window.txtGfn->setText(QStringLiteral("new.dat")); },
        [](Scene& s) { s.window.close(); },
        [](Scene& s) {
            EXPECT_TRUE(s.prompts.Texts(Kind::Ok).value(0).startsWith(QStringLiteral("Error #: 61")));
            const QString ini = s.program.iniPath;
            EXPECT_EQ(
                ReadIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), ini), QStringLiteral("1"));
            EXPECT_EQ(ReadIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), ini),
                QStringLiteral("Logger.txt"));
        },
        1 },
    { "Exit after a start-up whose questions went unanswered", false, true,
        [](Scene& s) {
            QFile::remove(s.program.iniPath);
            s.meter.DropNextReply();
            s.program.InitMeter(); // start-up again
            ASSERT_FALSE(FileExists(s.program.iniPath));
        },
        [](Scene& s) { s.window.close(); },
        [](Scene& s) { EXPECT_FALSE(FileExists(s.program.iniPath)) << "Exit made a settings file"; }, 0 },
};

TEST(Faults, EachGivesAtMostOneMessageKeepsEveryRowAndLinksAgain)
{
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        std::unique_ptr<testing::FullDisk> disk;
        QTemporaryDir plainFolder;
        QString folder = plainFolder.path();
        if (fault.needsFullDisk) {
            disk = std::make_unique<testing::FullDisk>(256);
            if (!disk->Mounted()) {
                std::printf("[  SKIPPED ] %s: %s\n", fault.name, disk->Why().c_str());
                continue;
            }
            folder = disk->Path();
        }
        Scene scene(folder, fault.meterPresentAtStart);
        fault.before(scene);
        if (::testing::Test::HasFatalFailure()) {
            continue;
        }
        if (disk) {
            disk->Fill();
        }
        const std::vector<RecordRow> samples = RowsUntilGap(*scene.window.grdMain);
        const std::vector<RecordRow> records = RowsUntilGap(*scene.window.grdLog[4]);
        scene.prompts.Clear();

        fault.strike(scene);

        EXPECT_EQ(scene.Boxes(), fault.boxes);
        fault.check(scene);
        ExpectKept(samples, RowsUntilGap(*scene.window.grdMain), "sampling table");
        ExpectKept(records, RowsUntilGap(*scene.window.grdLog[4]), "logger table");

        scene.meter.SetUnplugged(false);
        scene.program.CmdSys_Click(0);
        if (!scene.program.Linked()) {
            scene.program.CmdSys_Click(0);
        }
        EXPECT_TRUE(scene.program.Linked()) << "Link does not work again";
        EXPECT_TRUE(scene.program.usb.deviceFound);
    }
}

} // namespace
} // namespace pelicard
