#include "window/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

namespace pelicard {

QtPrompts::QtPrompts(QWidget* parent)
    : parent_(parent)
{ }

void QtPrompts::Beep()
{
    QApplication::beep();
}

void QtPrompts::CriticalStop(const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::Ok(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtPrompts::ChooseFile(const CommonDialog& dialog)
{
    QFileDialog chooser(parent_);
    // One dialog chooses the name for loading and for saving, so a new name may be typed.
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::AnyFile);
    const QString filter = FileDialogFilter(dialog.Filter);
    if (!filter.isEmpty()) {
        chooser.setNameFilters(filter.split(QStringLiteral(";;")));
    }
    if (!dialog.FileName.isEmpty()) {
        chooser.selectFile(dialog.FileName);
    }
    if (chooser.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = chooser.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

bool QtPrompts::PrintLines(const QStringList& lines)
{
    QPrinter printer;
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect page = painter.viewport();
    const int lineHeight = QFontMetrics(painter.font(), &printer).lineSpacing();
    int y = 0;
    for (const QString& line : lines) {
        if (y + lineHeight > page.height() && y > 0) {
            if (!printer.newPage()) {
                painter.end();
                return false;
            }
            y = 0;
        }
        painter.drawText(QRect(0, y, page.width(), lineHeight), Qt::TextExpandTabs | Qt::AlignLeft, line);
        y += lineHeight;
    }
    return painter.end();
}

QString FileDialogFilter(const QString& filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList converted;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) {
            continue;
        }
        QString description = parts[i];
        description.remove(trailingPatterns);
        description = description.trimmed();
        converted << (description.isEmpty()
                ? patterns
                : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return converted.join(QStringLiteral(";;"));
}

} // namespace pelicard
