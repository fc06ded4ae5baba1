#include "tables/LoggerFileBar.h"

#include "tables/LoggerTable.h"
#include "tables/TableFiles.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/ControlColours.h"
#include "window/Prompts.h"
#include "window/TableLayouts.h"
#include "window/frmMain.h"

#include <QStringList>

namespace pelicard {

LoggerFileBar::LoggerFileBar(frmMain& window, Prompts& prompts, LoggerTable& table, CommandSender send)
    : window_(window)
    , prompts_(prompts)
    , table_(table)
    , send_(std::move(send))
{ }

QString PdfFileFor(const QString& logFileName)
{
    QString base = logFileName.isEmpty() ? QString::fromLatin1(DefaultLoggerFile) : logFileName;
    if (base.endsWith(QLatin1String(".log"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    return base + QStringLiteral(".pdf");
}

QString LoggerFileBar::FileName() const
{
    return window_.grdLog[0]->TextMatrix(0, filebar::NameColumn);
}

void LoggerFileBar::grdLog_Click(int index)
{
    if (index != 0) {
        return;
    }
    RunFileBarAction(*window_.grdLog[0],
        { [this] { ChooseFile(); }, [this] { Load(); }, [this] { Save(); }, [this] { Print(); } });
}

void LoggerFileBar::ChooseFile()
{
    window_.grdLog[0]->SetTextMatrix(0, filebar::NameColumn,
        ChooseFileName(window_.dlgopen, prompts_, QStringLiteral("Data Logger File(*.log)|*.log"),
            QString::fromLatin1(DefaultLoggerFile)));
}

void LoggerFileBar::Load()
{
    // A logger run on the meter would go on filling its memory under a table that is no longer
    // the meter's: it is paused first.
    if (BackColour(window_.cmdFun[3]) == colour::Lit && send_) {
        send_(command::StartKeyWithStatus);
    }
    table_.ResetLoggerTable();
    if (!LoadTableFile(*window_.grdLog[4], FileName(), prompts_)) {
        return;
    }
    prompts_.Beep();
    SetLoadedMark(*window_.grdLog[0], true);
}

void LoggerFileBar::Save()
{
    SaveTableFile(*window_.grdLog[4], FileName(), prompts_, *window_.StatusBar1);
}

void LoggerFileBar::Print()
{
    const std::vector<RecordRow> rows = RowsUntilGap(*window_.grdLog[4]);
    if (rows.empty()) {
        prompts_.Ok(QString::fromLatin1(NoDataMessage));
        return;
    }
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(rows.size()));
    for (const RecordRow& row : rows) {
        // The time as the cell holds it.
        lines << QStringList { row[0], row[1], row[2], row[3] }.join(QLatin1Char('\t'));
    }

    PrintOrOfferPdf(prompts_, *window_.StatusBar1, PdfFileFor(FileName()),
        [this, &lines](const QString& pdfFile) { return prompts_.PrintLines(lines, pdfFile); });
}

} // namespace pelicard
