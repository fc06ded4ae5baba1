#include "cli/MeterSession.h"

#include "values/Commands.h"
#include "values/Functions.h"
#include "values/LeadingNumber.h"

#include <utility>

namespace pelicard {

namespace {
constexpr int ModeCount = 5;
constexpr int ProgBit = 8;
} // namespace

FieldContext MeterView::Context() const
{
    FieldContext context;
    context.tab = tab;
    const std::string_view name = FunctionAt(modelId, function);
    const bool progLit = tab >= 1 && tab <= 3 && (programStatus & ProgBit) != 0;
    context.rpmWithoutProg = name.starts_with("RPM") && !progLit;
    context.rangeCount = static_cast<int>(RangesForFunction(name).size());
    return context;
}

std::vector<ReplyField> MeterView::Walk(const std::string& replyText)
{
    std::vector<ReplyField> fields;
    for (int p = 2;;) {
        ReplyField field = ReadField(replyText, p, Context());
        if (field.kind == ReplyField::Kind::End) {
            break;
        }
        // Values the window's controls could not take are ignored, as the window ignores them.
        const int number = field.number.value_or(-1);
        if (field.kind == ReplyField::Kind::Mod && number >= 0 && number < ModeCount) {
            tab = number;
        } else if (field.kind == ReplyField::Kind::Fun && !FunctionAt(modelId, number).empty()) {
            function = number;
        } else if (field.kind == ReplyField::Kind::Pst) {
            programStatus = number;
        }
        p = NextPosition(field, p);
        const bool last = field.kind == ReplyField::Kind::Unknown;
        fields.push_back(std::move(field));
        if (last) {
            break;
        }
    }
    return fields;
}

MeterSession::MeterSession(HidBackend& backend, std::ostream& err, Clock clock)
    : err_(err)
    , clock_(std::move(clock))
    , indicators_(err)
    , usb_(backend, indicators_)
    , link_(usb_, indicators_)
{
    link_.SetReplyHandler([this](const std::string& reply, bool ack, bool enq) {
        replies_.push_back({ reply, ack, enq, clock_() });
    });
}

bool MeterSession::Open()
{
    if (usb_.SearchMeter()) {
        return true;
    }
    err_ << "pelicard-cli: Device Not Found: Device not detected...Please check PowerOn or Communication "
            "cable & connector.\n"
         << std::flush;
    return false;
}

std::optional<MeterReply> MeterSession::Exchange(std::string_view command)
{
    replies_.clear();
    trailing_.clear();
    if (indicators_.lost) {
        return std::nullopt;
    }
    link_.SendCommand(command);
    if (indicators_.lost) {
        return std::nullopt;
    }
    if (replies_.empty()) {
        if (command == command::GoToLocal) {
            return MeterReply {};
        }
        if (!usb_.deviceFound) {
            // The read failed or timed out: the meter is gone; the transaction says so as it would
            // on the next command.
            link_.ConnectionLost();
        } else {
            err_ << "pelicard-cli: the meter sent no whole reply to \"" << command << "\"\n" << std::flush;
            indicators_.lost = true;
        }
        return std::nullopt;
    }
    trailing_.assign(replies_.begin() + 1, replies_.end());
    return replies_.front();
}

void MeterSession::Close()
{
    if (!indicators_.lost && usb_.deviceFound) {
        link_.SendCommand(command::GoToLocal);
    }
    usb_.CloseMeter();
}

std::optional<std::vector<ReplyField>> MeterSession::ReadStatus()
{
    const std::optional<MeterReply> model = Exchange(command::ModelQuery);
    if (!model) {
        return std::nullopt;
    }
    view_.modelId = ReadLeadingNumber(AnswerText(model->text));
    const std::optional<MeterReply> status = Exchange(command::StatusQuery);
    if (!status) {
        return std::nullopt;
    }
    return view_.Walk(status->text);
}

std::string AnswerText(const std::string& replyText)
{
    const ReplyField field = ReadField(replyText, 2, FieldContext {});
    return field.kind == ReplyField::Kind::Unknown ? field.unknownValue : std::string();
}

} // namespace pelicard
