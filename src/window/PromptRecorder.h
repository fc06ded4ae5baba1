#pragma once

#include "window/Prompts.h"

#include <QCoreApplication>

#include <deque>
#include <vector>

namespace pelicard {

// Prompts for tests: records every call in order and answers from a script, never blocking.
class PromptRecorder : public Prompts {
public:
    enum class Kind { Beep, CriticalStop, Ok, ChooseFile, PrintLines, PrintPicture };

    struct Call {
        Kind kind;
        QString
            text; // message text; the proposed file name; the printed lines joined by "\n"; a picture's size
        QString title; // message title; the dialog's filter; the PDF file printed to (empty: printer)
    };

    void Beep() override
    {
        calls_.push_back({ Kind::Beep, {}, {} });
        ++beeps_;
    }

    void CriticalStop(const QString& text, const QString& title) override
    {
        calls_.push_back({ Kind::CriticalStop, text, title });
    }

    void Ok(const QString& text) override
    {
        calls_.push_back({ Kind::Ok, text, QCoreApplication::applicationName() });
    }

    QString ChooseFile(const CommonDialog& dialog) override
    {
        calls_.push_back({ Kind::ChooseFile, dialog.FileName, dialog.Filter });
        dialogs_.push_back(dialog);
        if (fileChoices_.empty()) {
            return {};
        }
        QString chosen = fileChoices_.front();
        fileChoices_.pop_front();
        return chosen;
    }

    bool HasDefaultPrinter() override { return hasPrinter_; }

    FileError PrintLines(const QStringList& lines, const QString& pdfFile) override
    {
        calls_.push_back({ Kind::PrintLines, lines.join(QLatin1Char('\n')), pdfFile });
        if (!printerWorks_) {
            return { fileerror::PrinterError, QStringLiteral("Printer error: the printer stopped the job") };
        }
        printed_.push_back(lines);
        return {};
    }

    FileError PrintPicture(const QImage& picture, const QString& pdfFile) override
    {
        calls_.push_back({ Kind::PrintPicture,
            QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()), pdfFile });
        if (!printerWorks_) {
            return { fileerror::PrinterError, QStringLiteral("Printer error: the printer stopped the job") };
        }
        pictures_.push_back(picture);
        return {};
    }

    // The next ChooseFile answers with this name; with none left it answers as cancelled.
    void ScriptFileChoice(const QString& fileName) { fileChoices_.push_back(fileName); }
    // Whether a job fails with a printer fault (error 482).
    void SetPrinterWorks(bool works) { printerWorks_ = works; }
    // Whether the desktop has a default printer.
    void SetHasPrinter(bool has) { hasPrinter_ = has; }

    const std::vector<Call>& Calls() const { return calls_; }
    int BeepCount() const { return beeps_; }
    // The jobs that reached the printer.
    const std::vector<QStringList>& Printed() const { return printed_; }
    const std::vector<CommonDialog>& Dialogs() const { return dialogs_; }
    // The pictures that reached the printer.
    const std::vector<QImage>& PrintedPictures() const { return pictures_; }

    int Count(Kind kind) const
    {
        int n = 0;
        for (const Call& call : calls_) {
            n += call.kind == kind ? 1 : 0;
        }
        return n;
    }

    // Texts of the calls of one kind, in order.
    QStringList Texts(Kind kind) const
    {
        QStringList texts;
        for (const Call& call : calls_) {
            if (call.kind == kind) {
                texts << call.text;
            }
        }
        return texts;
    }

    void Clear()
    {
        calls_.clear();
        beeps_ = 0;
        printed_.clear();
        pictures_.clear();
        dialogs_.clear();
    }

private:
    std::vector<Call> calls_;
    std::deque<QString> fileChoices_;
    std::vector<QStringList> printed_;
    std::vector<QImage> pictures_;
    std::vector<CommonDialog> dialogs_;
    int beeps_ = 0;
    bool printerWorks_ = true;
    bool hasPrinter_ = true;
};

} // namespace pelicard
