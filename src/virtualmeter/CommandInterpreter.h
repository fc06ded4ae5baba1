#pragma once

#include "virtualmeter/MeterModel.h"

#include <cstddef>
#include <optional>
#include <string>

namespace pelicard {

// The meter's command language over a MeterModel: one frame of text in, the reply text out.
//
// A frame is split at "," into commands (the arguments of CLK, PLV, PCV and PTV contain commas and
// stay with their command). Set commands are applied in order, queries answered in order. A frame of
// set commands only is answered by the acknowledgement byte 6; a frame with queries by their fields
// joined by "," (fields that would not fit the reply are left out, and logger records left out stay
// in the meter for the next request); a frame holding "GTL" is not answered; a frame with a command
// the meter does not know or whose value it cannot take is answered by the byte 5, the valid
// commands in it having been applied and its queries left unanswered.
class CommandInterpreter {
public:
    // `maxReplyText` is the most text one reply carries.
    CommandInterpreter(MeterModel& model, std::size_t maxReplyText);

    // The reply to `frame`, or nothing when the frame is not answered.
    std::optional<std::string> Execute(const std::string& frame);

private:
    // Fields joined by ","; once a field does not fit, nothing more is taken.
    struct ReplyText {
        std::size_t capacity_ = 0;
        std::string text_;
        bool full_ = false;
        bool TryAppend(const std::string& field);
    };

    static bool IsQuery(const std::string& command);
    // False for a query the meter does not know.
    bool Answer(const std::string& query, ReplyText& reply);
    // False for a command the meter does not know or a value it cannot take.
    bool Apply(const std::string& command);
    bool ApplySetupValue(const std::string& name, const std::string& argument);

    MeterModel& model_;
    std::size_t maxReplyText_;
};

} // namespace pelicard
