#include "virtualmeter/MeterLogger.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

namespace pelicard {

namespace {

constexpr std::string_view kEndOfData = "--EOD---";
constexpr std::string_view kEndOfDataReading = "----------";

std::string Fit(std::string_view text, std::size_t width)
{
    std::string fitted(text);
    fitted.resize(width, ' ');
    return fitted;
}

// "plr" + five-digit address + "," + time + "," + reading.
std::string RecordField(int address, std::string_view time, std::string_view reading)
{
    char number[16];
    std::snprintf(number, sizeof number, "%05d", address);
    return "plr" + std::string(number) + "," + Fit(time, 8) + "," + Fit(reading, 10);
}

} // namespace

MeterLogger::MeterLogger(Sampler sampler)
    : sampler_(std::move(sampler))
{ }

bool MeterLogger::SetSettings(const LoggerSettings& settings)
{
    if (settings.samplingSeconds < 1 || settings.samplingSeconds > 999 || settings.startAddress < 0
        || settings.stopAddress < settings.startAddress || settings.stopAddress >= kCapacity) {
        return false;
    }
    settings_ = settings; // a running session keeps the settings it started with
    return true;
}

bool MeterLogger::SetRecords(std::vector<LoggerRecord> records)
{
    if (records.size() > static_cast<std::size_t>(kCapacity)) {
        return false;
    }
    for (const LoggerRecord& r : records) {
        if (r.address < 0 || r.address > kMaxAddress || r.time.size() != 8 || r.reading.size() != 10) {
            return false;
        }
    }
    logging_ = false;
    records_ = std::move(records);
    cursor_ = 0;
    ++epoch_;
    return true;
}

void MeterLogger::StartLogging(std::int64_t now)
{
    session_ = settings_;
    records_.clear();
    cursor_ = 0;
    ++epoch_;
    nextAddress_ = session_.startAddress;
    nextLogMs_ = now;
    logging_ = true;
    Run(now);
}

void MeterLogger::Run(std::int64_t until)
{
    while (logging_ && nextLogMs_ <= until) {
        if (nextAddress_ > session_.stopAddress || records_.size() >= static_cast<std::size_t>(kCapacity)) {
            logging_ = false;
            break;
        }
        records_.push_back(sampler_(nextAddress_, nextLogMs_));
        ++nextAddress_;
        nextLogMs_ += static_cast<std::int64_t>(session_.samplingSeconds) * 1000;
        if (nextAddress_ > session_.stopAddress) {
            logging_ = false;
        }
    }
}

void MeterLogger::Clear()
{
    records_.clear();
    cursor_ = 0;
    ++epoch_;
    StopRecall();
    nextAddress_ = session_.startAddress;
}

void MeterLogger::StartRecall()
{
    if (recall_) {
        return;
    }
    logging_ = false;
    recall_ = true;
    cursor_ = 0;
    ++epoch_;
}

void MeterLogger::StopRecall()
{
    if (recall_) {
        recall_ = false;
        cursor_ = 0;
        ++epoch_;
    }
}

void MeterLogger::HandOut(const FieldAppender& append)
{
    for (int n = 0; n < kRecordsPerRequest; ++n) {
        if (recall_ && cursor_ < records_.size()) {
            const LoggerRecord& r = records_[cursor_];
            if (!append(RecordField(r.address, r.time, r.reading))) {
                break;
            }
            ++cursor_;
            continue;
        }
        const int address
            = records_.empty() ? settings_.startAddress : std::min(records_.back().address + 1, kMaxAddress);
        if (append(RecordField(address, kEndOfData, kEndOfDataReading)) && recall_) {
            // The download is complete: the meter leaves the recall state.
            recall_ = false;
            cursor_ = 0;
        }
        break;
    }
}

void MeterLogger::Rewind(const DownloadMark& mark)
{
    if (mark.epoch == epoch_) {
        cursor_ = mark.cursor;
        recall_ = mark.recall;
    }
}

} // namespace pelicard
