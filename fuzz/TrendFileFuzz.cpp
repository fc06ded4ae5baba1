// The trend file loader over any bytes: the file and the same bytes in memory read alike; a load
// gives 119 points or a fault, every level fits the plot and every text is one field. The points
// read (those before a fault included) save to a file that loads without a fault into the same
// points, tabs written as spaces, and the points the load did not reach as blank levels 0.

#include "FuzzFiles.h"
#include "trend/TrendFile.h"
#include "trend/TrendPlot.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace {

using pelicard::TrendFileContent;
using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

std::string Describe(const TrendFileContent& content)
{
    return std::to_string(content.points.size()) + " points, error " + std::to_string(content.error.number)
        + " " + Shown(content.error.description);
}

bool SameContent(const TrendFileContent& a, const TrendFileContent& b)
{
    if (a.points.size() != b.points.size() || a.error.number != b.error.number
        || a.error.description != b.error.description) {
        return false;
    }
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        if (a.points[i].text != b.points[i].text || a.points[i].level != b.points[i].level) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString given = pelicard::fuzz::ScratchFile("given.trd");
    const QString saved = pelicard::fuzz::ScratchFile("saved.trd");
    pelicard::fuzz::WriteFile(given, bytes);

    const TrendFileContent first = pelicard::LoadTrendFile(given);
    const auto described = [&] { return Describe(first); };
    Require(SameContent(first, pelicard::ParseTrendFile(bytes)), "a trend file and its bytes read alike",
        described);
    Require(first.points.size() <= static_cast<std::size_t>(pelicard::TrendFilePoints),
        "at most 119 points are read", described);
    Require(
        first.error.failed() == (first.points.size() < static_cast<std::size_t>(pelicard::TrendFilePoints)),
        "a load gives all 119 points or a fault", described);

    std::vector<QString> texts;
    for (const pelicard::TrendFilePoint& point : first.points) {
        Require(pelicard::TrendPlot::LevelFits(point.level), "a level read fits the plot",
            [&] { return std::to_string(point.level); });
        Require(point.text.size() <= pelicard::MaxTrendFieldBytes, "a field read is at most 4096 bytes");
        for (const QChar c : point.text) {
            Require(c != u',' && (c.unicode() >= 0x20 || c == u'\t') && c.unicode() != 0x7F,
                "a point's text is one field without control characters", [&] { return Shown(point.text); });
        }
        texts.push_back(point.text);
    }

    const pelicard::FileError saveError = pelicard::SaveTrendFile(saved, texts);
    Require(!saveError.failed(), "the points read save", [&] { return Shown(saveError.description); });
    const TrendFileContent second = pelicard::LoadTrendFile(saved);
    Require(!second.error.failed(), "a saved trend loads without a fault", [&] { return Describe(second); });
    Require(second.points.size() == static_cast<std::size_t>(pelicard::TrendFilePoints),
        "a saved trend loads 119 points", [&] { return Describe(second); });
    for (std::size_t i = 0; i < second.points.size(); ++i) {
        QString expected;
        int level = 0;
        if (i < first.points.size()) {
            expected = first.points[i].text;
            expected.replace(QLatin1Char('\t'), QLatin1Char(' '));
            level = first.points[i].level;
        }
        Require(second.points[i].text == expected && second.points[i].level == level,
            "a saved point loads back as it was", [&] {
                return "point " + std::to_string(i) + ": \"" + Shown(expected) + "\" level "
                    + std::to_string(level) + " loaded as \"" + Shown(second.points[i].text) + "\" level "
                    + std::to_string(second.points[i].level);
            });
    }
    return 0;
}
