#include "window/Clock.h"
#include "window/PromptRecorder.h"
#include "window/QtPrompts.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(FileDialogFilter, TurnsPairsIntoTheDialogsForm)
{
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Logger Data File(*.dat)|*.dat")),
        QStringLiteral("Logger Data File (*.dat)"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Trend Data File(*.trd)|*.trd")),
        QStringLiteral("Trend Data File (*.trd)"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Text|*.txt|All files (*.*)|*.*")),
        QStringLiteral("Text (*.txt);;All files (*.*)"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Logs|*.log;*.dat")), QStringLiteral("Logs (*.log *.dat)"));
}

TEST(FileDialogFilter, OddOrEmptyFiltersGiveWhatCanBeUsed)
{
    EXPECT_EQ(FileDialogFilter(QString()), QString());
    EXPECT_EQ(FileDialogFilter(QStringLiteral("No pattern")), QString());
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Empty|")), QString());
    EXPECT_EQ(FileDialogFilter(QStringLiteral("|*.log")), QStringLiteral("*.log"));
    EXPECT_EQ(FileDialogFilter(QStringLiteral("Text|*.txt|Dangling")), QStringLiteral("Text (*.txt)"));
}

TEST(PromptRecorder, RecordsCallsInOrderAndAnswersFromTheScript)
{
    PromptRecorder prompts;
    prompts.ScriptFileChoice(QStringLiteral("/data/first.trd"));
    CommonDialog dialog { QStringLiteral("Trend Data File(*.trd)|*.trd"), QStringLiteral("Test.trd"), 512 };

    prompts.Beep();
    prompts.CriticalStop(QStringLiteral("Device not detected"), QStringLiteral("Device Not Found"));
    EXPECT_EQ(prompts.ChooseFile(dialog), QStringLiteral("/data/first.trd"));
    EXPECT_EQ(prompts.ChooseFile(dialog), QString()) << "an empty script answers as cancelled";
    prompts.Ok(QStringLiteral("Complete Text file: a.trd"));
    prompts.Beep();

    using Kind = PromptRecorder::Kind;
    const auto& calls = prompts.Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].kind, Kind::Beep);
    EXPECT_EQ(calls[1].kind, Kind::CriticalStop);
    EXPECT_EQ(calls[1].title, QStringLiteral("Device Not Found"));
    EXPECT_EQ(calls[2].kind, Kind::ChooseFile);
    EXPECT_EQ(calls[2].text, QStringLiteral("Test.trd"));
    EXPECT_EQ(calls[4].kind, Kind::Ok);
    EXPECT_EQ(prompts.BeepCount(), 2);
    EXPECT_EQ(prompts.Texts(Kind::Ok), QStringList { QStringLiteral("Complete Text file: a.trd") });
    EXPECT_EQ(prompts.Dialogs().at(0).Flags, 512);
}

TEST(PromptRecorder, PrinterFaultIsReportedAndPrintsNothing)
{
    PromptRecorder prompts;
    const QStringList lines { QStringLiteral("00001\t12:00:00\t 4.9999V\t") };
    EXPECT_TRUE(prompts.PrintLines(lines));
    prompts.SetPrinterWorks(false);
    EXPECT_FALSE(prompts.PrintLines(lines));
    ASSERT_EQ(prompts.Printed().size(), 1u);
    EXPECT_EQ(prompts.Printed()[0], lines);
    EXPECT_EQ(prompts.Count(PromptRecorder::Kind::PrintLines), 2);
}

TEST(FixedClock, StandsStillUntilMoved)
{
    FixedClock clock(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    EXPECT_EQ(clock.Now(), clock.Now());
    clock.AdvanceSeconds(3);
    EXPECT_EQ(clock.Now(), QDateTime(QDate(2024, 3, 1), QTime(0, 0, 1)));
    SystemClock system;
    EXPECT_TRUE(system.Now().isValid());
}

} // namespace
} // namespace pelicard
