// The INI reader and writer over any file: read a value, write one, read it back. A value reads
// back as written (line breaks as spaces, blanks around it and one pair of quotes dropped, cut at
// a NUL and at 1023 characters), every other key keeps its value, a file with LF line ends keeps
// them, writing the same value again leaves the file as it is, and a write without a section or key
// name changes nothing.
//
// Input: a first line "section TAB key TAB value" (UTF-8), then the file's bytes. Characters a name
// cannot hold in this format ("=", "[", "]", ";", control characters) are dropped from the names.

#include "FuzzFiles.h"
#include "app/Ini.h"

#include <QStringDecoder>
#include <QStringList>

#include <cstdint>
#include <utility>

namespace {

using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

QString NameFrom(const QByteArray& bytes)
{
    QString name = QString::fromUtf8(bytes);
    name.removeIf([](QChar c) {
        return c == u'=' || c == u'[' || c == u']' || c == u';' || c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
    return name;
}

bool SameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// What reading gives for a value written.
QString ReadsBackAs(const QString& written)
{
    QString value = written;
    value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return pelicard::ValueAsRead(value.trimmed());
}

// The last key of the file with its section, as a simple reading of the format finds them (the file
// read as UTF-8, or as Latin-1 where it is no valid UTF-8).
std::pair<QString, QString> LastKey(const QByteArray& content)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(content);
    if (utf8.hasError()) {
        text = QString::fromLatin1(content);
    }
    std::pair<QString, QString> last;
    QString section;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.contains(QLatin1Char(']'))) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1).trimmed();
        } else if (!line.startsWith(QLatin1Char(';')) && line.indexOf(QLatin1Char('=')) > 0) {
            last = { section, line.left(line.indexOf(QLatin1Char('='))).trimmed() };
        }
    }
    return last;
}

void CheckRead(const QString& value, const char* what)
{
    Require(value.size() <= 1023, "a value read is at most 1023 characters", what);
    Require(!value.contains(QChar(u'\0')) && !value.contains(QLatin1Char('\n')),
        "a value read holds no NUL and no line feed",
        [&] { return std::string(what) + ": " + Shown(value); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype firstLineEnd = input.indexOf('\n');
    const QByteArray head = firstLineEnd < 0 ? input : input.left(firstLineEnd);
    const QByteArray content = firstLineEnd < 0 ? QByteArray() : input.mid(firstLineEnd + 1);
    const QList<QByteArray> parts = head.split('\t');
    const QString section = NameFrom(parts.value(0));
    const QString key = NameFrom(parts.value(1));
    const QString value = QString::fromUtf8(parts.mid(2).join('\t'));

    const QString file = pelicard::fuzz::ScratchFile("settings.ini");
    pelicard::fuzz::WriteFile(file, content);
    CheckRead(pelicard::ReadIni(section, key, file), "before the write");

    const std::pair<QString, QString> other = LastKey(content);
    const QString& otherSection = other.first;
    const QString& otherKey = other.second;
    const bool otherDiffers
        = !otherKey.isEmpty() && !(SameName(otherSection, section) && SameName(otherKey, key));
    const QString otherBefore = otherDiffers ? pelicard::ReadIni(otherSection, otherKey, file) : QString();

    const pelicard::FileError written = pelicard::WriteIni(section, key, value, file);
    const auto names = [&] { return "[" + Shown(section) + "] " + Shown(key) + "=" + Shown(value); };
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty()) {
        Require(written.failed(), "a write without a section or key name is refused", names);
        Require(
            pelicard::fuzz::ReadFile(file) == content, "a refused write leaves the file as it was", names);
        return 0;
    }
    Require(!written.failed(), "a write to a scratch file succeeds",
        [&] { return names() + ": " + Shown(written.description); });

    if (!content.contains("\r\n")) {
        Require(
            !pelicard::fuzz::ReadFile(file).contains("\r\n"), "a file with LF line ends keeps them", names);
    }
    const QString readBack = pelicard::ReadIni(section, key, file);
    CheckRead(readBack, "after the write");
    Require(readBack == ReadsBackAs(value), "a value reads back as written",
        [&] { return names() + " read back as " + Shown(readBack); });
    if (otherDiffers) {
        Require(pelicard::ReadIni(otherSection, otherKey, file) == otherBefore,
            "a write keeps every other key", [&] {
                return names() + "; [" + Shown(otherSection) + "] " + Shown(otherKey) + " was "
                    + Shown(otherBefore);
            });
    }

    const QByteArray once = pelicard::fuzz::ReadFile(file);
    Require(!pelicard::WriteIni(section, key, value, file).failed(), "a second write succeeds", names);
    Require(pelicard::fuzz::ReadFile(file) == once, "writing the same value again changes nothing", names);
    return 0;
}
