#pragma once

#include "protocol/ReplyFields.h"

#include <QString>

#include <array>
#include <string>

namespace pelicard {

class frmMain;
class LoggerTable;
class RecordTable;
class TrendPlot;
class VuPanel;
struct MeterState;

// Writes what each field of a meter reply says into the window, which is the meter state: the mode
// tab, the function and range lists, the hold box, the lit mode buttons, the logger and trend
// tables, the readings of the three gauges and the sampling table. A control changed here fires
// its own handler at once, before the walk goes on.
class ReplyParser {
public:
    ReplyParser(frmMain& window, MeterState& state, RecordTable& records, LoggerTable& logger,
        TrendPlot& trend, VuPanel& gauges);

    // Walks a framed reply (start and end byte included). The walk works on its own copy: a handler
    // that sends a command of its own during the walk gets its reply parsed in turn, and this walk
    // goes on over the reply it started with.
    void ParseReply(std::string replyText, bool ackReply, bool enqReply);

    // (0) the tag at the current position, (1) the value text of an unrecognised tag.
    std::array<QString, 2> replyField;

private:
    FieldContext Context() const;
    void Apply(const ReplyField& field);
    void ShowReading(std::size_t gauge, const std::string& reading);
    void ApplyProgramStatus(int bits);

    frmMain& window_;
    MeterState& state_;
    RecordTable& records_;
    LoggerTable& logger_;
    TrendPlot& trend_;
    VuPanel& gauges_;
};

} // namespace pelicard
