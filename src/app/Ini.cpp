#include "app/Ini.h"

#include "window/FileSave.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <vector>

namespace pelicard {

namespace {

constexpr int MaxValueLength = 1023;

struct IniText {
    std::vector<QString> lines;
    QByteArray lineEnd = "\n";
};

// Settings files are written in UTF-8; a file that is not valid UTF-8 was written by an older
// program in Latin-1 and is read as such (and written back in UTF-8).
QString DecodeSettings(const QByteArray& content)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(content);
    return utf8.hasError() ? QString::fromLatin1(content) : text;
}

IniText Load(const QString& file)
{
    IniText text;
    QFile in(file);
    if (file.isEmpty() || !in.open(QIODevice::ReadOnly)) {
        return text;
    }
    const QByteArray content = in.readAll();
    if (content.contains("\r\n")) {
        text.lineEnd = "\r\n";
    }
    QStringList lines = DecodeSettings(content).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.pop_back();
    }
    const bool crLf = text.lineEnd == "\r\n";
    for (QString& line : lines) {
        // A CR LF file loses the CR of its line ends; an LF file loses stray CRs at line ends,
        // which would otherwise turn into CR LF line ends when the file is written again.
        while (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
            if (crLf) {
                break;
            }
        }
        text.lines.push_back(line);
    }
    return text;
}

// The section name of a header line, or a null text when the line is no header.
QString SectionOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('['))) {
        return {};
    }
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0) {
        return {};
    }
    QString name = trimmed.mid(1, close - 1).trimmed();
    if (name.isNull()) {
        name = QLatin1String("");
    }
    return name;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool IsKeyLine(const QString& line, const QString& key, QString* value)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';'))) {
        return false;
    }
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0 || !SameName(trimmed.left(equals).trimmed(), key)) {
        return false;
    }
    if (value != nullptr) {
        *value = trimmed.mid(equals + 1).trimmed();
    }
    return true;
}

// The index of the header line of section, or -1.
int FindSection(const IniText& text, const QString& section)
{
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const QString name = SectionOf(text.lines[i]);
        if (!name.isNull() && SameName(name, section)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// One past the last line of the section that starts at header.
int SectionEnd(const IniText& text, int header)
{
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < text.lines.size() && SectionOf(text.lines[i]).isNull()) {
        ++i;
    }
    return static_cast<int>(i);
}

} // namespace

QString ValueAsRead(QString value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    const qsizetype nul = value.indexOf(QChar(u'\0'));
    if (nul >= 0) {
        value.truncate(nul);
    }
    return value.left(MaxValueLength);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString ReadIni(const QString& section, const QString& key, const QString& file)
{
    const IniText text = Load(file);
    const int header = FindSection(text, section);
    if (header < 0) {
        return {};
    }
    const int end = SectionEnd(text, header);
    for (int i = header + 1; i < end; ++i) {
        QString value;
        if (IsKeyLine(text.lines[static_cast<std::size_t>(i)], key, &value)) {
            return ValueAsRead(value);
        }
    }
    return {};
}

FileError WriteIni(const QString& section, const QString& key, const QString& value, const QString& file)
{
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty()) {
        return { fileerror::BadFileName, QStringLiteral("Bad file name: no section or key name given") };
    }
    IniText text = Load(file);
    // A line break inside a value would start a line of its own in the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString keyLine = key.trimmed() + QLatin1Char('=') + flat;

    const int header = FindSection(text, section);
    if (header < 0) {
        text.lines.push_back(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        text.lines.push_back(keyLine);
    } else {
        const int end = SectionEnd(text, header);
        int found = -1;
        int lastFilled = header;
        for (int i = header + 1; i < end; ++i) {
            const QString& line = text.lines[static_cast<std::size_t>(i)];
            QString present;
            if (IsKeyLine(line, key, &present)) {
                // The value is there already: the file stays exactly as it is.
                if (ValueAsRead(present) == flat) {
                    return {};
                }
                found = i;
                break;
            }
            if (!line.trimmed().isEmpty()) {
                lastFilled = i;
            }
        }
        if (found >= 0) {
            text.lines[static_cast<std::size_t>(found)] = keyLine;
        } else {
            text.lines.insert(text.lines.begin() + lastFilled + 1, keyLine);
        }
    }

    QByteArray bytes;
    for (const QString& line : text.lines) {
        bytes += line.toUtf8();
        bytes += text.lineEnd;
    }
    return SaveWholeFile(file, bytes);
}

} // namespace pelicard
