#pragma once

#include "cli/ConsoleIndicators.h"
#include "link/ApiUsb.h"
#include "link/Transaction.h"
#include "protocol/ReplyFields.h"

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pelicard {

// One framed reply, as the transaction hands it over, and when it came.
struct MeterReply {
    std::string text; // the frame: the byte 2, the fields, the byte 3
    bool ack = false;
    bool enq = false;
    std::chrono::system_clock::time_point received;
};

// What earlier replies said that decides how later ones are read (the window keeps the same in its
// controls): the mode, the function and whether its "Prog" is on.
struct MeterView {
    double modelId = 1;
    int tab = 0;
    int function = 0;
    int programStatus = 0;

    FieldContext Context() const;
    // Reads every field of a reply as the window's walk does, updating the view on the way.
    std::vector<ReplyField> Walk(const std::string& replyText);
};

// The link to one meter for one command-line run: the search, the transaction, and the meter's
// replies collected per command.
class MeterSession {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    MeterSession(HidBackend& backend, std::ostream& err, Clock clock);

    // The search over the product ids; false, with the message on standard error, when no meter answers.
    bool Open();
    // Sends one command and returns the meter's answer; the reports that followed it are in Trailing().
    // Nothing when the meter was lost or sent no answer (both reported on standard error); a command
    // that is answered by no reply ("GTL") gives an empty reply.
    std::optional<MeterReply> Exchange(std::string_view command);
    const std::vector<MeterReply>& Trailing() const { return trailing_; }
    // Hands the meter back to its front panel, as unlinking in the window does.
    void Close();
    bool Lost() const { return indicators_.lost; }

    // Asks the model number ("SD9") and the status, so that View() reads replies as the window would;
    // returns the fields of the status reply, nothing when the meter was lost.
    std::optional<std::vector<ReplyField>> ReadStatus();
    MeterView& View() { return view_; }
    ApiUsb& Usb() { return usb_; }

private:
    std::ostream& err_;
    Clock clock_;
    ConsoleIndicators indicators_;
    ApiUsb usb_;
    Transaction link_;
    std::vector<MeterReply> replies_;
    std::vector<MeterReply> trailing_;
    MeterView view_;
};

// The text of a free-text answer ("sd0...", "sd9..."): the reply after its three-letter tag.
std::string AnswerText(const std::string& replyText);

} // namespace pelicard
