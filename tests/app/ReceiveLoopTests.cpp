#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Commands = std::vector<std::string>;

struct ReceiveFixture : ::testing::Test, ProgramFixture {
    std::vector<std::string> memory { "plr00001,12:00:00, 1.0000V  ,plr00002,12:00:01, 1.0001V  ",
        "plr00003,12:00:02, 1.0002V  ", "plr00004,--EOD---,          " };
    std::size_t next = 0;

    void SetUp() override
    {
        StartQuietly(true);
        answers["PST??"] = { "pst04" };
    }
    void Recall()
    {
        backend.respond = [this, previous = backend.respond](const std::string& command) {
            if (command == "DRL??") {
                return next < memory.size() ? std::vector<std::string> { memory[next++] }
                                            : std::vector<std::string> {};
            }
            return previous(command);
        };
        program->link.SendCommand("PST??");
        Sent();
    }
};

TEST_F(ReceiveFixture, TheLoggerDownloadRunsRequestByRequestToTheEndOfData)
{
    Recall();
    ASSERT_EQ(BackColour(window().cmdFun[2]), colour::Lit);
    ASSERT_TRUE(window().tmrLog->Enabled());
    for (int tick = 0; tick < 10 && window().tmrLog->Enabled(); ++tick) {
        program->loop.tmrLog_Timer();
    }
    EXPECT_EQ(Sent(), Commands(3, "DRL??"));
    EXPECT_FALSE(window().tmrLog->Enabled());
    FlexGrid& table = *window().grdLog[4];
    EXPECT_EQ(table.TextMatrix(2, 2), QStringLiteral(" 1.0001V  "));
    EXPECT_EQ(table.TextMatrix(4, 1), QStringLiteral("--EOD---")) << "the end record is written too";
    EXPECT_EQ(program->logger.logRow, 5);
    EXPECT_EQ(table.TextMatrix(0, 0), QStringLiteral("Address"));
}

TEST_F(ReceiveFixture, AnotherTabStopsTheRequestsAtTheNextTick)
{
    Recall();
    program->loop.tmrLog_Timer();
    EXPECT_EQ(Sent(), Commands { "DRL??" });
    program->state.fromMeter = true; // switch the view without the meter
    window().SSTab1->setCurrentIndex(4);
    program->state.fromMeter = false;
    window().tmrLog->SetEnabled(true);
    program->loop.tmrLog_Timer();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ReceiveFixture, ListeningTakesAReportTheMeterSentOnItsOwnOnce)
{
    window().SSTab1->setCurrentIndex(4);
    Sent();
    program->trend.PrevTrendLevel = 255;
    backend.QueueReply("ptr000,005");
    program->loop.tmrLog_Timer();
    EXPECT_EQ(window().trdBar->value(), 0);
    EXPECT_EQ(program->trend.TrendData[0], QStringLiteral("005"));
    EXPECT_EQ(program->trend.PrevTrendLevel, 5);
    backend.QueueReply("ptr001,007");
    program->loop.tmrLog_Timer();
    EXPECT_EQ(program->trend.PrevTrendLevel, 7);
    EXPECT_EQ(window().trdBar->value(), 1);
    program->trend.PrevTrendLevel = 99;
    program->loop.tmrLog_Timer(); // nothing new: the report already taken is not parsed again
    EXPECT_EQ(program->trend.PrevTrendLevel, 99);
    EXPECT_TRUE(Sent().empty()) << "listening sends nothing";

    // A report taken by a transaction's trailing look is not taken again by the next tick.
    answers["PST??"] = { "pst02", "ptr002,009" };
    program->link.SendCommand("PST??");
    EXPECT_EQ(program->trend.PrevTrendLevel, 9);
    program->trend.PrevTrendLevel = 99;
    program->loop.tmrLog_Timer();
    EXPECT_EQ(program->trend.PrevTrendLevel, 99);
}

TEST_F(ReceiveFixture, ListeningNeverReopensALostMeter)
{
    program->usb.CloseMeter();
    const auto opened = backend.openHandles.size();
    program->loop.tmrLog_Timer();
    EXPECT_EQ(backend.openHandles.size(), opened);
    EXPECT_TRUE(prompts.Texts(PromptRecorder::Kind::CriticalStop).isEmpty());
}

} // namespace
} // namespace pelicard
