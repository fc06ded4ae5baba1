// Start-up on a scripted meter: the settings file made from the meter's answers, and Exit.

#include "app/Ini.h"
#include "support/Files.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Kind = PromptRecorder::Kind;

const QString DefaultCaption = QStringLiteral("50,000 Count Data Logger DMM KT418R");

QString Read(const QString& path, const char* key)
{
    return ReadIni(QLatin1String(key), QLatin1String(key), path);
}
void Write(const QString& path, const char* key, const char* value)
{
    EXPECT_FALSE(WriteIni(QLatin1String(key), QLatin1String(key), QLatin1String(value), path).failed());
}

TEST(Startup, CreatesTheIniFileFromTheMetersAnswersAndReadsItAfterwards)
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
    EXPECT_EQ(f.window().txtGfn->text(), QStringLiteral("Logger.txt"));
    EXPECT_EQ(f.window().grdLog[0]->TextMatrix(0, 1), QStringLiteral("Test.log"));
    EXPECT_EQ(f.window().grdTrd->TextMatrix(0, 1), QStringLiteral("Test.trd"));

    // An existing file is read, never rewritten; the model id is read as a leading number.
    const std::pair<const char*, int> models[] = { { "4abc", 15 }, { "abc", 14 }, { "12abc", 14 } };
    for (const auto& [model, functions] : models) {
        Write(f.program->iniPath, "Caption", "Bench DMM");
        Write(f.program->iniPath, "Modelid", model);
        f.program->InitMeter();
        EXPECT_TRUE(f.Sent().empty());
        EXPECT_EQ(f.window().windowTitle(), QStringLiteral("Bench DMM"));
        EXPECT_EQ(f.window().cmb[1]->count(), functions) << model;
    }
    EXPECT_EQ(f.program->state.modelId, 12.0);
    EXPECT_TRUE(f.prompts.Calls().empty());
}

TEST(Startup, TheLowestProductIdWins)
{
    ProgramFixture f(0xE102);
    f.backend.interfaces.push_back({ "second", 0x10C4, 0xE101 });
    f.program->InitMeter();
    EXPECT_EQ(f.program->usb.devicePath, "second");
    EXPECT_EQ(f.program->iniPath, f.IniPath("Logger_50k.ini"));
}

TEST(Startup, WithoutAMeterItSaysSoOnceAndNothingIsWrittenUpToExit)
{
    ProgramFixture f;
    f.backend.interfaces.pop_back();
    f.program->Start();
    EXPECT_EQ(f.window().windowTitle(), DefaultCaption);
    ASSERT_EQ(f.prompts.Calls().size(), 2U);
    EXPECT_EQ(f.prompts.Calls()[0].kind, Kind::Beep);
    EXPECT_EQ(f.prompts.Calls()[1].kind, Kind::CriticalStop);
    EXPECT_TRUE(f.window().txtGfn->text().isEmpty());
    EXPECT_EQ(f.window().cmb[1]->count(), 14) << "the view is still laid out";
    f.window().close();
    EXPECT_TRUE(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Startup, AMeterThatStopsAnsweringDuringTheCaptionLeavesNoHalfWrittenFile)
{
    ProgramFixture f;
    f.answers["SD0"] = {};
    f.program->InitMeter();
    EXPECT_FALSE(QFile::exists(f.IniPath("Logger_50k.ini")));
    EXPECT_EQ(f.window().windowTitle(), DefaultCaption);
    EXPECT_EQ(f.prompts.BeepCount(), 1) << "the lost meter beeps once";

    f.answers["SD0"] = { "sd0Back Again" };
    f.program->InitMeter();
    EXPECT_EQ(Read(f.IniPath("Logger_50k.ini"), "Caption"), QStringLiteral("Back Again"));
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
    EXPECT_TRUE(testing::ReadAll(ini).contains("grdFname=\n"));
    EXPECT_EQ(Read(ini, "logFname"), QString());
    EXPECT_EQ(Read(ini, "trdFname"), QStringLiteral("trend b.trd"));
    EXPECT_TRUE(f.Sent().empty()) << "exit sends nothing to the meter";
}

} // namespace
} // namespace pelicard
