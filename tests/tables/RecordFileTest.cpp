#include "tables/RecordFile.h"

#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace pelicard {
namespace {

using testing::ReadAll;
using testing::WriteAll;

QString DataFile(const char* name)
{
    return QStringLiteral(PELICARD_TEST_DATA "/files/") + QLatin1String(name);
}

RecordRow Row(const char* a, const char* b, const char* c, const char* d = "")
{
    return { QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), QString::fromUtf8(d) };
}

const std::vector<RecordRow> samplingRows = { Row("1", "14:03:27", "  4.9999V  "),
    Row("2", "9:3:7", " -0.0012V  ", "probe moved"), Row("3", "23:59:59", "    OL     ") };

TEST(RecordTime, ReformatsTimesAndLeavesOtherTexts)
{
    EXPECT_EQ(FormatRecordTime("0:0:0"), "00:00:00");
    EXPECT_EQ(FormatRecordTime(" 23:59:59 "), "23:59:59");
    for (const char* text : { "--EOD---", "", "24:00:00", "12:60:00", "12:00:60", "12:00", "12:00:00:00",
             "1a:00:00", "-1:00:00", "١٢:00:00" }) {
        EXPECT_EQ(FormatRecordTime(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
    }
}

TEST(RecordFileSave, SavedFilesMatchTheExpectedBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Test.dat"));
    ASSERT_TRUE(WriteAll(path, QByteArray(10000, 'x'))); // an older, longer file is replaced
    const std::pair<std::vector<RecordRow>, QByteArray> cases[] = {
        { samplingRows, ReadAll(DataFile("sampling.dat")) },
        { { Row("00001", "12:00:00", " 4.9999V  "), Row("00002", "12:00:01", "-4.9999V  "),
              Row("00003", "--EOD---", "    OL    ") },
            ReadAll(DataFile("logger.log")) },
        // Control characters do not split a record; a character beyond Latin-1 cannot be kept.
        { { Row("00001", "12:00:00", " 1.0\tV\r\n", "Ω remark µ"), Row("00002", "--EOD---", "", "a\nb") },
            "00001\t12:00:00\t 1.0 V  \t? remark \xB5\r\n00002\t--EOD---\t\ta b\r\n" },
    };
    for (const auto& [rows, bytes] : cases) {
        ASSERT_FALSE(SaveRecordFile(path, rows).failed());
        EXPECT_EQ(ReadAll(path), bytes);
    }
}

TEST(RecordFileSave, AFailedSaveReportsAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dat"));
    const std::pair<QString, int> faults[] = { { dir.filePath("folder.dat"), fileerror::PathFileAccess },
        { dir.filePath("missing/Test.dat"), fileerror::PathNotFound },
        { QString(), fileerror::BadFileName } };
    for (const auto& [path, number] : faults) {
        EXPECT_EQ(SaveRecordFile(path, samplingRows).number, number) << path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.dat")).isDir());

    // A file size limit stands in for a full disk: writes beyond it fail (with the signal ignored).
    const QString path = dir.filePath("Test.dat");
    ASSERT_TRUE(WriteAll(path, "old\r\n"));
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(64) * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileError error = SaveRecordFile(path, std::vector<RecordRow>(MaxRecords, samplingRows[0]));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error.number, fileerror::DiskFull) << error.description.toStdString();
    EXPECT_EQ(ReadAll(path), "old\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "Test.dat" })
        << "a temporary file was left";
}

TEST(RecordFileLoad, ReadsCrLfAndLfLinesByteForByte)
{
    std::vector<RecordRow> expected = samplingRows;
    expected[1][1] = QStringLiteral("09:03:07");
    EXPECT_EQ(LoadRecordFile(DataFile("sampling.dat")).rows, expected);
    const RecordFileContent twenty = LoadRecordFile(DataFile("twenty.log"));
    ASSERT_EQ(twenty.rows.size(), 20u);
    EXPECT_EQ(twenty.rows[6], Row("00007", "12:00:07", " 7.0000V  ")); // extra fields dropped
    EXPECT_EQ(twenty.rows[19], Row("00020", "12:00:20", " 0.0000V  ", "r20"));
    // Every byte is one character, whatever wrote the file; a byte order mark at the start is skipped.
    EXPECT_EQ(
        LoadRecordFile(DataFile("latin1.dat")).rows, std::vector { Row("1", "10:00:00", " 1.0µA", "été") });
    EXPECT_EQ(
        LoadRecordFile(DataFile("utf8_bom.dat")).rows, std::vector { Row("1", "10:00:00", " 1.0V", "Î©") });
}

TEST(RecordFileLoad, EachFaultKeepsTheRowsReadBeforeIt)
{
    QTemporaryDir dir;
    const auto made = [&dir](const char* name, const QByteArray& bytes) {
        EXPECT_TRUE(WriteAll(dir.filePath(QLatin1String(name)), bytes));
        return dir.filePath(QLatin1String(name));
    };
    const QByteArray good = "1\t10:00:00\t 1.0V\t\r\n";
    const auto line = [](int bytes) { return "2\t10:00:01\t 2.0V\t" + QByteArray(bytes - 17, 'r'); };
    QByteArray most;
    for (int i = 1; i <= MaxRecords; ++i) {
        most += QByteArray::number(i) + "\t12:00:00\t 1.0V\t\r\n";
    }
    const std::tuple<QString, std::size_t, int> cases[] = {
        { DataFile("sampling.dat"), 3, 0 },
        { DataFile("twenty.log"), 20, 0 },
        { DataFile("short_fields.dat"), 2, fileerror::InputPastEndOfFile },
        { DataFile("nul_bytes.dat"), 1, fileerror::InvalidFileFormat },
        { DataFile("blank_middle.dat"), 1, fileerror::InputPastEndOfFile },
        { DataFile("trailing_blanks.dat"), 2, 0 },
        { DataFile("no_final_line_end.dat"), 2, 0 },
        { DataFile("empty.dat"), 0, 0 },
        { DataFile("does_not_exist.dat"), 0, fileerror::FileNotFound },
        { DataFile(""), 0, fileerror::PathFileAccess }, // the folder itself
        { QString(), 0, fileerror::BadFileName },
        { made("longest.dat", good + line(MaxLineBytes) + "\r\n" + good), 3, 0 },
        { made("long_crlf.dat", good + line(MaxLineBytes + 1) + "\r\n" + good), 1,
            fileerror::BadRecordLength },
        { made("long_lf.dat", good + line(MaxLineBytes + 1) + "\n" + good), 1, fileerror::BadRecordLength },
        { made("long_last.dat", good + line(MaxLineBytes + 1)), 1, fileerror::BadRecordLength },
        // Too long is told before too few fields.
        { made("long_one_field.dat", good + QByteArray(MaxLineBytes + 1, 'x') + "\n"), 1,
            fileerror::BadRecordLength },
        { made("most.dat", most), MaxRecords, 0 },
        { made("too_many.dat", most + "32768\t12:00:00\t 1.0V\t\r\n"), MaxRecords, fileerror::Overflow },
    };
    for (const auto& [path, rows, number] : cases) {
        const RecordFileContent loaded = LoadRecordFile(path);
        EXPECT_EQ(loaded.rows.size(), rows) << path.toStdString();
        EXPECT_EQ(loaded.error.number, number)
            << path.toStdString() << ": " << loaded.error.description.toStdString();
    }
    const RecordFileContent shortLine = LoadRecordFile(DataFile("short_fields.dat"));
    EXPECT_TRUE(shortLine.error.description.contains("line 3")) << shortLine.error.description.toStdString();
    EXPECT_EQ(LoadRecordFile(DataFile("no_final_line_end.dat")).rows.back()[3], "last");
}

} // namespace
} // namespace pelicard
