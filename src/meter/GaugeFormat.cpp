#include "meter/GaugeFormat.h"

#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <array>
#include <cmath>

namespace pelicard {

QString FormatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value)) {
        return QString::number(value);
    }
    if (pattern.isEmpty()) {
        return QString::number(value, 'g', 15);
    }
    auto isPlaceholder = [](QChar c) { return c == u'0' || c == u'#' || c == u'.' || c == u','; };
    qsizetype first = 0;
    while (first < pattern.size() && !isPlaceholder(pattern[first])) {
        ++first;
    }
    if (first == pattern.size()) {
        return pattern; // nothing but literal text
    }
    qsizetype end = first;
    while (end < pattern.size() && isPlaceholder(pattern[end])) {
        ++end;
    }
    const QString core = pattern.mid(first, end - first);
    const qsizetype point = core.indexOf(u'.');
    const QString integerPart = point < 0 ? core : core.left(point);
    const QString fractionPart = point < 0 ? QString() : core.mid(point + 1);
    const int minIntegerDigits = static_cast<int>(integerPart.count(u'0'));
    const int decimals = std::min(15, static_cast<int>(fractionPart.count(u'0') + fractionPart.count(u'#')));
    const int minDecimals = std::min(decimals, static_cast<int>(fractionPart.count(u'0')));
    const bool grouping = integerPart.contains(u',');

    // Halves round away from zero.
    const double scale = std::pow(10.0, decimals);
    double magnitude = std::abs(value);
    if (magnitude * scale < 9.0e15) {
        magnitude = std::round(magnitude * scale) / scale;
    }
    QString digits = QString::number(magnitude, 'f', decimals);
    QString whole = digits;
    QString fraction;
    if (decimals > 0) {
        whole = digits.left(digits.size() - decimals - 1);
        fraction = digits.right(decimals);
        while (fraction.size() > minDecimals && fraction.endsWith(u'0')) {
            fraction.chop(1);
        }
    }
    if (whole == QLatin1String("0") && minIntegerDigits == 0) {
        whole.clear();
    }
    while (whole.size() < minIntegerDigits) {
        whole.prepend(u'0');
    }
    if (grouping) {
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
            whole.insert(i, u',');
        }
    }
    QString text = whole;
    if (!fraction.isEmpty()) {
        text += u'.' + fraction;
    }
    const bool negative = value < 0 && magnitude != 0.0;
    return pattern.left(first) + (negative ? QStringLiteral("-") : QString()) + text + pattern.mid(end);
}

namespace {

// The reading of a time stamp; cacheable is false when the answer may depend on the time zone
// (a date and time read as local time).
QString ReadTimeStamp(const QString& text, bool& cacheable)
{
    const QString trimmed = text.trimmed();
    cacheable = true;
    static const char* const kFormats[] = { "H:m:s", "H:m", "h:m:s AP", "h:m AP" };
    for (const char* format : kFormats) {
        const QTime time = QTime::fromString(trimmed, QLatin1String(format));
        if (time.isValid()) {
            return time.toString(QStringLiteral("HH:mm:ss"));
        }
    }
    if (!trimmed.contains(u':')) {
        return text;
    }
    cacheable = false;
    const QDateTime stamp = QDateTime::fromString(trimmed, Qt::ISODate);
    if (stamp.isValid()) {
        return stamp.time().toString(QStringLiteral("HH:mm:ss"));
    }
    return text;
}

} // namespace

QString FormatTimeStamp(const QString& text)
{
    // The gauges show the same few stamps at every frame; reading one takes far longer than
    // painting it, so the last few readings are kept.
    struct Reading {
        QString text;
        QString shown;
    };
    thread_local std::array<Reading, 4> readings;
    thread_local std::size_t next = 0;
    if (text.isNull()) {
        bool cacheable = false;
        return ReadTimeStamp(text, cacheable);
    }
    for (const Reading& reading : readings) {
        if (!reading.text.isNull() && reading.text == text) {
            return reading.shown;
        }
    }
    bool cacheable = false;
    QString shown = ReadTimeStamp(text, cacheable);
    if (cacheable) {
        readings[next] = Reading { text, shown };
        next = (next + 1) % readings.size();
    }
    return shown;
}

} // namespace pelicard
