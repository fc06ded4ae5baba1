#include "app/Ini.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <vector>

namespace pelicard {

namespace {

constexpr int MaxValueLength = 1023;

struct IniText {
    std::vector<QByteArray> lines;
    QByteArray lineEnd = "\n";
};

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
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.pop_back();
    }
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        text.lines.push_back(line);
    }
    return text;
}

// The section name of a header line, or a null array when the line is no header.
QByteArray SectionOf(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('[')) {
        return {};
    }
    const int close = trimmed.indexOf(']');
    if (close < 0) {
        return {};
    }
    QByteArray name = trimmed.mid(1, close - 1).trimmed();
    if (name.isNull()) {
        name = "";
    }
    return name;
}

bool SameName(const QByteArray& a, const QString& b)
{
    return QString::fromLatin1(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool IsKeyLine(const QByteArray& line, const QString& key, QByteArray* value)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(';')) {
        return false;
    }
    const int equals = trimmed.indexOf('=');
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
        const QByteArray name = SectionOf(text.lines[i]);
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
        QByteArray value;
        if (!IsKeyLine(text.lines[static_cast<std::size_t>(i)], key, &value)) {
            continue;
        }
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
            && value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
        }
        const int nul = value.indexOf('\0');
        if (nul >= 0) {
            value.truncate(nul);
        }
        return QString::fromLatin1(value.left(MaxValueLength));
    }
    return {};
}

bool WriteIni(const QString& section, const QString& key, const QString& value, const QString& file)
{
    if (file.isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty()) {
        return false;
    }
    IniText text = Load(file);
    // A line break inside a value would start a line of its own in the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray keyLine = key.trimmed().toLatin1() + '=' + flat.toLatin1();

    const int header = FindSection(text, section);
    if (header < 0) {
        text.lines.push_back('[' + section.trimmed().toLatin1() + ']');
        text.lines.push_back(keyLine);
    } else {
        const int end = SectionEnd(text, header);
        int found = -1;
        int lastFilled = header;
        for (int i = header + 1; i < end; ++i) {
            const QByteArray& line = text.lines[static_cast<std::size_t>(i)];
            if (IsKeyLine(line, key, nullptr)) {
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

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const QByteArray& line : text.lines) {
        out.write(line);
        out.write(text.lineEnd);
    }
    return out.commit();
}

} // namespace pelicard
