#include "app/Ini.h"
#include "support/Files.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#define EXPECT_OK(call) EXPECT_FALSE((call).failed())
#define EXPECT_FAULT(call) EXPECT_TRUE((call).failed())

namespace pelicard {
namespace {

struct IniFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Logger_50k.ini")); }
};

TEST_F(IniFixture, CreatesFileSectionsInWritingOrderAndReadsBackWithoutRegardToCase)
{
    EXPECT_FALSE(FileExists(path()));
    const char* names[] = { "Caption", "Modelid", "grdFname", "trdFname", "logFname" };
    const char* values[] = { "Virtual DMM", "1", "Logger.txt", "Test.trd", "Test.log" };
    for (int i = 0; i < 5; ++i) {
        EXPECT_OK(WriteIni(QString::fromLatin1(names[i]), QString::fromLatin1(names[i]),
            QString::fromLatin1(values[i]), path()));
    }
    EXPECT_TRUE(FileExists(path()));
    EXPECT_EQ(testing::ReadAll(path()),
        QByteArray("[Caption]\nCaption=Virtual DMM\n[Modelid]\nModelid=1\n[grdFname]\ngrdFname=Logger.txt\n"
                   "[trdFname]\ntrdFname=Test.trd\n[logFname]\nlogFname=Test.log\n"));
    EXPECT_EQ(
        ReadIni(QStringLiteral("CAPTION"), QStringLiteral("caption"), path()), QStringLiteral("Virtual DMM"));
    EXPECT_EQ(ReadIni(QStringLiteral("modelid"), QStringLiteral("MODELID"), path()), QStringLiteral("1"));
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Modelid"), path()), QString())
        << "a key belongs to its own section";
}

TEST_F(IniFixture, RewritingAKeyKeepsEveryOtherLine)
{
    ASSERT_TRUE(testing::WriteAll(path(),
        "; remarks stay\r\n[Caption]\r\nCaption = Old\r\nOther=x\r\n\r\ngarbage "
        "line\r\n[logFname]\r\nlogFname=a.log\r\n"));
    EXPECT_OK(WriteIni(QStringLiteral("caption"), QStringLiteral("CAPTION"), QStringLiteral("New"), path()));
    EXPECT_OK(WriteIni(QStringLiteral("Caption"), QStringLiteral("Extra"), QStringLiteral("e"), path()));
    EXPECT_EQ(testing::ReadAll(path()),
        QByteArray("; remarks stay\r\n[Caption]\r\nCAPTION=New\r\nOther=x\r\n\r\ngarbage line\r\nExtra=e\r\n"
                   "[logFname]\r\nlogFname=a.log\r\n"));
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()), QStringLiteral("New"));
    EXPECT_EQ(
        ReadIni(QStringLiteral("logFname"), QStringLiteral("logFname"), path()), QStringLiteral("a.log"));
}

TEST_F(IniFixture, MissingAndBrokenContentReadsAsEmpty)
{
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()), QString());
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), QString()), QString());
    ASSERT_TRUE(testing::WriteAll(path(),
        QByteArray(
            "\x01\x02[[[\n=novalue\n[Caption\nCaption=unclosed header\n[ Modelid ]\nModelid=\"12abc\"\n")));
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()), QString());
    EXPECT_EQ(ReadIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), path()), QStringLiteral("12abc"));
    EXPECT_EQ(ReadIni(QStringLiteral("Nope"), QStringLiteral("Modelid"), path()), QString());
}

TEST_F(IniFixture, ValuesAreCutAt1023CharactersAndKeptOnOneLine)
{
    const QString longValue(2000, QLatin1Char('v'));
    EXPECT_OK(WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"), longValue, path()));
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()).size(), 1023);
    EXPECT_OK(WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"),
        QStringLiteral("two\n[Modelid]\nModelid=4"), path()));
    EXPECT_EQ(ReadIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), path()), QString())
        << "a value cannot smuggle in a section";
}

TEST_F(IniFixture, NothingIsWrittenWithoutAPathOrIntoAFolder)
{
    EXPECT_FAULT(WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), QString(), QString()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FAULT(WriteIni(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(IniFixture, ValuesAreWrittenInUtf8AndOlderLatin1FilesStillRead)
{
    const QString name = QStringLiteral("~/Данные/запись.dat");
    EXPECT_OK(WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), name, path()));
    EXPECT_EQ(ReadIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), path()), name);
    EXPECT_TRUE(testing::ReadAll(path()).contains(name.toUtf8()));

    ASSERT_TRUE(testing::WriteAll(path(), "[Caption]\r\nCaption=Messger\xE4t\r\n"));
    EXPECT_EQ(
        ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()), QStringLiteral("Messgerät"));
    EXPECT_OK(WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), name, path()));
    EXPECT_EQ(
        ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()), QStringLiteral("Messgerät"))
        << "the older text is carried over into the UTF-8 file";
    EXPECT_EQ(ReadIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), path()), name);
}

TEST(IniFullDisk, AFailedWriteReportsAndKeepsTheWholeFile)
{
    const testing::FullDisk disk;
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    const QString path = disk.FilePath(QStringLiteral("Logger_50k.ini"));
    const QByteArray old = "[Caption]\nCaption=Bench DMM\n[Modelid]\nModelid=1\n";
    ASSERT_TRUE(testing::WriteAll(path, old));
    disk.Fill();
    const FileError error
        = WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), QStringLiteral("a.dat"), path);
    EXPECT_EQ(error.number, fileerror::DiskFull);
    EXPECT_EQ(testing::ReadAll(path), old);
}

} // namespace
} // namespace pelicard
