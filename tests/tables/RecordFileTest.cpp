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

RecordRow Row(const char* a, const char* b, const char* c, const char* d)
{
    return { QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), QString::fromUtf8(d) };
}

const std::vector<RecordRow> samplingRows = { Row("1", "14:03:27", "  4.9999V  ", ""),
    Row("2", "9:3:7", " -0.0012V  ", "probe moved"), Row("3", "23:59:59", "    OL     ", "") };

class RecordFileTest : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

TEST(RecordTime, ReformatsTimesAndLeavesOtherTexts)
{
    EXPECT_EQ(FormatRecordTime("0:0:0"), "00:00:00");
    EXPECT_EQ(FormatRecordTime(" 23:59:59 "), "23:59:59");
    for (const char* text : { "--EOD---", "", "24:00:00", "12:60:00", "12:00:60", "12:00", "12:00:00:00",
             "1a:00:00", "-1:00:00", "١٢:00:00" }) {
        EXPECT_EQ(FormatRecordTime(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
    }
}

TEST_F(RecordFileTest, SavedFilesMatchTheExpectedBytes)
{
    const QString sampling = PathOf("Test.dat");
    ASSERT_TRUE(WriteAll(sampling, QByteArray(10000, 'x'))); // an older, longer file is replaced
    ASSERT_FALSE(SaveRecordFile(sampling, samplingRows).failed());
    EXPECT_EQ(ReadAll(sampling), ReadAll(DataFile("sampling.dat")));

    const std::vector<RecordRow> logger = { Row("00001", "12:00:00", " 4.9999V  ", ""),
        Row("00002", "12:00:01", "-4.9999V  ", ""), Row("00003", "--EOD---", "    OL    ", "") };
    const QString log = PathOf("Test.log");
    ASSERT_FALSE(SaveRecordFile(log, logger).failed());
    EXPECT_EQ(ReadAll(log), ReadAll(DataFile("logger.log")));
}

TEST_F(RecordFileTest, ControlCharactersInAFieldDoNotSplitTheRecord)
{
    const QString path = PathOf("garbled.log");
    const std::vector<RecordRow> rows
        = { Row("00001", "12:00:00", " 1.0\tV\r\n", "Ω remark µ"), Row("00002", "--EOD---", "", "a\nb") };
    ASSERT_FALSE(SaveRecordFile(path, rows).failed());
    // One byte per character; a character beyond Latin-1 (no table holds one) cannot be kept.
    EXPECT_EQ(
        ReadAll(path), QByteArray("00001\t12:00:00\t 1.0 V  \t? remark \xB5\r\n00002\t--EOD---\t\ta b\r\n"));
}

TEST_F(RecordFileTest, AFailedSaveReportsAndKeepsTheOldFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.dat"));
    const std::pair<QString, int> faults[] = { { PathOf("folder.dat"), fileerror::PathFileAccess },
        { PathOf("missing/Test.dat"), fileerror::PathNotFound }, { QString(), fileerror::BadFileName } };
    for (const auto& [path, number] : faults) {
        EXPECT_EQ(SaveRecordFile(path, samplingRows).number, number) << path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(PathOf("folder.dat")).isDir());

    // A file size limit stands in for a full disk: writes beyond it fail (with the signal ignored).
    const QString path = PathOf("Test.dat");
    const QByteArray old = "old\tfile\tstays\tintact\r\n";
    ASSERT_TRUE(WriteAll(path, old));
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(64) * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileError error = SaveRecordFile(
        path, std::vector<RecordRow>(MaxRecords, Row("32767", "12:00:00", "  4.9999V  ", "")));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error.number, fileerror::DiskFull) << error.description.toStdString();
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "Test.dat" })
        << "a temporary file was left";
}

TEST(RecordFileLoad, ReadsThreeLinesWithCrLfAndTwentyWithLf)
{
    RecordFileContent loaded = LoadRecordFile(DataFile("sampling.dat"));
    EXPECT_FALSE(loaded.error.failed()) << loaded.error.description.toStdString();
    EXPECT_EQ(loaded.rows,
        (std::vector<RecordRow> { Row("1", "14:03:27", "  4.9999V  ", ""),
            Row("2", "09:03:07", " -0.0012V  ", "probe moved"), Row("3", "23:59:59", "    OL     ", "") }));

    loaded = LoadRecordFile(DataFile("twenty.log"));
    EXPECT_FALSE(loaded.error.failed()) << loaded.error.description.toStdString();
    ASSERT_EQ(loaded.rows.size(), 20u);
    EXPECT_EQ(loaded.rows[0], Row("00001", "12:00:01", " 1.0000V  ", ""));
    EXPECT_EQ(loaded.rows[6], Row("00007", "12:00:07", " 7.0000V  ", "")); // extra fields dropped
    EXPECT_EQ(loaded.rows[19], Row("00020", "12:00:20", " 0.0000V  ", "r20"));

    // Every byte is one character, whatever wrote the file; a byte order mark at the start is skipped.
    EXPECT_EQ(
        LoadRecordFile(DataFile("latin1.dat")).rows, std::vector { Row("1", "10:00:00", " 1.0µA", "été") });
    EXPECT_EQ(
        LoadRecordFile(DataFile("utf8_bom.dat")).rows, std::vector { Row("1", "10:00:00", " 1.0V", "Î©") });
}

TEST(RecordFileLoad, EachFaultKeepsTheRowsReadBeforeIt)
{
    const std::tuple<const char*, std::size_t, int> cases[] = {
        { "short_fields.dat", 2, fileerror::InputPastEndOfFile },
        { "nul_bytes.dat", 1, fileerror::InvalidFileFormat },
        { "blank_middle.dat", 1, fileerror::InputPastEndOfFile }, { "trailing_blanks.dat", 2, 0 },
        { "no_final_line_end.dat", 2, 0 }, { "empty.dat", 0, 0 },
        { "does_not_exist.dat", 0, fileerror::FileNotFound },
        { "", 0, fileerror::PathFileAccess }, // the folder itself
    };
    for (const auto& [file, rows, number] : cases) {
        const RecordFileContent loaded = LoadRecordFile(DataFile(file));
        EXPECT_EQ(loaded.rows.size(), rows) << file;
        EXPECT_EQ(loaded.error.number, number) << file << ": " << loaded.error.description.toStdString();
    }
    const RecordFileContent shortLine = LoadRecordFile(DataFile("short_fields.dat"));
    EXPECT_TRUE(shortLine.error.description.contains("line 3")) << shortLine.error.description.toStdString();
    EXPECT_EQ(LoadRecordFile(DataFile("no_final_line_end.dat")).rows.back()[3], "last");
    EXPECT_EQ(LoadRecordFile(QString()).error.number, fileerror::BadFileName);
    EXPECT_EQ(
        FormatFileError({ 53, "File not found" }), "Error #: 53\r\nDescription : File not found\r\n\r\n");
}

TEST_F(RecordFileTest, LongLinesAndTooManyLinesAreFaults)
{
    const QByteArray good = "1\t10:00:00\t 1.0V\t\r\n";
    const auto lineOf = [](int bytes) { return "2\t10:00:01\t 2.0V\t" + QByteArray(bytes - 17, 'r'); };
    const QString path = PathOf("long.dat");
    ASSERT_TRUE(WriteAll(path, good + lineOf(MaxLineBytes) + "\r\n" + good));
    EXPECT_EQ(LoadRecordFile(path).rows.size(), 3u);
    for (const QByteArray& lineEnd : { QByteArray("\r\n"), QByteArray("\n"), QByteArray() }) {
        ASSERT_TRUE(
            WriteAll(path, good + lineOf(MaxLineBytes + 1) + lineEnd + (lineEnd.isEmpty() ? "" : good)));
        const RecordFileContent loaded = LoadRecordFile(path);
        EXPECT_EQ(loaded.error.number, fileerror::BadRecordLength);
        EXPECT_EQ(loaded.rows.size(), 1u);
    }

    QByteArray text;
    for (int i = 1; i <= MaxRecords; ++i) {
        text += QByteArray::number(i) + "\t12:00:00\t 1.0V\t\r\n";
    }
    ASSERT_TRUE(WriteAll(path, text));
    EXPECT_EQ(LoadRecordFile(path).rows.size(), static_cast<std::size_t>(MaxRecords));
    ASSERT_TRUE(WriteAll(path, text + "32768\t12:00:00\t 1.0V\t\r\n"));
    const RecordFileContent loaded = LoadRecordFile(path);
    EXPECT_EQ(loaded.error.number, fileerror::Overflow);
    EXPECT_EQ(loaded.rows.size(), static_cast<std::size_t>(MaxRecords));
}

} // namespace
} // namespace pelicard
