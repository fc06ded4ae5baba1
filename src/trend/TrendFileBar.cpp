#include "trend/TrendFileBar.h"

#include "trend/TrendFile.h"
#include "trend/TrendPlot.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/ControlColours.h"
#include "window/FileSave.h"
#include "window/Prompts.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QBuffer>

namespace pelicard {

namespace {
constexpr int TrendPlotTab = 4;
} // namespace

TrendFileBar::TrendFileBar(frmMain& window, TrendPlot& plot, Prompts& prompts, CommandSender send)
    : window_(window)
    , plot_(plot)
    , prompts_(prompts)
    , send_(std::move(send))
{ }

void TrendFileBar::grdTrd_Click()
{
    RunFileBarAction(*window_.grdTrd,
        { [this] { ChooseFile(); }, [this] { Load(); }, [this] { Save(); }, [this] { KeepPicture(); } });
}

QString TrendFileBar::FileName() const
{
    return window_.grdTrd->TextMatrix(0, filebar::NameColumn);
}

void TrendFileBar::ChooseFile()
{
    window_.grdTrd->SetTextMatrix(0, filebar::NameColumn,
        ChooseFileName(window_.dlgopen, prompts_, QStringLiteral("Trend Data File(*.trd)|*.trd"),
            QString::fromLatin1(DefaultTrendFile)));
}

void TrendFileBar::Load()
{
    // A running trend would draw its next points over the file's.
    if (window_.SSTab1->currentIndex() == TrendPlotTab && BackColour(window_.cmdFun[3]) == colour::Lit) {
        send_(command::StartKeyWithStatus);
    }
    plot_.ClearPlot();
    const TrendFileContent content = LoadTrendFile(FileName());
    for (std::size_t i = 0; i < content.points.size(); ++i) {
        plot_.TrendData[i] = content.points[i].text;
        plot_.AddTrendPoint(static_cast<int>(i), content.points[i].level);
    }
    if (content.error.failed()) {
        prompts_.Ok(FormatFileError(content.error));
        if (content.points.empty()) {
            return;
        }
    }
    // The plot shows points from a file, which "Start" clears before a new trend.
    prompts_.Beep();
    SetLoadedMark(*window_.grdTrd, true);
}

void TrendFileBar::Save()
{
    const QString fileName = FileName();
    const FileError error = SaveTrendFile(fileName, plot_.TrendData);
    if (error.failed()) {
        prompts_.Ok(FormatFileError(error));
        return;
    }
    window_.StatusBar1->SetPanelText(1, fileName);
    prompts_.Ok(QString::fromLatin1(CompleteMessage) + fileName);
}

void TrendFileBar::KeepPicture()
{
    PictureBox& picture = *window_.picTrd;
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.image().save(&buffer, "BMP")) {
        prompts_.Ok(FormatFileError({ fileerror::DeviceIo,
            QStringLiteral("Device I/O error: the plot could not be made a bitmap") }));
        return;
    }
    buffer.close();
    const FileError error = SaveWholeFile(keptPicturePath, bitmap);
    if (error.failed()) {
        prompts_.Ok(FormatFileError(error));
        return;
    }
    // The bitmap becomes the picture's background: the trace now outlasts a clearing of the plot.
    if (!picture.LoadPicture(keptPicturePath)) {
        prompts_.Ok(FormatFileError({ fileerror::DeviceIo,
            QStringLiteral("Device I/O error: %1 could not be read back").arg(keptPicturePath) }));
        return;
    }
    picture.Refresh();
    // The window's one operation after keeping the picture: it is painted again whole at once, so
    // what shows on screen is the window with its kept picture.
    window_.repaint();
}

} // namespace pelicard
