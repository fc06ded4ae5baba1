#pragma once

#include "trend/TrendFileBar.h"
#include "trend/TrendPlot.h"
#include "values/Colours.h"
#include "window/PromptRecorder.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

namespace pelicard::testing {

// True when the segment ending at point `index` left red in the pixel column just before that point
// (the column that a segment from the point before must cross).
inline bool SegmentDrawn(const PictureBox& picture, int index)
{
    const int column = picture.ToPixels(750 + 30 * index, 0).x() - 1;
    const QImage& image = picture.image();
    for (int y = 0; column >= 0 && column < image.width() && y < image.height(); ++y) {
        if (image.pixelColor(column, y) == QColor(Qt::red)) {
            return true;
        }
    }
    return false;
}

// Prompts that can look at the window at the moment a message box would open.
struct WatchingPrompts : PromptRecorder {
    std::function<void()> onOk;
    void Ok(const QString& text) override
    {
        PromptRecorder::Ok(text);
        if (onOk) {
            onOk();
        }
    }
};

// The trend plot and its file bar on a window of their own; commands are recorded, not sent.
struct TrendBench {
    QTemporaryDir dir;
    frmMain window;
    TrendPlot plot { window };
    WatchingPrompts prompts;
    std::vector<std::string> sent;
    std::function<void()> onSend;
    TrendFileBar bar { window, plot, prompts, [this](std::string_view command) {
                          sent.emplace_back(command);
                          if (onSend) {
                              onSend();
                          }
                      } };

    TrendBench() { bar.keptPicturePath = dir.filePath(QStringLiteral("tmp.bmp")); }

    // A click on a cell of the file bar.
    void Press(int column)
    {
        window.grdTrd->SetRow(0);
        window.grdTrd->SetCol(column);
        bar.grdTrd_Click();
    }
    void UseFile(const QString& path) { window.grdTrd->SetTextMatrix(0, filebar::NameColumn, path); }
    QString FilePath(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    bool SegmentDrawn(int index) const { return testing::SegmentDrawn(*window.picTrd, index); }
};

// The files this process holds open (Linux); 0 where that cannot be seen.
inline int OpenFiles()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

} // namespace pelicard::testing
