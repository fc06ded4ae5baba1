#pragma once

#include <QString>

namespace pelicard {

// Texts as the gauges paint them.

// A number in a pattern such as "0", "0.00", "0.0#" or "#,##0", with literal text around the
// placeholders kept ("#.0 V"). Halves round away from zero; an empty pattern gives the number as it is.
QString FormatNumber(double value, const QString& pattern);

// A time stamp as "HH:MM:SS"; a text that does not read as a time is shown unchanged.
QString FormatTimeStamp(const QString& text);

} // namespace pelicard
