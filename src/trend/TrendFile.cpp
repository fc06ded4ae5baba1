#include "trend/TrendFile.h"

#include "trend/TrendPlot.h"
#include "values/TrendLevel.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <string_view>

namespace pelicard {

namespace {

using trendfield::EndsField;
using trendfield::IsControl;

const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

// A field as it may be quoted in a message: short, and without what a message box cannot show.
QString Shown(QByteArrayView field)
{
    constexpr qsizetype Longest = 20;
    QString text = QString::fromLatin1(field.first(std::min(field.size(), Longest)));
    return field.size() > Longest ? text + QStringLiteral("...") : text;
}

FileError PointFault(int number, const QString& what, int point)
{
    return { number, QStringLiteral("%1 (point %2)").arg(what).arg(point) };
}

} // namespace

QByteArray FormatTrendFile(std::span<const QString> entries)
{
    QByteArray text;
    text.reserve(qsizetype { TrendFileLines } * 5);
    for (std::size_t i = 0; i < static_cast<std::size_t>(TrendFileLines); ++i) {
        if (i < entries.size()) {
            // The trend loader refuses the byte 0x7F as binary data; it is written as a space.
            text += FieldBytes(entries[i], u",\x7F");
        }
        text += "\r\n";
    }
    return text;
}

FileError SaveTrendFile(const QString& path, std::span<const QString> entries)
{
    return SaveWholeFile(path, FormatTrendFile(entries));
}

TrendFileContent ParseTrendFile(QByteArrayView bytes)
{
    TrendFileContent content;
    qsizetype at = bytes.startsWith(QByteArrayView(ByteOrderMark)) ? ByteOrderMark.size() : 0;
    while (static_cast<int>(content.points.size()) < TrendFilePoints) {
        const int point = static_cast<int>(content.points.size());
        if (at >= bytes.size()) {
            content.error = { fileerror::InputPastEndOfFile,
                QStringLiteral("Input past end of file: the file ends after %1 of the %2 points")
                    .arg(point)
                    .arg(TrendFilePoints) };
            break;
        }
        qsizetype end = at;
        while (end < bytes.size() && !EndsField(bytes[end])) {
            ++end;
        }
        const QByteArrayView field = bytes.sliced(at, end - at);
        if (field.size() > MaxTrendFieldBytes) {
            content.error = PointFault(fileerror::BadRecordLength,
                QStringLiteral("Field too long: more than %1 bytes").arg(MaxTrendFieldBytes), point);
            break;
        }
        if (std::any_of(field.begin(), field.end(), IsControl)) {
            content.error = PointFault(
                fileerror::InvalidFileFormat, QStringLiteral("Invalid file format: binary data"), point);
            break;
        }
        const std::optional<int> read
            = trendfield::LevelOf(std::string_view(field.data(), static_cast<std::size_t>(field.size())));
        if (!read) {
            content.error = PointFault(fileerror::InvalidFileFormat,
                QStringLiteral("Invalid file format: \"%1\" is not a number").arg(Shown(field)), point);
            break;
        }
        const int level = *read;
        if (!TrendPlot::LevelFits(level)) {
            // Clipping would draw a level the file does not hold; the user is told instead.
            content.error = PointFault(fileerror::Overflow,
                QStringLiteral("Overflow: level %1 lies outside the plot (%2 to %3)")
                    .arg(Shown(field).trimmed())
                    .arg(TrendPlot::LowestLevel)
                    .arg(TrendPlot::HighestLevel),
                point);
            break;
        }
        content.points.push_back({ QString::fromLatin1(field), level });

        at = end;
        if (at < bytes.size()) {
            const bool crLf = bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n';
            at += crLf ? 2 : 1;
        }
    }
    return content;
}

TrendFileContent LoadTrendFile(const QString& path)
{
    TrendFileContent content;
    QFile file;
    content.error = OpenForReading(file, path);
    if (content.error.failed()) {
        return content;
    }
    // A byte order mark and 119 fields of the longest length with their line ends fit in this; a
    // file that holds more before its 119th field ends has a field too long, which the parser finds
    // within these bytes.
    const qint64 reach = ByteOrderMark.size() + qint64 { TrendFilePoints } * (MaxTrendFieldBytes + 2);
    const QByteArray bytes = file.read(reach);
    if (file.error() != QFileDevice::NoError) {
        content.error
            = { fileerror::DeviceIo, QStringLiteral("Device I/O error: %1").arg(file.errorString()) };
        return content;
    }
    return ParseTrendFile(bytes);
}

} // namespace pelicard
