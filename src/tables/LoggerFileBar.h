#pragma once

#include <QString>

#include <functional>
#include <string_view>

namespace pelicard {

class frmMain;
class LoggerTable;
class Prompts;

// The logger file bar grdLog(0) over the logger memory table grdLog(4): choose a file (column 2),
// load it (3), save the table to it (4), print the table (5). The file name stands in column 1.
// While the table shows a loaded file, the bar's load cell carries the loaded-file mark.
class LoggerFileBar {
public:
    // Sends one command to the meter through the command transaction.
    using CommandSender = std::function<void(std::string_view command)>;

    LoggerFileBar(frmMain& window, Prompts& prompts, LoggerTable& table, CommandSender send);

    // A click on a cell of a grid of the grdLog array: only the file bar's command cells act.
    void grdLog_Click(int index);

    void ChooseFile();
    void Load();
    void Save();
    void Print();

    QString FileName() const;

private:
    frmMain& window_;
    Prompts& prompts_;
    LoggerTable& table_;
    CommandSender send_;
};

// The PDF file proposed for printing a logger file's table where no printer is installed: the
// same name with ".pdf" for ".log".
QString PdfFileFor(const QString& logFileName);

} // namespace pelicard
