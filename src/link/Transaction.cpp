#include "link/Transaction.h"

#include "values/Colours.h"

namespace pelicard {

namespace {
constexpr std::uint8_t StartByte = 2;
constexpr std::uint8_t EndByte = 3;
constexpr std::uint8_t AckByte = 6;
constexpr std::uint8_t EnqByte = 5;
// Each report carries payload positions 0 to 61.
constexpr int LastPayloadPosition = 61;

// Characters from a 0-based position, shorter or empty where the text ends first.
std::string_view Mid(std::string_view text, std::size_t from, std::size_t count)
{
    return from < text.size() ? text.substr(from, count) : std::string_view();
}
} // namespace

Transaction::Transaction(ApiUsb& usb, LinkIndicators& indicators)
    : usb_(usb)
    , indicators_(indicators)
{ }

namespace {
struct DepthGuard {
    explicit DepthGuard(int& depth)
        : depth_(depth)
    {
        ++depth_;
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    int& depth_;
};
} // namespace

void Transaction::SendCommand(std::string_view command)
{
    if (reportingLoss_) {
        return;
    }
    const DepthGuard guard(depth_);
    if (!usb_.deviceFound) {
        usb_.deviceFound = usb_.FindMeter();
        if (!usb_.deviceFound) {
            ConnectionLost();
            return;
        }
    }
    indicators_.ShowConnection("Connected");
    indicators_.SetLamp(0, colour::Red);

    Written written = WriteFrame(command);
    if (written == Written::FirstReportFailed) {
        // A handle left from before the meter was unplugged and plugged in again fails its first
        // write while the meter itself is back: it is opened again once and the command sent
        // again, so the user's click is not lost. Gone for good, it is reported now.
        usb_.CloseMeter();
        usb_.deviceFound = usb_.FindMeter();
        if (!usb_.deviceFound) {
            ConnectionLost();
            return;
        }
        written = WriteFrame(command);
    }
    if (written != Written::Whole) {
        // A report that cannot be written closes the meter silently; the next command reopens it
        // or reports the loss.
        usb_.CloseMeter();
        return;
    }

    indicators_.SetLamp(0, colour::White);
    indicators_.SetLamp(1, colour::Green);
    frameDone = false;

    if (command != "GTL") {
        usb_.readTimeout = ReplyTimeoutMs;
        usb_.ReadReport();
        if (usb_.ioStatus != ReadArrived) {
            return;
        }
        TakeReport();
    }
    indicators_.SetLamp(1, colour::White);

    usb_.readTimeout = TrailingTimeoutMs;
    usb_.ReadReport();
    if (usb_.ioStatus == ReadArrived) {
        TakeReport();
    }
}

Transaction::Written Transaction::WriteFrame(std::string_view command)
{
    const int length = static_cast<int>(command.size());
    sendPos = 1;
    frameDone = false;
    usb_.outReport[0] = StartByte;
    int position = 1;
    bool first = true;
    while (!frameDone) {
        while (position <= LastPayloadPosition) {
            if (sendPos == length + 1) {
                frameDone = true;
                usb_.outReport[static_cast<std::size_t>(position)] = EndByte;
                break;
            }
            usb_.outReport[static_cast<std::size_t>(position)]
                = static_cast<std::uint8_t>(command[static_cast<std::size_t>(sendPos - 1)]);
            ++position;
            ++sendPos;
        }
        usb_.WriteReport();
        if (usb_.ioStatus != 1) {
            frameDone = false;
            return first ? Written::FirstReportFailed : Written::LaterReportFailed;
        }
        first = false;
        position = 0;
    }
    return Written::Whole;
}

void Transaction::TakeReport()
{
    const DepthGuard guard(depth_);
    const std::vector<std::uint8_t>& report = usb_.inReport;
    // A report is taken once; the receive loop does not parse it a second time.
    usb_.reportWaiting = false;
    replyText.clear();
    ackReply = false;
    enqReply = false;
    if (report.size() > 2) {
        ackReply = report[2] == AckByte;
        enqReply = report[2] == EnqByte;
    }
    for (std::size_t i = 1; i < report.size(); ++i) {
        replyText.push_back(static_cast<char>(report[i]));
        if (report[i] == EndByte) {
            frameDone = true;
            break;
        }
    }
    if (!frameDone) {
        return;
    }
    // The handler may send commands of its own, which overwrite replyText; the lamp test below
    // looks at this reply.
    const std::string reply = replyText;
    const bool ack = ackReply;
    const bool enq = enqReply;
    if (replyHandler_) {
        replyHandler_(reply, ack, enq);
    }
    frameDone = false;
    // During a logger download the receive lamp stays green until the end-of-data record.
    if (Mid(reply, 1, 3) != "plr" || Mid(reply, 10, 5) == "--EOD") {
        indicators_.SetLamp(1, colour::White);
    }
}

void Transaction::ConnectionLost()
{
    if (usb_.deviceFound) {
        usb_.CloseMeter();
    }
    indicators_.ShowConnection("Disconnected");
    reportingLoss_ = true;
    indicators_.CriticalStop("Device not detected...Please check USB cable & connector.", "Connection Error");
    reportingLoss_ = false;
    indicators_.SetLinkButtonColour(colour::ButtonFace);
    indicators_.SetLamp(0, colour::White);
    indicators_.SetLamp(1, colour::White);
    if (lossHandler) {
        lossHandler();
    }
}

} // namespace pelicard
