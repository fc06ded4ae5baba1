#include "tables/RecordFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace pelicard {

namespace {

// One to two digits, the whole text; -1 otherwise.
int ReadTimePart(QStringView part)
{
    if (part.isEmpty() || part.size() > 2) {
        return -1;
    }
    int value = 0;
    for (const QChar c : part) {
        if (c < u'0' || c > u'9') {
            return -1;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

QByteArray LineBytes(const RecordRow& row)
{
    QByteArray line = FieldBytes(row[0]);
    line += '\t';
    line += FieldBytes(FormatRecordTime(row[1]));
    line += '\t';
    line += FieldBytes(row[2]);
    line += '\t';
    line += FieldBytes(row[3]);
    return line;
}

bool HoldsControlBytes(const QByteArray& line)
{
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return true;
        }
    }
    return false;
}

FileError Fault(int number, const QString& description)
{
    return FileError { number, description };
}

FileError LineFault(int number, const QString& what, int lineNumber)
{
    return Fault(number, QStringLiteral("%1 (line %2)").arg(what).arg(lineNumber));
}

} // namespace

QString FormatRecordTime(const QString& text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    const QList<QStringView> parts = trimmed.split(u':');
    if (parts.size() != 3) {
        return text;
    }
    const int hours = ReadTimePart(parts[0]);
    const int minutes = ReadTimePart(parts[1]);
    const int seconds = ReadTimePart(parts[2]);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) {
        return text;
    }
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

FileError SaveRecordFile(const QString& path, const std::vector<RecordRow>& rows)
{
    QByteArray text;
    text.reserve(static_cast<qsizetype>(rows.size()) * 48);
    for (const RecordRow& row : rows) {
        text += LineBytes(row);
        text += "\r\n";
    }
    // The loader skips a byte order mark at the start; a first field that begins with those very
    // bytes is protected by one more.
    if (text.startsWith(ByteOrderMark)) {
        text.prepend(ByteOrderMark);
    }
    return SaveWholeFile(path, text);
}

RecordFileContent LoadRecordFile(const QString& path)
{
    RecordFileContent content;
    QFile file;
    content.error = OpenForReading(file, path);
    if (content.error.failed()) {
        return content;
    }

    int lineNumber = 0;
    int firstBlankLine = 0; // an empty line is a fault only when more text follows it
    while (true) {
        // Asking for a little more than a line may hold tells a long line from a full one.
        QByteArray line = file.readLine(MaxLineBytes + 3);
        if (line.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                content.error = LineFault(fileerror::DeviceIo,
                    QStringLiteral("Device I/O error: %1").arg(file.errorString()), lineNumber + 1);
            }
            break;
        }
        ++lineNumber;
        const bool complete = line.endsWith('\n');
        bool tooLong = !complete && !file.atEnd();
        if (!tooLong) {
            if (complete) {
                line.chop(1);
            }
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            if (lineNumber == 1 && line.startsWith(ByteOrderMark)) {
                line.remove(0, ByteOrderMark.size()); // left by an editor
            }
            tooLong = line.size() > MaxLineBytes;
        }
        if (!tooLong && line.isEmpty()) {
            if (firstBlankLine == 0) {
                firstBlankLine = lineNumber;
            }
            continue;
        }
        if (firstBlankLine != 0) {
            content.error = LineFault(fileerror::InputPastEndOfFile,
                QStringLiteral("Input past end of file: fewer than four fields"), firstBlankLine);
            break;
        }
        if (tooLong) {
            content.error
                = LineFault(fileerror::BadRecordLength, QStringLiteral("Line too long"), lineNumber);
            break;
        }
        if (HoldsControlBytes(line)) {
            content.error = LineFault(
                fileerror::InvalidFileFormat, QStringLiteral("Invalid file format: binary data"), lineNumber);
            break;
        }

        const QString text = QString::fromLatin1(line);
        const QList<QStringView> fields = QStringView(text).split(u'\t');
        if (fields.size() < 4) {
            content.error = LineFault(fileerror::InputPastEndOfFile,
                QStringLiteral("Input past end of file: fewer than four fields"), lineNumber);
            break;
        }
        RecordRow row { fields[0].toString(), fields[1].toString(), fields[2].toString(),
            fields[3].toString() };
        if (LineBytes(row).size() > MaxLineBytes) {
            content.error
                = LineFault(fileerror::BadRecordLength, QStringLiteral("Line too long"), lineNumber);
            break;
        }
        if (content.rows.size() >= static_cast<std::size_t>(MaxRecords)) {
            content.error = LineFault(fileerror::Overflow,
                QStringLiteral("Overflow: more than %1 records").arg(MaxRecords), lineNumber);
            break;
        }
        content.rows.push_back(std::move(row));
    }
    return content;
}

} // namespace pelicard
