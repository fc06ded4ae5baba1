// Thousands of random and mutated replies through the field walk: it always ends, never reads past
// the reply (the sanitizer build watches that) and only ever hands out pieces of the reply.
#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace pelicard::test {
namespace {

const std::vector<std::string>& ValidReplies()
{
    static const std::vector<std::string> replies = {
        Frame("fun01,rge10,mod00,hld00,pst00"),
        Frame("ptv-200.00mVdc, 200.00mVdc,20S:pst02"),
        Frame("ptr012,025,ptr013,026"),
        Frame("plr00001,12:00:00, 4.9999V  ,plr00002,--EOD---, 0.0000V  "),
        Frame("plv001,00000,00500,pst00"),
        Frame("prv  12.345mV ,pst08"),
        Frame("pcv  4.9999V  ,  1.0000V  ,pst01"),
        Frame("drm  4.9999V  ,  5.0000V  ,12:00:01,  0.1000V  ,12:00:02,pst01"),
        Frame("mod02,drm  4.9999V  , 12.34%"),
        Frame("sd94"),
        Frame("\x06"),
    };
    return replies;
}

char RandomByte(std::mt19937& random)
{
    // Mostly the characters replies are made of, so that tags and fields form often.
    static const std::string common = "modfunrgepsthlvcrx0123456789 .,:-+O\x02\x03";
    std::uniform_int_distribution<int> pick(0, 9);
    if (pick(random) < 8) {
        std::uniform_int_distribution<std::size_t> index(0, common.size() - 1);
        return common[index(random)];
    }
    std::uniform_int_distribution<int> byte(0, 255);
    return static_cast<char>(byte(random));
}

std::string RandomReply(std::mt19937& random)
{
    std::uniform_int_distribution<int> length(0, 90);
    std::string reply;
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
        reply += RandomByte(random);
    }
    // Tags glued in at random places.
    static const char* tags[]
        = { "mod", "fun", "rge", "pst", "hld", "ptv", "ptr", "plr", "plv", "prv", "pcv", "drm" };
    std::uniform_int_distribution<int> tagCount(0, 4);
    std::uniform_int_distribution<std::size_t> tag(0, 11);
    for (int i = tagCount(random); i > 0; --i) {
        std::uniform_int_distribution<std::size_t> at(0, reply.size());
        reply.insert(at(random), tags[tag(random)]);
    }
    return reply;
}

std::string Mutated(std::string reply, std::mt19937& random)
{
    std::uniform_int_distribution<int> mutations(1, 4);
    std::uniform_int_distribution<int> kind(0, 4);
    for (int i = mutations(random); i > 0; --i) {
        std::uniform_int_distribution<std::size_t> at(0, reply.empty() ? 0 : reply.size() - 1);
        const std::size_t where = at(random);
        switch (kind(random)) {
        case 0:
            if (!reply.empty()) {
                reply[where] = RandomByte(random);
            }
            break;
        case 1:
            reply.insert(reply.begin() + static_cast<std::ptrdiff_t>(std::min(where, reply.size())),
                RandomByte(random));
            break;
        case 2:
            if (!reply.empty()) {
                reply.erase(where, 1);
            }
            break;
        case 3:
            reply.resize(std::min(where, reply.size()));
            break;
        default:
            reply += reply.substr(where, 12);
            break;
        }
    }
    return reply;
}

WalkStart RandomStart(std::mt19937& random)
{
    std::uniform_int_distribution<int> tab(-2, 6);
    std::uniform_int_distribution<int> ranges(0, 8);
    std::uniform_int_distribution<int> flag(0, 1);
    WalkStart start;
    start.context.tab = tab(random);
    start.context.rpmWithoutProg = flag(random) == 1;
    start.context.rangeCount = ranges(random);
    start.modelId = flag(random) == 1 ? 4 : 1;
    return start;
}

void CheckWalk(const std::string& reply, const WalkStart& start)
{
    const std::vector<WalkedField> walk = Walk(reply, start);
    ASSERT_FALSE(walk.empty());
    const WalkedField& last = walk.back();
    EXPECT_TRUE(last.field.endsWalk);
    // A parser that reads on until End or Unknown stops right after a field that ends the walk.
    if (last.field.kind != ReplyField::Kind::End && last.field.kind != ReplyField::Kind::Unknown) {
        const ReplyField::Kind after
            = ReadField(reply, NextPosition(last.field, last.position), start.context).kind;
        EXPECT_TRUE(after == ReplyField::Kind::End || after == ReplyField::Kind::Unknown) << Describe(last);
    }
    for (const WalkedField& walked : walk) {
        const ReplyField& f = walked.field;
        if (f.kind != ReplyField::Kind::End) {
            EXPECT_LT(static_cast<std::size_t>(walked.position), reply.size());
        }
        // No field reads more than its width...
        const std::pair<const std::string*, std::size_t> widths[] = { { &f.tag, 3 }, { &f.labels[0], 11 },
            { &f.labels[1], 11 }, { &f.labels[2], 5 }, { &f.levelText, 3 }, { &f.address, 5 }, { &f.time, 8 },
            { &f.samplingTime, 3 }, { &f.startAddress, 5 }, { &f.stopAddress, 5 }, { &f.readings[0], 11 },
            { &f.readings[1], 11 }, { &f.readings[2], 11 }, { &f.stamps[0], 8 }, { &f.stamps[1], 8 },
            { &f.relativeValue, 7 } };
        for (const auto& [text, width] : widths) {
            EXPECT_LE(text->size(), width) << Describe(walked);
        }
        // ...and every text is a piece of the reply.
        for (const std::string* text : TextsOf(f)) {
            EXPECT_NE(reply.find(*text), std::string::npos) << Describe(walked);
        }
        if (f.kind == ReplyField::Kind::Rge && f.number) {
            EXPECT_GE(*f.number, 0);
            EXPECT_LE(*f.number, 10);
        }
    }
}

TEST(ReplyFuzz, RandomRepliesAlwaysEndTheWalk)
{
    std::mt19937 random(20111221);
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        CheckWalk(RandomReply(random), RandomStart(random));
    }
}

TEST(ReplyFuzz, MutatedRepliesAlwaysEndTheWalk)
{
    std::mt19937 random(140509);
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        const auto& valid = ValidReplies();
        std::uniform_int_distribution<std::size_t> pick(0, valid.size() - 1);
        CheckWalk(Mutated(valid[pick(random)], random), RandomStart(random));
    }
}

} // namespace
} // namespace pelicard::test
