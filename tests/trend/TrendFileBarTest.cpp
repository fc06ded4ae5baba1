#include "support/Files.h"
#include "support/FullDisk.h"
#include "trend/TrendBench.h"
#include "trend/TrendFile.h"
#include "window/ControlColours.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::OpenFiles;
using testing::ReadAll;
using testing::TrendBench;
using testing::WriteAll;
using Kind = PromptRecorder::Kind;

QByteArray Lines(int count, const QByteArray& text)
{
    return (text + "\r\n").repeated(count);
}

QString ErrorBox(int number)
{
    return QStringLiteral("Error #: %1\r\nDescription : ").arg(number);
}

TEST(TrendFileBar, ChoosingAFileWritesTheChoiceOrTheProposedName)
{
    const std::pair<const char*, const char*> cases[]
        = { { "/data/run 2.trd", "/data/run 2.trd" }, { nullptr, "Test.trd" } };
    for (const auto& [choice, expected] : cases) {
        TrendBench b;
        b.UseFile(QStringLiteral("before.trd"));
        if (choice != nullptr) {
            b.prompts.ScriptFileChoice(QString::fromUtf8(choice));
        }
        b.Press(filebar::ChooseColumn);
        EXPECT_EQ(b.window.grdTrd->TextMatrix(0, filebar::NameColumn), QString::fromUtf8(expected));
        ASSERT_EQ(b.prompts.Dialogs().size(), 1U);
        EXPECT_EQ(b.prompts.Dialogs()[0].Filter, QStringLiteral("Trend Data File(*.trd)|*.trd"));
        EXPECT_EQ(b.prompts.Dialogs()[0].FileName, QStringLiteral("Test.trd"));
        EXPECT_EQ(b.prompts.Dialogs()[0].Flags, 512);
    }
}

TEST(TrendFileBar, AShortFileStopsWithTheMessageAfterDrawingWhatWasRead)
{
    TrendBench b;
    b.plot.TrendData[60] = QStringLiteral("060");
    ASSERT_TRUE(WriteAll(b.FilePath("short.trd"), Lines(49, "003") + "010\r\n"));
    b.UseFile(b.FilePath("short.trd"));
    int levelAtMessage = -1;
    bool lastSegmentAtMessage = false;
    b.prompts.onOk = [&] {
        levelAtMessage = b.plot.PrevTrendLevel;
        lastSegmentAtMessage = b.SegmentDrawn(49);
    };
    b.Press(filebar::LoadColumn);
    ASSERT_EQ(b.prompts.Count(Kind::Ok), 1);
    EXPECT_TRUE(b.prompts.Texts(Kind::Ok)[0].startsWith(ErrorBox(62)))
        << b.prompts.Texts(Kind::Ok)[0].toStdString();
    EXPECT_EQ(levelAtMessage, 10);
    EXPECT_TRUE(lastSegmentAtMessage);
    EXPECT_FALSE(b.SegmentDrawn(50));
    EXPECT_EQ(b.plot.TrendData[49], QStringLiteral("010"));
    EXPECT_EQ(b.plot.TrendData[60], QStringLiteral("060"));
    // The plot shows points from the file, so it carries the mark.
    EXPECT_TRUE(ShowsLoadedMark(*b.window.grdTrd));
}

TEST(TrendFileBar, ASavedTrendLoadsBackAsPoints0To118AndSavesAgainWithEntry119FromBefore)
{
    TrendBench b;
    for (std::size_t i = 0; i < b.plot.TrendData.size(); ++i) {
        b.plot.TrendData[i]
            = i == 50 ? QString() : QStringLiteral("%1").arg(i * 7 % 26, 3, 10, QLatin1Char('0'));
    }
    const auto saved = b.plot.TrendData;
    const QString path = b.FilePath("run.trd");
    b.UseFile(path);
    b.Press(filebar::SaveColumn);
    EXPECT_EQ(b.prompts.Texts(Kind::Ok), QStringList { QStringLiteral("Complete Text file: ") + path });
    EXPECT_EQ(b.window.StatusBar1->PanelText(1), path);
    QList<QByteArray> lines = ReadAll(path).split('\n');
    ASSERT_EQ(lines.size(), 121) << "120 lines, each ended by CR LF";
    EXPECT_EQ(lines[50], "\r") << "an empty entry is an empty line";
    EXPECT_EQ(lines[119], saved[119].toLatin1() + "\r");

    b.plot.TrendData[119] = QStringLiteral("077");
    b.plot.TrendData[3] = QStringLiteral("abc");
    b.prompts.Clear();
    b.Press(filebar::LoadColumn);
    EXPECT_EQ(b.prompts.Count(Kind::Ok), 0);
    EXPECT_EQ(b.prompts.BeepCount(), 1);
    EXPECT_TRUE(ShowsLoadedMark(*b.window.grdTrd));
    for (std::size_t i = 0; i < 119; ++i) {
        EXPECT_EQ(b.plot.TrendData[i], saved[i]) << i;
    }
    EXPECT_FALSE(b.SegmentDrawn(0));
    EXPECT_TRUE(b.SegmentDrawn(1));
    EXPECT_TRUE(b.SegmentDrawn(118));
    EXPECT_FALSE(b.SegmentDrawn(119));
    EXPECT_EQ(b.plot.PrevTrendLevel, 118 * 7 % 26);

    b.Press(filebar::SaveColumn);
    lines = ReadAll(path).split('\n');
    ASSERT_EQ(lines.size(), 121);
    EXPECT_EQ(lines[119], "077\r");
    EXPECT_EQ(lines[3], saved[3].toLatin1() + "\r");
}

TEST(TrendFileBar, LoadingStopsARunningTrendFirst)
{
    struct Case {
        int tab;
        std::uint32_t startColour;
        bool stops;
    };
    for (const Case& c : { Case { 4, colour::Lit, true }, Case { 4, colour::ButtonFace, false },
             Case { 0, colour::Lit, false } }) {
        TrendBench b;
        ASSERT_TRUE(WriteAll(b.FilePath("a.trd"), Lines(119, "1")));
        b.UseFile(b.FilePath("a.trd"));
        b.window.SSTab1->setCurrentIndex(c.tab);
        SetBackColour(b.window.cmdFun[3], c.startColour);
        ASSERT_TRUE(b.plot.AddTrendPoint(5, 7));
        int levelWhenSent = -1;
        b.onSend = [&] { levelWhenSent = b.plot.PrevTrendLevel; };
        b.Press(filebar::LoadColumn);
        EXPECT_EQ(b.sent, c.stops ? std::vector<std::string> { "F4,PST??" } : std::vector<std::string> {})
            << c.tab;
        if (c.stops) {
            EXPECT_EQ(levelWhenSent, 7) << "sent before the plot is cleared";
        }
        EXPECT_EQ(b.plot.PrevTrendLevel, 1);
    }
}

struct FileFault {
    const char* name;
    const char* file; // written into the bench's folder; nullptr: `path` names what is there
    QByteArray bytes;
    const char* path; // relative to the bench's folder
    int error;
    int points; // drawn before the message
};

TEST(TrendFileBar, AFileThatCannotBeLoadedGivesOneMessageAndLeavesNoFileOpen)
{
    const FileFault faults[] = {
        { "no file name", nullptr, {}, "", 52, 0 },
        { "no such file", nullptr, {}, "none.trd", 53, 0 },
        { "a folder", nullptr, {}, ".", 75, 0 },
        { "not a number", "bad.trd", Lines(2, "4") + "V\r\n" + Lines(120, "4"), "bad.trd", 321, 2 },
        { "outside the plot", "high.trd", Lines(3, "4") + "1000\r\n" + Lines(120, "4"), "high.trd", 6, 3 },
    };
    for (const FileFault& f : faults) {
        TrendBench b;
        if (f.file != nullptr) {
            ASSERT_TRUE(WriteAll(b.FilePath(f.file), f.bytes));
        }
        b.UseFile(*f.path == '\0' ? QString() : b.FilePath(f.path));
        const int openBefore = OpenFiles();
        b.Press(filebar::LoadColumn);
        EXPECT_EQ(OpenFiles(), openBefore) << f.name;
        ASSERT_EQ(b.prompts.Count(Kind::Ok), 1) << f.name;
        EXPECT_TRUE(b.prompts.Texts(Kind::Ok)[0].startsWith(ErrorBox(f.error))) << f.name;
        EXPECT_EQ(ShowsLoadedMark(*b.window.grdTrd), f.points > 0) << f.name;
        EXPECT_EQ(b.SegmentDrawn(f.points - 1), f.points > 1) << f.name;
        EXPECT_FALSE(b.SegmentDrawn(f.points)) << f.name;
    }
}

TEST(TrendFileBar, AFileThatCannotBeWrittenGivesOneMessageAndLeavesTheFolderAsItWas)
{
    const std::pair<const char*, int> faults[] = { { "", 52 }, { "no folder/a.trd", 76 }, { ".", 75 } };
    for (const auto& [path, error] : faults) {
        TrendBench b;
        b.UseFile(*path == '\0' ? QString() : b.FilePath(path));
        b.window.StatusBar1->SetPanelText(1, QStringLiteral("before"));
        b.Press(filebar::SaveColumn);
        EXPECT_EQ(b.prompts.Count(Kind::Ok), 1) << path;
        EXPECT_TRUE(b.prompts.Texts(Kind::Ok).value(0).startsWith(ErrorBox(error))) << path;
        EXPECT_EQ(b.window.StatusBar1->PanelText(1), QStringLiteral("before"));
        EXPECT_TRUE(QDir(b.dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
}

TEST(TrendFileBar, ADiskFullKeepsTheOldTrendFileAndTheOldPicture)
{
    testing::FullDisk disk(512);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    TrendBench b;
    const QString trendFile = disk.FilePath(QStringLiteral("old.trd"));
    const QString picture = disk.FilePath(QStringLiteral("tmp.bmp"));
    ASSERT_TRUE(WriteAll(trendFile, "old\r\n"));
    ASSERT_TRUE(WriteAll(picture, "old picture"));
    disk.Fill();
    b.UseFile(trendFile);
    b.bar.keptPicturePath = picture;
    b.Press(filebar::SaveColumn);
    b.Press(filebar::PrintColumn);
    EXPECT_EQ(b.prompts.Texts(Kind::Ok).size(), 2);
    for (const QString& text : b.prompts.Texts(Kind::Ok)) {
        EXPECT_TRUE(text.startsWith(ErrorBox(61))) << text.toStdString();
    }
    EXPECT_EQ(ReadAll(trendFile), "old\r\n");
    EXPECT_EQ(ReadAll(picture), "old picture");
    EXPECT_FALSE(b.window.picTrd->HasPicture());
}

TEST(TrendFileBar, TheKeptPictureIsABitmapOfThePlotThatOutlastsAClear)
{
    TrendBench b;
    b.plot.ClearPlot();
    for (int i = 0; i <= 30; ++i) {
        ASSERT_TRUE(b.plot.AddTrendPoint(i, i % 12));
    }
    const QImage drawn = b.window.picTrd->image().copy();
    b.Press(filebar::PrintColumn);
    EXPECT_TRUE(b.prompts.Calls().empty());

    const QByteArray bytes = ReadAll(b.bar.keptPicturePath);
    EXPECT_TRUE(bytes.startsWith("BM"));
    QImage read;
    ASSERT_TRUE(read.loadFromData(bytes, "BMP"));
    EXPECT_EQ(read.size(), drawn.size());
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), drawn);

    EXPECT_TRUE(b.window.picTrd->HasPicture());
    b.plot.ClearPlot();
    EXPECT_EQ(b.window.picTrd->image(), drawn);
}

TEST(TrendFileBar, TheKeptPictureReadsAsABitmapOfThePlotsSizeToImageMagick)
{
    const QString identify = QStandardPaths::findExecutable(QStringLiteral("identify"));
    if (identify.isEmpty()) {
        GTEST_SKIP() << "ImageMagick's identify is not installed; the bitmap is not checked with it";
    }
    TrendBench b;
    ASSERT_TRUE(b.plot.AddTrendPoint(1, 5));
    b.Press(filebar::PrintColumn);
    QProcess process;
    process.start(identify, { QStringLiteral("-format"), QStringLiteral("%m %w %h"), b.bar.keptPicturePath });
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QSize size = b.window.picTrd->image().size();
    // "BMP3" names the header Qt writes; older releases of the tool say "BMP".
    const QStringList seen = QString::fromLatin1(process.readAllStandardOutput()).trimmed().split(u' ');
    ASSERT_EQ(seen.size(), 3);
    EXPECT_TRUE(seen[0].startsWith(QStringLiteral("BMP"))) << seen[0].toStdString();
    EXPECT_EQ(QSize(seen[1].toInt(), seen[2].toInt()), size);
}

TEST(TrendFileBar, APictureThatCannotBeWrittenIsReportedAndNotKept)
{
    for (const auto& [path, error] : { std::pair { "no folder/tmp.bmp", 76 }, { ".", 75 } }) {
        TrendBench b;
        b.bar.keptPicturePath = b.FilePath(path);
        b.Press(filebar::PrintColumn);
        EXPECT_EQ(b.prompts.Count(Kind::Ok), 1) << path;
        EXPECT_TRUE(b.prompts.Texts(Kind::Ok).value(0).startsWith(ErrorBox(error))) << path;
        EXPECT_FALSE(b.window.picTrd->HasPicture()) << path;
    }
}

} // namespace
} // namespace pelicard
