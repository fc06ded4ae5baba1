#include "protocol/ReplyFields.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace pelicard {
namespace {

TEST(ReplyFields, PositionsOutsideTheReplyEndTheWalkWithoutOverflow)
{
    const std::string reply = "\x02mod01\x03";
    for (const int p : { INT_MIN, -1, 0, 7, 8, INT_MAX }) {
        const ReplyField field = ReadField(reply, p, {});
        EXPECT_EQ(field.kind, ReplyField::Kind::End) << p;
        EXPECT_TRUE(field.endsWalk && field.tag.empty()) << p;
    }
    // The last position before the end byte still reads, however little is left.
    EXPECT_EQ(ReadField(reply, 6, {}).kind, ReplyField::Kind::Unknown);

    ReplyField field;
    field.endsWalk = false;
    field.length = 56;
    EXPECT_EQ(NextPosition(field, INT_MAX - 3), INT_MAX);
    field.endsWalk = true;
    EXPECT_EQ(NextPosition(field, INT_MAX), INT_MAX);
}

} // namespace
} // namespace pelicard
