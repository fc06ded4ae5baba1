#include "app/Ini.h"
#include "support/Files.h"
#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QFile>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Kind = PromptRecorder::Kind;

TEST(Startup, CreatesTheIniFileFromTheMetersAnswersAndShowsItsCaption)
{
    ProgramFixture f;
    f.program->InitMeter();
    EXPECT_EQ(f.Sent(), (std::vector<std::string> { "SD0", "SD9" }));
    EXPECT_EQ(f.program->iniPath, f.IniPath("Logger_50k.ini"));
    EXPECT_EQ(testing::ReadAll(f.program->iniPath),
        QByteArray("[Caption]\nCaption=Test Meter 50,000 Count\n[Modelid]\nModelid=1\n"
                   "[grdFname]\ngrdFname=Logger.txt\n[trdFname]\ntrdFname=Test.trd\n[logFname]\nlogFname="
                   "Test.log\n"));
    EXPECT_EQ(f.window().windowTitle(), QStringLiteral("Test Meter 50,000 Count"));
    EXPECT_EQ(f.program->state.modelId, 1.0);
    EXPECT_EQ(f.window().txtGfn->text(), QStringLiteral("Logger.txt"));
    EXPECT_EQ(f.window().grdLog[0]->TextMatrix(0, 1), QStringLiteral("Test.log"));
    EXPECT_EQ(f.window().grdTrd->TextMatrix(0, 1), QStringLiteral("Test.trd"));
    EXPECT_EQ(f.window().cmb[1]->count(), 14);

    // An existing file is read, never rewritten; the caption key edited by hand shows.
    WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"), QStringLiteral("Bench DMM"),
        f.program->iniPath);
    WriteIni(QStringLiteral("modelid"), QStringLiteral("MODELID"), QStringLiteral("4.0"), f.program->iniPath);
    f.program->InitMeter();
    EXPECT_TRUE(f.Sent().empty());
    EXPECT_EQ(f.window().windowTitle(), QStringLiteral("Bench DMM"));
    EXPECT_EQ(f.window().cmb[1]->count(), 15) << "model id 4.0 is the engine model";
    EXPECT_EQ(f.prompts.Count(Kind::CriticalStop), 0);
}

TEST(Startup, ModelIdIsReadAsALeadingNumber)
{
    ProgramFixture f;
    f.program->InitMeter();
    WriteIni(
        QStringLiteral("Modelid"), QStringLiteral("Modelid"), QStringLiteral("12abc"), f.program->iniPath);
    f.program->InitMeter();
    EXPECT_EQ(f.program->state.modelId, 12.0);
    WriteIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), QStringLiteral("abc"), f.program->iniPath);
    f.program->InitMeter();
    EXPECT_EQ(f.program->state.modelId, 0.0);
}

TEST(Startup, TheLowestProductIdWins)
{
    ProgramFixture f(0xE102);
    f.backend.interfaces.push_back({ "second", 0x10C4, 0xE101 });
    f.program->InitMeter();
    EXPECT_EQ(f.program->usb.productId, 0xE101);
    EXPECT_EQ(f.program->usb.devicePath, "second");
    EXPECT_EQ(f.program->iniPath, f.IniPath("Logger_50k.ini"));
}

TEST(Startup, DeviceNotFound)
{
    ProgramFixture f;
    f.backend.interfaces.pop_back();
    f.program->InitMeter();
    EXPECT_EQ(f.window().windowTitle(), QStringLiteral("50,000 Count Data Logger DMM KT418R"));
    ASSERT_EQ(f.prompts.Calls().size(), 2U);
    EXPECT_EQ(f.prompts.Calls()[0].kind, Kind::Beep);
    EXPECT_EQ(f.prompts.Calls()[1].kind, Kind::CriticalStop);
    EXPECT_EQ(f.prompts.Calls()[1].text,
        QStringLiteral("Device not detected...Please check PowerOn or Communication cable & connector."));
    EXPECT_EQ(f.prompts.Calls()[1].title, QStringLiteral("Device Not Found"));
    EXPECT_TRUE(f.program->iniPath.isEmpty());
    EXPECT_TRUE(f.window().txtGfn->text().isEmpty());
    EXPECT_EQ(f.window().cmb[1]->count(), 14) << "the view is still laid out";
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Startup, AMeterThatStopsAnsweringDuringTheCaptionLeavesNoHalfWrittenFile)
{
    ProgramFixture f;
    f.answers["SD0"] = {};
    f.program->InitMeter();
    EXPECT_FALSE(QFile::exists(f.IniPath("Logger_50k.ini")));
    EXPECT_EQ(f.window().windowTitle(), QStringLiteral("50,000 Count Data Logger DMM KT418R"));
    EXPECT_EQ(f.prompts.BeepCount(), 1) << "the lost meter beeps once";

    f.answers["SD0"] = { "sd0Back Again" };
    f.program->InitMeter();
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), f.IniPath("Logger_50k.ini")),
        QStringLiteral("Back Again"));
}

TEST(Startup, ExitWritesTheThreeFileNamesEvenWhenEmpty)
{
    ProgramFixture f;
    f.program->Start();
    f.Sent();
    f.window().txtGfn->clear();
    f.window().grdLog[0]->SetTextMatrix(0, 1, QString());
    f.window().grdTrd->SetTextMatrix(0, 1, QStringLiteral("trend b.trd"));
    f.program->CmdSys_Click(1);
    EXPECT_FALSE(f.window().isVisible());
    const QString ini = f.program->iniPath;
    EXPECT_EQ(ReadIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), ini), QString());
    EXPECT_EQ(ReadIni(QStringLiteral("logFname"), QStringLiteral("logFname"), ini), QString());
    EXPECT_EQ(
        ReadIni(QStringLiteral("trdFname"), QStringLiteral("trdFname"), ini), QStringLiteral("trend b.trd"));
    EXPECT_TRUE(testing::ReadAll(ini).contains("grdFname=\n"));
    EXPECT_TRUE(f.Sent().empty()) << "exit sends nothing to the meter";
}

TEST(Startup, ExitBeforeAnyMeterWasFoundWritesNothing)
{
    ProgramFixture f;
    f.backend.interfaces.pop_back();
    f.program->Start();
    f.window().close();
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace pelicard
