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
    : usb(usb)
    , indicators(indicators)
{ }

namespace {
struct DepthGuard {
    explicit DepthGuard(int& depth)
        : depth(depth)
    {
        ++depth;
    }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    int& depth;
};
} // namespace

void Transaction::SendCommand(std::string_view command)
{
    if (reportingLoss) {
        return;
    }
    const DepthGuard guard(depth);
    if (!usb.deviceFound) {
        usb.deviceFound = usb.FindMeter();
        if (!usb.deviceFound) {
            ConnectionLost();
            return;
        }
    }
    indicators.ShowConnection("Connected");
    indicators.SetLamp(0, colour::Red);

    const int length = static_cast<int>(command.size());
    sendPos = 1;
    frameDone = false;
    usb.outReport[0] = StartByte;
    int position = 1;
    while (!frameDone) {
        while (position <= LastPayloadPosition) {
            if (sendPos == length + 1) {
                frameDone = true;
                usb.outReport[static_cast<std::size_t>(position)] = EndByte;
                break;
            }
            usb.outReport[static_cast<std::size_t>(position)]
                = static_cast<std::uint8_t>(command[static_cast<std::size_t>(sendPos - 1)]);
            ++position;
            ++sendPos;
        }
        usb.WriteReport();
        if (usb.ioStatus != 1) {
            // A report that cannot be written closes the meter silently; the next command reopens
            // it or reports the loss.
            usb.CloseMeter();
            return;
        }
        position = 0;
    }

    indicators.SetLamp(0, colour::White);
    indicators.SetLamp(1, colour::Green);
    frameDone = false;

    if (command != "GTL") {
        usb.readTimeout = ReplyTimeoutMs;
        usb.ReadReport();
        if (usb.ioStatus != ReadArrived) {
            return;
        }
        TakeReport();
    }
    indicators.SetLamp(1, colour::White);

    usb.readTimeout = TrailingTimeoutMs;
    usb.ReadReport();
    if (usb.ioStatus == ReadArrived) {
        TakeReport();
    }
}

void Transaction::TakeReport()
{
    const DepthGuard guard(depth);
    const std::vector<std::uint8_t>& report = usb.inReport;
    // A report is taken once; the receive loop does not parse it a second time.
    usb.reportWaiting = false;
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
    if (replyHandler) {
        replyHandler(reply, ack, enq);
    }
    frameDone = false;
    // During a logger download the receive lamp stays green until the end-of-data record.
    if (Mid(reply, 1, 3) != "plr" || Mid(reply, 10, 5) == "--EOD") {
        indicators.SetLamp(1, colour::White);
    }
}

void Transaction::ConnectionLost()
{
    if (usb.deviceFound) {
        usb.CloseMeter();
    }
    indicators.ShowConnection("Disconnected");
    reportingLoss = true;
    indicators.CriticalStop("Device not detected...Please check USB cable & connector.", "Connection Error");
    reportingLoss = false;
    indicators.SetLinkButtonColour(colour::ButtonFace);
    indicators.SetLamp(0, colour::White);
    indicators.SetLamp(1, colour::White);
}

} // namespace pelicard
