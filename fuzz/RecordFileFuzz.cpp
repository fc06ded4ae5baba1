// The record file loader over any bytes: load, save, load again. Whatever loads (the rows before a
// fault included) saves to a file that loads without a fault into the same rows, the time written
// as "hh:mm:ss" where it reads as a time; saving those rows again gives the same bytes. No loaded
// field holds a control character, and no more than the table's records are taken.

#include "FuzzFiles.h"
#include "tables/RecordFile.h"

#include <cstdint>

namespace {

using pelicard::RecordRow;
using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

std::string Describe(const RecordRow& row)
{
    return "\"" + Shown(row[0]) + "\" \"" + Shown(row[1]) + "\" \"" + Shown(row[2]) + "\" \"" + Shown(row[3])
        + "\"";
}

bool HoldsControl(const QString& field)
{
    for (const QChar c : field) {
        if (c.unicode() < 0x20) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString given = pelicard::fuzz::ScratchFile("given.dat");
    const QString saved = pelicard::fuzz::ScratchFile("saved.dat");
    pelicard::fuzz::WriteFile(
        given, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    const pelicard::RecordFileContent first = pelicard::LoadRecordFile(given);
    Require(first.rows.size() <= static_cast<std::size_t>(pelicard::MaxRecords),
        "no more rows than a table holds");
    for (const RecordRow& row : first.rows) {
        for (const QString& field : row) {
            Require(!HoldsControl(field), "a loaded field holds no control character",
                [&] { return Describe(row); });
            Require(field.size() <= pelicard::MaxLineBytes, "a loaded field fits a line",
                [&] { return Describe(row); });
        }
    }

    const pelicard::FileError saveError = pelicard::SaveRecordFile(saved, first.rows);
    Require(!saveError.failed(), "what loads saves", [&] { return Shown(saveError.description); });
    const QByteArray savedBytes = pelicard::fuzz::ReadFile(saved);

    const pelicard::RecordFileContent second = pelicard::LoadRecordFile(saved);
    Require(!second.error.failed(), "a saved table loads without a fault",
        [&] { return std::to_string(second.error.number) + " " + Shown(second.error.description); });
    Require(second.rows.size() == first.rows.size(), "a saved table loads all its rows", [&] {
        return std::to_string(first.rows.size()) + " saved, " + std::to_string(second.rows.size())
            + " loaded";
    });
    for (std::size_t i = 0; i < first.rows.size(); ++i) {
        RecordRow expected = first.rows[i];
        expected[1] = pelicard::FormatRecordTime(expected[1]);
        Require(second.rows[i] == expected, "a saved row loads back as it was", [&] {
            return "row " + std::to_string(i) + ": saved " + Describe(first.rows[i]) + ", loaded "
                + Describe(second.rows[i]);
        });
    }

    Require(!pelicard::SaveRecordFile(saved, second.rows).failed(), "a loaded table saves again");
    Require(pelicard::fuzz::ReadFile(saved) == savedBytes,
        "saving what was loaded from a save gives the same bytes");
    return 0;
}
