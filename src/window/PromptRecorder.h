#pragma once

#include "window/Prompts.h"

#include <QCoreApplication>

#include <deque>
#include <vector>

namespace pelicard {

// Prompts for tests: records every call in order and answers from a script, never blocking.
class PromptRecorder : public Prompts {
public:
    enum class Kind { Beep, CriticalStop, Ok, ChooseFile, PrintLines };

    struct Call {
        Kind kind;
        QString text; // message text; the proposed file name; the printed lines joined by "\n"
        QString title; // message title; the dialog's filter
    };

    void Beep() override
    {
        calls.push_back({ Kind::Beep, {}, {} });
        ++beeps;
    }

    void CriticalStop(const QString& text, const QString& title) override
    {
        calls.push_back({ Kind::CriticalStop, text, title });
    }

    void Ok(const QString& text) override
    {
        calls.push_back({ Kind::Ok, text, QCoreApplication::applicationName() });
    }

    QString ChooseFile(const CommonDialog& dialog) override
    {
        calls.push_back({ Kind::ChooseFile, dialog.FileName, dialog.Filter });
        dialogs.push_back(dialog);
        if (fileChoices.empty()) {
            return {};
        }
        QString chosen = fileChoices.front();
        fileChoices.pop_front();
        return chosen;
    }

    bool PrintLines(const QStringList& lines) override
    {
        calls.push_back({ Kind::PrintLines, lines.join(QLatin1Char('\n')), {} });
        if (printerWorks) {
            printed.push_back(lines);
        }
        return printerWorks;
    }

    // The next ChooseFile answers with this name; with none left it answers as cancelled.
    void ScriptFileChoice(const QString& fileName) { fileChoices.push_back(fileName); }
    void SetPrinterWorks(bool works) { printerWorks = works; }

    const std::vector<Call>& Calls() const { return calls; }
    int BeepCount() const { return beeps; }
    // The jobs that reached the printer.
    const std::vector<QStringList>& Printed() const { return printed; }
    const std::vector<CommonDialog>& Dialogs() const { return dialogs; }

    int Count(Kind kind) const
    {
        int n = 0;
        for (const Call& call : calls) {
            n += call.kind == kind ? 1 : 0;
        }
        return n;
    }

    // Texts of the calls of one kind, in order.
    QStringList Texts(Kind kind) const
    {
        QStringList texts;
        for (const Call& call : calls) {
            if (call.kind == kind) {
                texts << call.text;
            }
        }
        return texts;
    }

    void Clear()
    {
        calls.clear();
        beeps = 0;
        printed.clear();
        dialogs.clear();
    }

private:
    std::vector<Call> calls;
    std::deque<QString> fileChoices;
    std::vector<QStringList> printed;
    std::vector<CommonDialog> dialogs;
    int beeps = 0;
    bool printerWorks = true;
};

} // namespace pelicard
