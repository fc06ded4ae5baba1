#include "app/Ini.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        EXPECT_TRUE(WriteIni(QString::fromLatin1(names[i]), QString::fromLatin1(names[i]),
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
    EXPECT_TRUE(
        WriteIni(QStringLiteral("caption"), QStringLiteral("CAPTION"), QStringLiteral("New"), path()));
    EXPECT_TRUE(WriteIni(QStringLiteral("Caption"), QStringLiteral("Extra"), QStringLiteral("e"), path()));
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
    EXPECT_TRUE(WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"), longValue, path()));
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), path()).size(), 1023);
    EXPECT_TRUE(WriteIni(QStringLiteral("Caption"), QStringLiteral("Caption"),
        QStringLiteral("two\n[Modelid]\nModelid=4"), path()));
    EXPECT_EQ(ReadIni(QStringLiteral("Modelid"), QStringLiteral("Modelid"), path()), QString())
        << "a value cannot smuggle in a section";
}

TEST_F(IniFixture, NothingIsWrittenWithoutAPathOrIntoAFolder)
{
    EXPECT_FALSE(WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), QString(), QString()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(WriteIni(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

} // namespace
} // namespace pelicard
