#pragma once

#include <QString>

#include <functional>
#include <string_view>

namespace pelicard {

class frmMain;
class Prompts;
class TrendPlot;

// The trend plot's file bar grdTrd: choose the trend file, load it into the plot, save the trend
// table to it, and keep the plot's drawing as its picture.
class TrendFileBar {
public:
    // Sends a command through the command transaction (which parses the reply before it returns).
    using CommandSender = std::function<void(std::string_view command)>;

    TrendFileBar(frmMain& window, TrendPlot& plot, Prompts& prompts, CommandSender send);

    // Acts on the bar's current column: choose, load, save or keep picture; other columns do nothing.
    void grdTrd_Click();

    // Where the kept picture is written, in the current folder unless a folder is given.
    QString keptPicturePath = QStringLiteral("tmp.bmp");

private:
    void ChooseFile();
    void Load();
    void Save();
    void KeepPicture();
    QString FileName() const;

    frmMain& window_;
    TrendPlot& plot_;
    Prompts& prompts_;
    CommandSender send_;
};

} // namespace pelicard
