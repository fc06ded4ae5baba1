#include "app/Ini.h"
#include "support/Files.h"
#include "support/FullDisk.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

struct IniFixture : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Logger_50k.ini")); }
    QString Read(const char* section, const char* key) const
    {
        return ReadIni(QLatin1String(section), QLatin1String(key), path());
    }
    bool Write(const char* section, const char* key, const QString& value) const
    {
        return !WriteIni(QLatin1String(section), QLatin1String(key), value, path()).failed();
    }
};

TEST_F(IniFixture, CreatesFileSectionsInWritingOrderAndReadsBackWithoutRegardToCase)
{
    EXPECT_FALSE(FileExists(path()));
    const char* names[] = { "Caption", "Modelid", "grdFname", "trdFname", "logFname" };
    const char* values[] = { "Virtual DMM", "1", "Logger.txt", "Test.trd", "Test.log" };
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(Write(names[i], names[i], QLatin1String(values[i])));
    }
    EXPECT_EQ(testing::ReadAll(path()),
        QByteArray("[Caption]\nCaption=Virtual DMM\n[Modelid]\nModelid=1\n[grdFname]\ngrdFname=Logger.txt\n"
                   "[trdFname]\ntrdFname=Test.trd\n[logFname]\nlogFname=Test.log\n"));
    EXPECT_EQ(Read("CAPTION", "caption"), QStringLiteral("Virtual DMM"));
    EXPECT_EQ(Read("Caption", "Modelid"), QString()) << "a key belongs to its own section";
}

TEST_F(IniFixture, RewritingAKeyKeepsEveryOtherLine)
{
    ASSERT_TRUE(testing::WriteAll(path(),
        "; remarks stay\r\n[Caption]\r\nCaption = Old\r\nOther=x\r\n\r\ngarbage "
        "line\r\n[logFname]\r\nlogFname=a.log\r\n"));
    EXPECT_TRUE(Write("caption", "CAPTION", QStringLiteral("New")));
    EXPECT_TRUE(Write("Caption", "Extra", QStringLiteral("e")));
    EXPECT_EQ(testing::ReadAll(path()),
        QByteArray("; remarks stay\r\n[Caption]\r\nCAPTION=New\r\nOther=x\r\n\r\ngarbage line\r\nExtra=e\r\n"
                   "[logFname]\r\nlogFname=a.log\r\n"));
    EXPECT_EQ(Read("Caption", "Caption"), QStringLiteral("New"));
}

TEST_F(IniFixture, MissingAndBrokenContentReadsAsEmpty)
{
    EXPECT_EQ(Read("Caption", "Caption"), QString());
    EXPECT_EQ(ReadIni(QStringLiteral("Caption"), QStringLiteral("Caption"), QString()), QString());
    ASSERT_TRUE(testing::WriteAll(path(),
        QByteArray(
            "\x01\x02[[[\n=novalue\n[Caption\nCaption=unclosed header\n[ Modelid ]\nModelid=\"12abc\"\n")));
    EXPECT_EQ(Read("Caption", "Caption"), QString());
    EXPECT_EQ(Read("Modelid", "Modelid"), QStringLiteral("12abc"));
    EXPECT_EQ(Read("Nope", "Modelid"), QString());
}

TEST_F(IniFixture, ValuesAreCutAt1023CharactersAndKeptOnOneLine)
{
    EXPECT_TRUE(Write("Caption", "Caption", QString(2000, QLatin1Char('v'))));
    EXPECT_EQ(Read("Caption", "Caption").size(), 1023);
    EXPECT_TRUE(Write("Caption", "Caption", QStringLiteral("two\n[Modelid]\nModelid=4")));
    EXPECT_EQ(Read("Modelid", "Modelid"), QString()) << "a value cannot smuggle in a section";
}

TEST_F(IniFixture, NothingIsWrittenWithoutAPathOrIntoAFolder)
{
    EXPECT_TRUE(
        WriteIni(QStringLiteral("grdFname"), QStringLiteral("grdFname"), QString(), QString()).failed());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(WriteIni(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), folder).failed());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(IniFixture, ValuesAreWrittenInUtf8AndOlderLatin1FilesStillRead)
{
    const QString name = QStringLiteral("~/Данные/запись.dat");
    EXPECT_TRUE(Write("grdFname", "grdFname", name));
    EXPECT_EQ(Read("grdFname", "grdFname"), name);
    EXPECT_TRUE(testing::ReadAll(path()).contains(name.toUtf8()));

    ASSERT_TRUE(testing::WriteAll(path(), "[Caption]\r\nCaption=Messger\xE4t\r\n"));
    EXPECT_EQ(Read("Caption", "Caption"), QStringLiteral("Messgerät"));
    EXPECT_TRUE(Write("grdFname", "grdFname", name));
    EXPECT_EQ(Read("Caption", "Caption"), QStringLiteral("Messgerät"))
        << "the older text is carried over into the UTF-8 file";
    EXPECT_EQ(Read("grdFname", "grdFname"), name);
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
