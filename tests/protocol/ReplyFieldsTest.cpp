#include "protocol/ReplyFields.h"

#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace pelicard::test {
namespace {

using Kind = ReplyField::Kind;

TEST(ReplyFields, PositionsOutsideTheReplyEndTheWalk)
{
    const std::string reply = Frame("mod01");
    for (const int p : { INT_MIN, -1, 0, 7, 8, INT_MAX }) {
        const ReplyField field = ReadField(reply, p, {});
        EXPECT_EQ(field.kind, Kind::End) << p;
        EXPECT_TRUE(field.endsWalk) << p;
        EXPECT_TRUE(field.tag.empty()) << p;
    }
    // The last position before the end byte still reads, however little is left.
    EXPECT_EQ(ReadField(reply, 6, {}).kind, Kind::Unknown);
}

TEST(ReplyFields, NextPositionSkipsTheFieldAndItsSeparator)
{
    const std::string reply = Frame("pcv  4.9999V  ,  1.0000V  ,pst01");
    const ReplyField pcv = ReadField(reply, 2, {});
    ASSERT_EQ(pcv.kind, Kind::Pcv);
    EXPECT_EQ(pcv.length, 26);
    EXPECT_EQ(NextPosition(pcv, 2), 29);
    EXPECT_EQ(ReadField(reply, 29, {}).kind, Kind::Pst);
    EXPECT_EQ(NextPosition(ReadField(reply, 29, {}), 29), 35);
}

TEST(ReplyFields, NextPositionNeverOverflows)
{
    ReplyField field;
    field.endsWalk = false;
    field.length = 56;
    EXPECT_EQ(NextPosition(field, INT_MAX - 3), INT_MAX);
    field.endsWalk = true;
    EXPECT_EQ(NextPosition(field, INT_MAX), INT_MAX);
}

// Where a field ends the walk, reading on at the next position finds no tag: a parser that loops
// until End or Unknown stops there too.
TEST(ReplyFields, ReadingOnAfterAnEndingFieldFindsNoTag)
{
    struct Case {
        std::string reply;
        FieldContext context;
    };
    const std::vector<Case> cases = {
        { Frame("drm  4.9999V  , 12.34%,pst01"), { 2, false, 6 } },
        { Frame("drm  4.9999V  ,pst01"), { 4, false, 6 } },
        { Frame("drm   1500RPM ,pst01"), { 0, true, 1 } },
        { Frame("ptvAAAAAAAAAAA,BBBBBBBBBBB,12345:pst01"), {} },
        { Frame("drm", false), { 2, false, 6 } },
    };
    for (const Case& c : cases) {
        const ReplyField first = ReadField(c.reply, 2, c.context);
        ASSERT_TRUE(first.endsWalk) << c.reply;
        const ReplyField next = ReadField(c.reply, NextPosition(first, 2), c.context);
        EXPECT_TRUE(next.kind == Kind::Unknown || next.kind == Kind::End) << c.reply;
    }
}

TEST(ReplyFields, UnknownValueIsTheRestBeforeTheLastCharacter)
{
    // Not only at the start: an unknown tag further on takes the rest from there.
    const std::string reply = Frame("hld01,zz9Meter 4");
    const ReplyField field = ReadField(reply, 8, {});
    EXPECT_EQ(field.kind, Kind::Unknown);
    EXPECT_EQ(field.tag, "zz9");
    EXPECT_EQ(field.unknownValue, "Meter 4");
}

// Cutting a reply anywhere only shortens what its fields read: every text read from the cut reply
// is the start of the text read at the same place from the whole one, and the walk still ends.
TEST(ReplyFields, CutRepliesReadPrefixesOfTheWholeFields)
{
    struct Case {
        std::string reply;
        WalkStart start;
    };
    const std::vector<Case> cases = {
        { Frame("fun01,rge10,mod00,hld00,pst00"), { { 0, false, 6 }, 1 } },
        { Frame("ptv-200.00mVdc, 200.00mVdc,20S:pst02"), { { 4, false, 1 }, 1 } },
        { Frame("ptr012,025,ptr013,026"), { { 4, false, 1 }, 1 } },
        { Frame("plr00001,12:00:00, 4.9999V  ,plr00002,--EOD---, 0.0000V  "), {} },
        { Frame("plv001,00000,00500,pst00"), {} },
        { Frame("prv  12.345mV ,pst08"), { { 2, false, 6 }, 1 } },
        { Frame("pcv  4.9999V  ,  1.0000V  ,pst01"), { { 3, false, 6 }, 1 } },
        { Frame("drm  4.9999V  ,  5.0000V  ,12:00:01,  0.1000V  ,12:00:02,pst01"), { { 1, false, 6 }, 1 } },
        { Frame("drm  4.9999V  , 12.34%"), { { 2, false, 6 }, 1 } },
        { Frame("sd050,000 Count"), {} },
    };
    for (const Case& c : cases) {
        const std::vector<WalkedField> whole = Walk(c.reply, c.start);
        for (std::size_t cut = 0; cut <= c.reply.size(); ++cut) {
            const std::string shortReply = c.reply.substr(0, cut);
            for (const WalkedField& part : Walk(shortReply, c.start)) {
                for (const WalkedField& full : whole) {
                    if (full.position != part.position || full.field.kind != part.field.kind) {
                        continue;
                    }
                    const auto partTexts = TextsOf(part.field);
                    const auto fullTexts = TextsOf(full.field);
                    for (std::size_t i = 0; i < partTexts.size(); ++i) {
                        EXPECT_TRUE(fullTexts[i]->starts_with(*partTexts[i]))
                            << "cut " << cut << " of " << Describe(full) << ": " << Describe(part);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace pelicard::test
