#include "window/FileSave.h"

#include "support/FullDisk.h"

#include <QDir>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::FullDisk;
using testing::ReadAll;
using testing::WriteAll;

// A write small enough to sit in the file's buffer is the case that used to report success and
// leave an empty file in place of the old one.
TEST(SaveWholeFile, AFullDiskReportsTheFaultAndKeepsTheOldFile)
{
    const FullDisk disk;
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    const QString path = disk.FilePath(QStringLiteral("Test.dat"));
    const QByteArray old = "1\t12:00:00\t 1.0000V  \t\r\n";
    ASSERT_TRUE(WriteAll(path, old));
    disk.Fill();

    for (const int size : { 100, 70000 }) {
        const FileError error = SaveWholeFile(path, QByteArray(size, 'y'));
        EXPECT_EQ(error.number, fileerror::DiskFull) << size;
        EXPECT_TRUE(error.description.startsWith(QStringLiteral("Disk full")))
            << error.description.toStdString();
        EXPECT_EQ(ReadAll(path), old) << size;
    }
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden),
        (QStringList { QStringLiteral(".filler"), QStringLiteral("Test.dat") }))
        << "a temporary file was left behind";

    EXPECT_EQ(FormatFileError({ 61, QStringLiteral("Disk full") }),
        QStringLiteral("Error #: 61\r\nDescription : Disk full\r\n\r\n"));
}

} // namespace
} // namespace pelicard
