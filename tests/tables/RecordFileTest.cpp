#include "tables/RecordFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace pelicard {
namespace {

QString DataFile(const char* name)
{
    return QStringLiteral(PELICARD_TEST_DATA "/files/") + QLatin1String(name);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<cannot open>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

RecordRow Row(const char* a, const char* b, const char* c, const char* d)
{
    return { QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), QString::fromUtf8(d) };
}

std::vector<RecordRow> SamplingRows()
{
    return { Row("1", "14:03:27", "  4.9999V  ", ""), Row("2", "9:3:7", " -0.0012V  ", "probe moved"),
        Row("3", "23:59:59", "    OL     ", "") };
}

class RecordFileTest : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

TEST(RecordTime, ReformatsTimesAndLeavesOtherTexts)
{
    EXPECT_EQ(FormatRecordTime("14:03:27"), "14:03:27");
    EXPECT_EQ(FormatRecordTime("9:3:7"), "09:03:07");
    EXPECT_EQ(FormatRecordTime("0:0:0"), "00:00:00");
    EXPECT_EQ(FormatRecordTime(" 23:59:59 "), "23:59:59");
    for (const char* text : { "--EOD---", "", "24:00:00", "12:60:00", "12:00:60", "123:00:00", "12:00",
             "12:00:00:00", "1a:00:00", "-1:00:00", "12::00", "12:00:0x", "١٢:00:00" }) {
        EXPECT_EQ(FormatRecordTime(QString::fromUtf8(text)), QString::fromUtf8(text)) << text;
    }
}

TEST_F(RecordFileTest, SavedFilesMatchTheExpectedBytes)
{
    ASSERT_TRUE(dir.isValid());
    const QString sampling = PathOf("Test.dat");
    WriteAll(sampling, QByteArray(10000, 'x')); // an older, longer file is replaced
    ASSERT_FALSE(SaveRecordFile(sampling, SamplingRows()).failed());
    EXPECT_EQ(ReadAll(sampling), ReadAll(DataFile("sampling.dat")));

    const std::vector<RecordRow> logger = { Row("00001", "12:00:00", " 4.9999V  ", ""),
        Row("00002", "12:00:01", "-4.9999V  ", ""), Row("00003", "--EOD---", "    OL    ", "") };
    const QString log = PathOf("Test.log");
    ASSERT_FALSE(SaveRecordFile(log, logger).failed());
    EXPECT_EQ(ReadAll(log), ReadAll(DataFile("logger.log")));
}

TEST_F(RecordFileTest, WhatIsSavedLoadsBackOneRecordPerLine)
{
    // Control characters inside a field (a garbled reading) must not split a record.
    const QString path = PathOf("round.log");
    const std::vector<RecordRow> rows
        = { Row("00001", "12:00:00", " 1.0\tV\r\n", "Ω remark µ"), Row("00002", "--EOD---", "", "a\nb") };
    ASSERT_FALSE(SaveRecordFile(path, rows).failed());
    EXPECT_EQ(ReadAll(path),
        QByteArray("00001\t12:00:00\t 1.0 V  \t\xCE\xA9 remark \xC2\xB5\r\n00002\t--EOD---\t\ta b\r\n"));
    const RecordFileContent loaded = LoadRecordFile(path);
    EXPECT_FALSE(loaded.error.failed());
    EXPECT_EQ(loaded.rows,
        (std::vector<RecordRow> {
            Row("00001", "12:00:00", " 1.0 V  ", "Ω remark µ"), Row("00002", "--EOD---", "", "a b") }));
}

TEST_F(RecordFileTest, AFailedSaveReportsAndKeepsTheOldFile)
{
    // A folder of that name.
    const QString folder = PathOf("Test.dat");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Test.dat"));
    FileError error = SaveRecordFile(folder, SamplingRows());
    EXPECT_EQ(error.number, fileerror::PathFileAccess);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A folder that does not exist.
    error = SaveRecordFile(PathOf("missing/Test.dat"), SamplingRows());
    EXPECT_EQ(error.number, fileerror::PathNotFound);
    EXPECT_FALSE(QFileInfo::exists(PathOf("missing")));

    // No file name.
    EXPECT_EQ(SaveRecordFile(QString(), SamplingRows()).number, fileerror::BadFileName);
}

TEST_F(RecordFileTest, ASaveThatRunsOutOfRoomKeepsTheOldFile)
{
    const QString path = PathOf("Test.dat");
    const QByteArray old = "old\tfile\tstays\tintact\r\n";
    WriteAll(path, old);
    std::vector<RecordRow> rows(MaxRecords, Row("32767", "12:00:00", "  4.9999V  ", "remark"));

    // A file size limit stands in for a full disk: writes beyond it fail (with the signal ignored).
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(64) * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileError error = SaveRecordFile(path, rows);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(error.number, fileerror::DiskFull) << error.description.toStdString();
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "Test.dat" })
        << "a temporary file was left";
}

TEST_F(RecordFileTest, AFolderWithoutWritePermissionKeepsTheOldFile)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const QString sub = PathOf("locked");
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString path = sub + "/Test.dat";
    WriteAll(path, "old\r\n");
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner);
    const FileError error = SaveRecordFile(path, SamplingRows());
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(error.number, fileerror::PathFileAccess);
    EXPECT_EQ(ReadAll(path), QByteArray("old\r\n"));
}

TEST(RecordFileLoad, ReadsThreeLinesWithCrLf)
{
    const RecordFileContent loaded = LoadRecordFile(DataFile("sampling.dat"));
    EXPECT_FALSE(loaded.error.failed()) << loaded.error.description.toStdString();
    const std::vector<RecordRow> expected = { Row("1", "14:03:27", "  4.9999V  ", ""),
        Row("2", "09:03:07", " -0.0012V  ", "probe moved"), Row("3", "23:59:59", "    OL     ", "") };
    EXPECT_EQ(loaded.rows, expected);
}

TEST(RecordFileLoad, ReadsTwentyLinesWithLfAndIgnoresExtraFields)
{
    const RecordFileContent loaded = LoadRecordFile(DataFile("twenty.log"));
    EXPECT_FALSE(loaded.error.failed()) << loaded.error.description.toStdString();
    ASSERT_EQ(loaded.rows.size(), 20u);
    EXPECT_EQ(loaded.rows[0], Row("00001", "12:00:01", " 1.0000V  ", ""));
    EXPECT_EQ(loaded.rows[4], Row("00005", "12:00:05", " 5.0000V  ", "r5"));
    EXPECT_EQ(loaded.rows[6], Row("00007", "12:00:07", " 7.0000V  ", "")); // "extra", "more" dropped
    EXPECT_EQ(loaded.rows[19], Row("00020", "12:00:20", " 0.0000V  ", "r20"));
}

TEST(RecordFileLoad, EachFaultKeepsTheRowsReadBeforeIt)
{
    struct Case {
        const char* file;
        std::size_t rows;
        int error;
    };
    const Case cases[] = {
        { "short_fields.dat", 2, fileerror::InputPastEndOfFile },
        { "nul_bytes.dat", 1, fileerror::InvalidFileFormat },
        { "blank_middle.dat", 1, fileerror::InputPastEndOfFile },
        { "trailing_blanks.dat", 2, 0 },
        { "no_final_line_end.dat", 2, 0 },
        { "empty.dat", 0, 0 },
        { "does_not_exist.dat", 0, fileerror::FileNotFound },
    };
    for (const Case& c : cases) {
        const RecordFileContent loaded = LoadRecordFile(DataFile(c.file));
        EXPECT_EQ(loaded.rows.size(), c.rows) << c.file;
        EXPECT_EQ(loaded.error.number, c.error) << c.file << ": " << loaded.error.description.toStdString();
    }
    const RecordFileContent shortLine = LoadRecordFile(DataFile("short_fields.dat"));
    ASSERT_EQ(shortLine.rows.size(), 2u);
    EXPECT_EQ(shortLine.rows[1], Row("2", "10:00:01", " 2.0V", ""));
    EXPECT_TRUE(shortLine.error.description.contains("line 3")) << shortLine.error.description.toStdString();
    EXPECT_EQ(LoadRecordFile(DataFile("no_final_line_end.dat")).rows[1][3], "last");
}

TEST(RecordFileLoad, ReadsOlderFilesAsLatin1AndSkipsAByteOrderMark)
{
    const RecordFileContent latin1 = LoadRecordFile(DataFile("latin1.dat"));
    ASSERT_EQ(latin1.rows.size(), 1u);
    EXPECT_EQ(latin1.rows[0][2], QString::fromUtf8(" 1.0µA"));
    EXPECT_EQ(latin1.rows[0][3], QString::fromUtf8("été"));
    const RecordFileContent bom = LoadRecordFile(DataFile("utf8_bom.dat"));
    ASSERT_EQ(bom.rows.size(), 1u);
    EXPECT_EQ(bom.rows[0], Row("1", "10:00:00", " 1.0V", "Ω"));
}

TEST_F(RecordFileTest, LongLinesAreFaultsBeyondTheLimit)
{
    const QByteArray good = "1\t10:00:00\t 1.0V\t\r\n";
    const auto lineOf = [](int bytes) {
        QByteArray line = "2\t10:00:01\t 2.0V\t";
        line += QByteArray(bytes - line.size(), 'r');
        return line;
    };
    const QString atLimit = PathOf("at_limit.dat");
    WriteAll(atLimit, good + lineOf(MaxLineBytes) + "\r\n" + good);
    RecordFileContent loaded = LoadRecordFile(atLimit);
    EXPECT_FALSE(loaded.error.failed()) << loaded.error.description.toStdString();
    ASSERT_EQ(loaded.rows.size(), 3u);
    EXPECT_EQ(loaded.rows[1][3].size(), MaxLineBytes - 17);

    for (const QByteArray& lineEnd : { QByteArray("\r\n"), QByteArray("\n"), QByteArray() }) {
        const QString overLimit = PathOf("over_limit.dat");
        WriteAll(overLimit, good + lineOf(MaxLineBytes + 1) + lineEnd + (lineEnd.isEmpty() ? "" : good));
        loaded = LoadRecordFile(overLimit);
        EXPECT_EQ(loaded.error.number, fileerror::BadRecordLength);
        EXPECT_EQ(loaded.rows.size(), 1u);
    }

    const QString huge = PathOf("huge.dat");
    WriteAll(huge, good + QByteArray(1 << 20, 'x'));
    loaded = LoadRecordFile(huge);
    EXPECT_EQ(loaded.error.number, fileerror::BadRecordLength);
    EXPECT_EQ(loaded.rows.size(), 1u);
}

TEST_F(RecordFileTest, MoreLinesThanATableHoldsAreAFault)
{
    QByteArray text;
    for (int i = 1; i <= MaxRecords; ++i) {
        text += QByteArray::number(i) + "\t12:00:00\t 1.0V\t\r\n";
    }
    const QString full = PathOf("full.dat");
    WriteAll(full, text);
    RecordFileContent loaded = LoadRecordFile(full);
    EXPECT_FALSE(loaded.error.failed());
    EXPECT_EQ(loaded.rows.size(), static_cast<std::size_t>(MaxRecords));

    const QString over = PathOf("over.dat");
    WriteAll(over, text + "32768\t12:00:00\t 1.0V\t\r\n");
    loaded = LoadRecordFile(over);
    EXPECT_EQ(loaded.error.number, fileerror::Overflow);
    ASSERT_EQ(loaded.rows.size(), static_cast<std::size_t>(MaxRecords));
    EXPECT_EQ(loaded.rows.back()[0], "32767");
}

TEST_F(RecordFileTest, AFolderCannotBeLoaded)
{
    const RecordFileContent loaded = LoadRecordFile(dir.path());
    EXPECT_EQ(loaded.error.number, fileerror::PathFileAccess);
    EXPECT_TRUE(loaded.rows.empty());
    EXPECT_EQ(LoadRecordFile(QString()).error.number, fileerror::BadFileName);
}

TEST(FileErrorMessage, HasNumberAndDescriptionOnLinesOfTheirOwn)
{
    EXPECT_EQ(
        FormatFileError({ 53, "File not found" }), "Error #: 53\r\nDescription : File not found\r\n\r\n");
}

} // namespace
} // namespace pelicard
