#include "trend/TrendFile.h"

#include <gtest/gtest.h>

#include <array>

namespace pelicard {
namespace {

// `count` lines of `text`, CR LF after each.
QByteArray Lines(int count, const QByteArray& text = "5")
{
    return (text + "\r\n").repeated(count);
}

TEST(TrendFile, WritesEntries0To119AsLinesWithEmptyEntriesAsEmptyLines)
{
    std::array<QString, 121> entries;
    entries[0] = QStringLiteral("012");
    entries[2] = QStringLiteral("1,5\t\r\n");
    entries[3] = QString(QChar(0x20AC)) + QStringLiteral("\xE9");
    entries[119] = QStringLiteral("last");
    entries[120] = QStringLiteral("never");

    const QByteArray expected = "012\r\n\r\n1 5   \r\n?\xE9\r\n" + Lines(115, "") + "last\r\n";
    EXPECT_EQ(FormatTrendFile(entries), expected);
    // A short table still gives the 120 lines.
    EXPECT_EQ(FormatTrendFile(std::span(entries).first(1)), "012\r\n" + Lines(119, ""));
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    int points; // read before the end or the fault
    int error; // 0: none
    int lastLevel; // of the last point read
};

TEST(TrendFile, ReadsTheFirst119FieldsAndStopsAtTheFirstFault)
{
    const ParseCase cases[] = {
        { "exactly 119 lines", Lines(118) + "7\r\n", 119, 0, 7 },
        { "the 120th line is not read", Lines(118) + "7\r\n" + "abc\r\n", 119, 0, 7 },
        { "last field ended by the end of the file", Lines(118) + "8", 119, 0, 8 },
        { "commas, LF and CR end fields", "1,2\n3\r" + Lines(113) + "4,,6\r\n", 119, 0, 6 },
        { "byte order mark skipped", "\xEF\xBB\xBF" + Lines(118) + "9\r\n", 119, 0, 9 },
        { "blank field is level 0", Lines(118) + "  \r\n", 119, 0, 0 },
        { "halves round to even", Lines(118) + "-2.5\r\n", 119, 0, -2 },
        { "leading number of a text", Lines(118) + " 12 V\r\n", 119, 0, 12 },
        { "plot's edges", Lines(117) + "910\r\n-883\r\n", 119, 0, -883 },
        { "empty file", "", 0, fileerror::InputPastEndOfFile, 0 },
        { "short file", Lines(49) + "3\r\n", 50, fileerror::InputPastEndOfFile, 3 },
        { "not a number", Lines(2) + "abc\r\n" + Lines(120), 2, fileerror::InvalidFileFormat, 5 },
        { "above the plot", Lines(3) + "911\r\n" + Lines(120), 3, fileerror::Overflow, 5 },
        { "below the plot", Lines(4) + "-884\r\n" + Lines(120), 4, fileerror::Overflow, 5 },
        { "beyond any whole number", Lines(1) + QByteArray(400, '9') + "\r\n" + Lines(120), 1,
            fileerror::Overflow, 5 },
        { "binary data", Lines(5) + "1\x01" + "2\r\n" + Lines(120), 5, fileerror::InvalidFileFormat, 5 },
        { "field too long", Lines(6) + QByteArray(4097, ' ') + "\r\n" + Lines(120), 6,
            fileerror::BadRecordLength, 5 },
        { "longest field", QByteArray(4095, ' ') + "1\r\n" + Lines(118), 119, 0, 5 },
    };
    for (const ParseCase& c : cases) {
        const TrendFileContent content = ParseTrendFile(c.bytes);
        EXPECT_EQ(static_cast<int>(content.points.size()), c.points) << c.name;
        EXPECT_EQ(content.error.number, c.error) << c.name << ": " << content.error.description.toStdString();
        if (!content.points.empty()) {
            EXPECT_EQ(content.points.back().level, c.lastLevel) << c.name;
        }
    }
}

} // namespace
} // namespace pelicard
