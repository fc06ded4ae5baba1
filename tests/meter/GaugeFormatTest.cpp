#include "meter/GaugeFormat.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(GaugeFormat, NumbersAndTimeStampsFollowTheirPatterns)
{
    EXPECT_EQ(FormatNumber(2.5, QStringLiteral("0")), QStringLiteral("3"));
    EXPECT_EQ(FormatNumber(-0.4, QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(FormatNumber(3.25, QStringLiteral("0.0#")), QStringLiteral("3.25"));
    EXPECT_EQ(FormatNumber(1234567.5, QStringLiteral("#,##0")), QStringLiteral("1,234,568"));
    EXPECT_EQ(FormatNumber(0.5, QStringLiteral("#.0 V")), QStringLiteral(".5 V"));
    EXPECT_EQ(FormatNumber(-1234.56, QStringLiteral("#,##0.0")), QStringLiteral("-1,234.6"));
    EXPECT_EQ(FormatNumber(1.25, QString()), QStringLiteral("1.25"));
    EXPECT_EQ(FormatNumber(42, QStringLiteral("dB")), QStringLiteral("dB")); // no placeholder

    EXPECT_EQ(FormatTimeStamp(QStringLiteral("1:2:3")), QStringLiteral("01:02:03"));
    EXPECT_EQ(FormatTimeStamp(QStringLiteral("3:04:05 PM")), QStringLiteral("15:04:05"));
    EXPECT_EQ(FormatTimeStamp(QStringLiteral("2024-03-01T08:09:10")), QStringLiteral("08:09:10"));
    EXPECT_EQ(FormatTimeStamp(QStringLiteral(" 7:05 ")), QStringLiteral("07:05:00"));
    EXPECT_EQ(FormatTimeStamp(QStringLiteral("25:00:00")), QStringLiteral("25:00:00"));
    EXPECT_EQ(FormatTimeStamp(QStringLiteral("--EOD---")), QStringLiteral("--EOD---"));
}

} // namespace
} // namespace pelicard
