// Thousands of random and mutated replies through the framing and the parser into the real window:
// nothing may crash, hang or leave a control outside its range.

#include "support/ProgramFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace pelicard {
namespace {

using testing::ProgramFixture;

const std::vector<std::string> Seeds {
    "fun01,rge10,mod00,hld00,pst00",
    "fun05,rge02,mod03,hld01,pst09",
    "mod01,pst08",
    "mod02,drm  1.0000V  , 12.34%",
    "drm  1.0000V  ,  2.0000V  ,12:00:01,  0.5000V  ,12:00:02",
    "plr00001,12:00:00, 1.0000V  ,plr00002,--EOD---,          ",
    "plv010,00100,09999",
    "ptv-200.00mVdc, 200.00mVdc,20S:pst02",
    "ptr005,010,ptr006,011",
    "prv  1.2345V  ",
    "pcv  4.0000V  , -1.0000V  ,pst01",
    "sd0Virtual 50,000 Count Data Logger DMM",
};

std::string Mutate(std::string text, std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at
            = text.empty() ? 0 : std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(random);
        switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0: // replace a byte
            if (!text.empty()) {
                text[at] = static_cast<char>(byte(random));
            }
            break;
        case 1: // replace with a digit, a separator or a tag letter
            if (!text.empty()) {
                text[at] = "0123456789,:.-O\x03"[std::uniform_int_distribution<int>(0, 15)(random)];
            }
            break;
        case 2: // cut
            text.resize(at);
            break;
        case 3: // insert a field of another seed
            text.insert(at,
                Seeds[std::uniform_int_distribution<std::size_t>(0, Seeds.size() - 1)(random)].substr(0, 14));
            break;
        default: // drop a byte
            if (!text.empty()) {
                text.erase(at, 1);
            }
            break;
        }
    }
    return text;
}

TEST(ParserFuzz, RandomAndMutatedRepliesLeaveEveryControlInRange)
{
    ProgramFixture f;
    f.StartQuietly(true);
    std::mt19937 random(20261206);
    frmMain& w = f.window();
    for (int round = 0; round < 3000; ++round) {
        std::string reply;
        if (round % 4 == 0) {
            const int length = std::uniform_int_distribution<int>(0, 70)(random);
            for (int i = 0; i < length; ++i) {
                reply.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)));
            }
        } else {
            reply = Mutate(Seeds[static_cast<std::size_t>(round) % Seeds.size()], random);
        }
        if (round % 2 == 0) {
            f.answers["TEST"] = { reply };
            f.program->link.SendCommand("TEST");
        } else {
            // Straight to the parser, without the report's length limit.
            f.program->parser.ParseReply("\x02" + reply + "\x03", false, false);
        }
        ASSERT_GE(w.SSTab1->currentIndex(), 0) << round;
        ASSERT_LT(w.SSTab1->currentIndex(), 5) << round;
        ASSERT_LT(w.cmb[1]->currentIndex(), w.cmb[1]->count()) << round;
        ASSERT_LT(w.cmb[2]->currentIndex(), w.cmb[2]->count()) << round;
        ASSERT_GE(w.trdBar->value(), 0) << round;
        ASSERT_LE(w.trdBar->value(), 120) << round;
        ASSERT_GE(f.program->logger.logRow, 1) << round;
        ASSERT_LE(f.program->logger.logRow, w.grdLog[4]->Rows()) << round;
        ASSERT_GE(f.program->records.recordRow, 1) << round;
        ASSERT_LE(f.program->records.recordRow, w.grdMain->Rows()) << round;
        ASSERT_FALSE(f.program->state.fromMeter) << round;
    }
}

} // namespace
} // namespace pelicard
