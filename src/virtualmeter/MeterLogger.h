#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelicard {

// One record of the meter's logger memory.
struct LoggerRecord {
    int address = 0;
    std::string time; // "hh:mm:ss"
    std::string reading; // 10 characters

    bool operator==(const LoggerRecord&) const = default;
};

struct LoggerSettings {
    int samplingSeconds = 1; // 1 to 999
    int startAddress = 0;
    int stopAddress = 500; // start to MeterLogger::kCapacity - 1

    bool operator==(const LoggerSettings&) const = default;
};

// The meter's logger: its settings, the logging session that fills the memory, the memory, and the
// recall that makes the memory downloadable request by request.
//
// Logging clears the memory, takes a record at once and then every sampling time, and stops after
// the stop address. A running session keeps the settings it started with. A recall stops logging.
// A download hands out up to two records per request and ends with a marker record whose time is
// "--EOD---", after which the recall is over; without a recall only the marker comes.
//
// Time is the model's MeterTime in milliseconds; the logger takes records only when run up to a time.
class MeterLogger {
public:
    static constexpr int kCapacity = 10000;
    static constexpr int kRecordsPerRequest = 2;
    static constexpr int kMaxAddress = 99999; // five digits on the wire

    // The record the meter takes for `address` at `ms`.
    using Sampler = std::function<LoggerRecord(int address, std::int64_t ms)>;
    // Appends one field to the reply being built; false when it did not fit.
    using FieldAppender = std::function<bool(const std::string& field)>;

    // Where a download stands. A request whose reply is never sent is taken back with Rewind.
    struct DownloadMark {
        std::size_t cursor = 0;
        bool recall = false;
        unsigned epoch = 0;
    };

    explicit MeterLogger(Sampler sampler);

    const LoggerSettings& Settings() const { return settings_; }
    // False, changing nothing, for settings the meter cannot take.
    bool SetSettings(const LoggerSettings& settings);
    const std::vector<LoggerRecord>& Records() const { return records_; }
    // Replaces the memory and stops logging; false, changing nothing, for records the memory cannot
    // hold (too many, an address past five digits, a time not of 8 or a reading not of 10 characters).
    bool SetRecords(std::vector<LoggerRecord> records);

    bool Logging() const { return logging_; }
    bool Recalling() const { return recall_; }

    void StartLogging(std::int64_t now);
    void StopLogging() { logging_ = false; }
    // Takes the records due up to `until`.
    void Run(std::int64_t until);
    // Empties the memory and ends a recall; a running session goes on from its start address.
    void Clear();
    // Stops logging and makes the memory downloadable from its first record.
    void StartRecall();
    void StopRecall();

    // Answers one download request: the next records, then the end-of-data marker.
    void HandOut(const FieldAppender& append);
    DownloadMark Mark() const { return { cursor_, recall_, epoch_ }; }
    // Puts the download back where `mark` found it, unless the memory or the recall changed since.
    void Rewind(const DownloadMark& mark);

private:
    Sampler sampler_;
    LoggerSettings settings_;
    LoggerSettings session_; // the settings of the running or last session
    bool logging_ = false;
    int nextAddress_ = 0;
    std::int64_t nextLogMs_ = 0;
    std::vector<LoggerRecord> records_;
    bool recall_ = false;
    std::size_t cursor_ = 0; // the next record to hand out
    unsigned epoch_ = 0; // counts the changes that invalidate a download mark
};

} // namespace pelicard
