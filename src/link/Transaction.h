#pragma once

#include "link/ApiUsb.h"
#include "link/LinkIndicators.h"

#include <functional>
#include <string>
#include <string_view>

namespace pelicard {

// The one command transaction: every command goes out through SendCommand, which waits for the
// reply, frames it (TakeReport) and hands it to the reply handler before it returns.
class Transaction {
public:
    // Receives a copy of the framed reply (start and end byte included) and the acknowledgement flags.
    using ReplyHandler = std::function<void(const std::string& replyText, bool ackReply, bool enqReply)>;

    Transaction(ApiUsb& usb, LinkIndicators& indicators);

    void SetReplyHandler(ReplyHandler handler) { replyHandler_ = std::move(handler); }
    // Runs after the user has been told that the meter cannot be reached, so that whatever keeps
    // talking to the meter on a timer stops there: one lost meter gives one message.
    void SetLossHandler(std::function<void()> handler) { lossHandler = std::move(handler); }

    void SendCommand(std::string_view command);
    void TakeReport();
    void ConnectionLost();
    // True while a transaction or the framing of a report runs, including any message box it shows.
    bool InProgress() const { return depth_ > 0; }

    int sendPos = 1;
    bool frameDone = false;
    std::string replyText;
    bool ackReply = false;
    bool enqReply = false;

private:
    // The first report failing means nothing of the command reached the meter.
    enum class Written { Whole, FirstReportFailed, LaterReportFailed };
    // Packs the command into reports and writes them.
    Written WriteFrame(std::string_view command);

    ApiUsb& usb_;
    LinkIndicators& indicators_;
    ReplyHandler replyHandler_;
    std::function<void()> lossHandler;
    // While the "Connection Error" box is open, timer ticks may run; they must not stack a second
    // transaction and a second box on top of it.
    bool reportingLoss_ = false;
    int depth_ = 0;
};

} // namespace pelicard
