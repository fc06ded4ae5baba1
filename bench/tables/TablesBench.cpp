// Saves and loads a record file at the table limit of 32767 records and prints the times.
#include "tables/RecordFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<pelicard::RecordRow> FullTable()
{
    std::vector<pelicard::RecordRow> rows;
    rows.reserve(pelicard::MaxRecords);
    for (int i = 1; i <= pelicard::MaxRecords; ++i) {
        const int seconds = i % 86400;
        rows.push_back({ QString::number(i),
            QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60),
            QStringLiteral("  %1V  ").arg(i % 50000 / 10000.0, 0, 'f', 4), QString() });
    }
    return rows;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath("bench.dat");
    const std::vector<pelicard::RecordRow> rows = FullTable();
    constexpr int Runs = 9;
    std::vector<double> saveMs;
    std::vector<double> loadMs;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const pelicard::FileError saved = pelicard::SaveRecordFile(path, rows);
        saveMs.push_back(timer.nsecsElapsed() / 1e6);
        if (saved.failed()) {
            std::fprintf(stderr, "%s", qPrintable(pelicard::FormatFileError(saved)));
            return 1;
        }
        timer.restart();
        const pelicard::RecordFileContent loaded = pelicard::LoadRecordFile(path);
        loadMs.push_back(timer.nsecsElapsed() / 1e6);
        if (loaded.error.failed() || loaded.rows.size() != rows.size()) {
            std::fprintf(stderr, "load failed: %s\n", qPrintable(loaded.error.description));
            return 1;
        }
    }
    std::printf("record file, %d records, %lld bytes, %d runs\n", pelicard::MaxRecords,
        static_cast<long long>(QFileInfo(path).size()), Runs);
    std::printf("  save: median %.2f ms, best %.2f ms\n", Median(saveMs),
        *std::min_element(saveMs.begin(), saveMs.end()));
    std::printf("  load: median %.2f ms, best %.2f ms\n", Median(loadMs),
        *std::min_element(loadMs.begin(), loadMs.end()));
    return 0;
}
