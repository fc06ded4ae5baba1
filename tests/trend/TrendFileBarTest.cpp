#include "support/Files.h"
#include "support/FullDisk.h"
#include "trend/TrendBench.h"
#include "trend/TrendFile.h"
#include "window/ControlColours.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

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

// Every message box shown is the error box of `number`; there are `count` of them.
::testing::AssertionResult ErrorBoxes(const TrendBench& b, int number, int count = 1)
{
    const QStringList boxes = b.prompts.Texts(Kind::Ok);
    const QString start = QStringLiteral("Error #: %1\r\nDescription : ").arg(number);
    if (boxes.size() == count && std::all_of(boxes.begin(), boxes.end(), [&](const QString& box) {
            return box.startsWith(start);
        })) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << boxes.join(QLatin1Char('|')).toStdString();
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

    b.plot.TrendData[119] = QStringLiteral("077");
    b.plot.TrendData[3] = QStringLiteral("abc");
    b.prompts.Clear();
    b.Press(filebar::LoadColumn);
    EXPECT_EQ(b.prompts.Count(Kind::Ok), 0);
    EXPECT_EQ(b.prompts.BeepCount(), 1);
    EXPECT_TRUE(ShowsLoadedMark(*b.window.grdTrd));
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + 119, b.plot.TrendData.begin()));
    EXPECT_FALSE(b.SegmentDrawn(0));
    EXPECT_TRUE(b.SegmentDrawn(1) && b.SegmentDrawn(118));
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
    for (const auto& [tab, startColour, stops] : { std::tuple { 4, colour::Lit, true },
             { 4, colour::ButtonFace, false }, { 0, colour::Lit, false } }) {
        TrendBench b;
        ASSERT_TRUE(WriteAll(b.FilePath("a.trd"), Lines(119, "1")));
        b.UseFile(b.FilePath("a.trd"));
        b.window.SSTab1->setCurrentIndex(tab);
        SetBackColour(b.window.cmdFun[3], startColour);
        ASSERT_TRUE(b.plot.AddTrendPoint(5, 7));
        int levelWhenSent = -1;
        b.onSend = [&] { levelWhenSent = b.plot.PrevTrendLevel; };
        b.Press(filebar::LoadColumn);
        EXPECT_EQ(b.sent, stops ? std::vector<std::string> { "F4,PST??" } : std::vector<std::string> {})
            << tab;
        EXPECT_EQ(levelWhenSent, stops ? 7 : -1) << "sent before the plot is cleared";
        EXPECT_EQ(b.plot.PrevTrendLevel, 1);
    }
}

TEST(TrendFileBar, AFileThatCannotBeLoadedGivesOneMessageAfterDrawingWhatWasRead)
{
    const struct {
        const char* file; // written into the bench's folder when it has bytes; "": no file name
        QByteArray bytes;
        int error;
        int points; // drawn before the message
    } faults[] = {
        { "", {}, 52, 0 },
        { "none.trd", {}, 53, 0 },
        { ".", {}, 75, 0 },
        { "short.trd", Lines(49, "003") + "010\r\n", 62, 50 },
        { "bad.trd", Lines(2, "4") + "V\r\n" + Lines(120, "4"), 321, 2 },
        { "high.trd", Lines(3, "4") + "1000\r\n" + Lines(120, "4"), 6, 3 },
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.file);
        TrendBench b;
        if (!f.bytes.isEmpty()) {
            ASSERT_TRUE(WriteAll(b.FilePath(f.file), f.bytes));
        }
        b.UseFile(*f.file == '\0' ? QString() : b.FilePath(f.file));
        b.plot.TrendData[119] = QStringLiteral("kept");
        bool drawnAtMessage = false;
        b.prompts.onOk = [&] { drawnAtMessage = b.SegmentDrawn(f.points - 1); };
        const int openBefore = OpenFiles();
        b.Press(filebar::LoadColumn);
        EXPECT_EQ(OpenFiles(), openBefore);
        EXPECT_TRUE(ErrorBoxes(b, f.error));
        EXPECT_EQ(drawnAtMessage, f.points > 1);
        EXPECT_FALSE(b.SegmentDrawn(f.points));
        EXPECT_EQ(ShowsLoadedMark(*b.window.grdTrd), f.points > 0);
        EXPECT_EQ(b.plot.TrendData[119], QStringLiteral("kept"));
    }
}

TEST(TrendFileBar, AFileOrPictureThatCannotBeWrittenGivesOneMessageAndChangesNothing)
{
    const std::tuple<int, const char*, int> faults[] = { { filebar::SaveColumn, "", 52 },
        { filebar::SaveColumn, "no folder/a.trd", 76 }, { filebar::SaveColumn, ".", 75 },
        { filebar::PrintColumn, "no folder/tmp.bmp", 76 }, { filebar::PrintColumn, ".", 75 } };
    for (const auto& [column, path, error] : faults) {
        TrendBench b;
        const QString target = *path == '\0' ? QString() : b.FilePath(path);
        b.UseFile(target);
        b.bar.keptPicturePath = target;
        b.window.StatusBar1->SetPanelText(1, QStringLiteral("before"));
        b.Press(column);
        EXPECT_TRUE(ErrorBoxes(b, error)) << path;
        EXPECT_EQ(b.window.StatusBar1->PanelText(1), QStringLiteral("before"));
        EXPECT_TRUE(QDir(b.dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        EXPECT_FALSE(b.window.picTrd->HasPicture()) << path;
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
    b.bar.keptPicturePath = disk.FilePath(QStringLiteral("tmp.bmp"));
    ASSERT_TRUE(WriteAll(trendFile, "old\r\n"));
    ASSERT_TRUE(WriteAll(b.bar.keptPicturePath, "old picture"));
    disk.Fill();
    b.UseFile(trendFile);
    b.Press(filebar::SaveColumn);
    b.Press(filebar::PrintColumn);
    EXPECT_TRUE(ErrorBoxes(b, 61, 2));
    EXPECT_EQ(ReadAll(trendFile), "old\r\n");
    EXPECT_EQ(ReadAll(b.bar.keptPicturePath), "old picture");
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
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), drawn);

    EXPECT_TRUE(b.window.picTrd->HasPicture());
    b.plot.ClearPlot();
    EXPECT_EQ(b.window.picTrd->image(), drawn);
}

} // namespace
} // namespace pelicard
