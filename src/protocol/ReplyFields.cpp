#include "protocol/ReplyFields.h"

#include "values/LeadingNumber.h"
#include "values/TrendLevel.h"

#include <limits>

namespace pelicard {

namespace {

constexpr char EndByte = '\x03';

// The characters at 1-based positions start .. start + count - 1, as far as the text reaches.
std::string Mid(std::string_view text, std::size_t start, std::size_t count)
{
    if (start < 1 || start > text.size()) {
        return {};
    }
    return std::string(text.substr(start - 1, count));
}

std::optional<int> WholeNumberIfAny(std::string_view text)
{
    const std::optional<double> value = TryReadLeadingNumber(text);
    if (!value) {
        return std::nullopt;
    }
    return RoundHalfEven(*value);
}

int WholeNumber(std::string_view text)
{
    return RoundHalfEven(ReadLeadingNumber(text));
}

ReplyField::Kind KindOfTag(std::string_view tag)
{
    using Kind = ReplyField::Kind;
    struct Entry {
        std::string_view tag;
        Kind kind;
    };
    static constexpr Entry tags[]
        = { { "mod", Kind::Mod }, { "fun", Kind::Fun }, { "rge", Kind::Rge }, { "pst", Kind::Pst },
              { "hld", Kind::Hld }, { "ptv", Kind::Ptv }, { "ptr", Kind::Ptr }, { "plr", Kind::Plr },
              { "plv", Kind::Plv }, { "prv", Kind::Prv }, { "pcv", Kind::Pcv }, { "drm", Kind::Drm } };
    for (const Entry& entry : tags) {
        if (entry.tag == tag) {
            return entry.kind;
        }
    }
    return Kind::Unknown;
}

void ReadRange(std::string_view text, std::size_t p, const FieldContext& context, ReplyField& field)
{
    const std::string flag = Mid(text, p + 3, 1);
    field.autoRange = flag == "1";
    if (field.autoRange || context.rangeCount == 1) {
        field.number = 0; // "Auto", or the one fixed range
    } else {
        // The ranges after "Auto" count from 0. A garbled digit selects nothing rather than the
        // lowest range, which the range list would then send back to the meter.
        const std::string digit = Mid(text, p + 4, 1);
        if (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') {
            field.number = digit[0] - '0' + 1;
        }
    }
    field.length = 5;
}

// The third label ends at ":" or at the end byte, so it is looked for in the whole frame.
void ReadTrendLabels(std::string_view text, std::string_view body, std::size_t p, ReplyField& field)
{
    field.labels[0] = Mid(body, p + 3, 11);
    field.labels[1] = Mid(body, p + 15, 11);
    const std::string window = Mid(text, p + 27, 5);
    std::size_t end = window.find(':');
    if (end == std::string::npos) {
        end = window.find(EndByte);
    }
    if (end == std::string::npos) {
        field.labels[2] = window;
        field.endsWalk = true;
        field.length = 27 + static_cast<int>(window.size());
        return;
    }
    field.labels[2] = window.substr(0, end);
    field.length = 27 + static_cast<int>(end);
}

void ReadReading(std::string_view text, std::size_t p, const FieldContext& context, ReplyField& field)
{
    using Form = ReplyField::DrmForm;
    field.readings[0] = Mid(text, p + 3, 11);
    field.length = 14;
    if (context.rpmWithoutProg) {
        // The engine functions send no secondary readings while Prog is off.
        field.drmForm = Form::ReadingOnly;
        field.endsWalk = true;
        return;
    }
    switch (context.tab) {
    case 1:
        field.drmForm = Form::Record;
        field.readings[1] = Mid(text, p + 15, 11);
        field.stamps[0] = Mid(text, p + 27, 8);
        field.readings[2] = Mid(text, p + 36, 11);
        field.stamps[1] = Mid(text, p + 48, 8);
        field.length = 56;
        break;
    case 2:
        field.drmForm = Form::Relative;
        field.relativeValue = Mid(text, p + 15, 7);
        field.length = 22;
        field.endsWalk = true;
        break;
    case 4:
        field.drmForm = Form::ReadingOnly;
        field.endsWalk = true;
        break;
    default:
        // Data Logger, Compare Mode, and a tab index no mode has: the reading alone.
        field.drmForm = Form::Plain;
        break;
    }
}

} // namespace

ReplyField ReadField(std::string_view replyText, int p, const FieldContext& context)
{
    ReplyField field;
    if (p < 1 || static_cast<std::size_t>(p) >= replyText.size()) {
        return field; // End
    }
    // Field texts never take in the frame's closing end byte: a reply cut short gives shorter
    // texts, not texts that end in a control byte.
    const std::string_view body = !replyText.empty() && replyText.back() == EndByte
        ? replyText.substr(0, replyText.size() - 1)
        : replyText;
    const auto at = static_cast<std::size_t>(p);
    field.tag = Mid(body, at, 3);
    field.kind = KindOfTag(field.tag);
    field.endsWalk = false;

    using Kind = ReplyField::Kind;
    switch (field.kind) {
    case Kind::Mod:
    case Kind::Fun:
        field.number = WholeNumberIfAny(Mid(body, at + 3, 2));
        field.length = 5;
        break;
    case Kind::Pst:
    case Kind::Hld:
        field.number = WholeNumber(Mid(body, at + 3, 2));
        field.length = 5;
        break;
    case Kind::Rge:
        ReadRange(body, at, context, field);
        break;
    case Kind::Ptv:
        ReadTrendLabels(replyText, body, at, field);
        break;
    case Kind::Ptr:
        field.number = WholeNumberIfAny(Mid(body, at + 3, 3));
        field.levelText = Mid(body, at + 7, 3);
        field.level = trendfield::LevelOf(field.levelText);
        field.length = 10;
        break;
    case Kind::Plr:
        field.address = Mid(body, at + 3, 5);
        field.time = Mid(body, at + 9, 8);
        field.readings[0] = Mid(body, at + 18, 10);
        field.length = 28;
        break;
    case Kind::Plv:
        field.samplingTime = Mid(body, at + 3, 3);
        field.startAddress = Mid(body, at + 7, 5);
        field.stopAddress = Mid(body, at + 13, 5);
        field.length = 18;
        break;
    case Kind::Prv:
        field.readings[1] = Mid(body, at + 3, 11);
        field.length = 14;
        break;
    case Kind::Pcv:
        field.readings[1] = Mid(body, at + 3, 11);
        field.readings[2] = Mid(body, at + 15, 11);
        field.length = 26;
        break;
    case Kind::Drm:
        ReadReading(body, at, context, field);
        break;
    case Kind::Unknown:
    case Kind::End:
        // The rest of the reply up to, not including, its last character is the value: this is
        // how the free-text answers (caption, model number) are read.
        if (at + 3 < replyText.size()) {
            field.unknownValue = Mid(body, at + 3, replyText.size() - 1 - (at + 2));
        }
        field.endsWalk = true;
        break;
    }
    return field;
}

int NextPosition(const ReplyField& field, int p)
{
    const long long next
        = field.endsWalk ? static_cast<long long>(p) + 1 : static_cast<long long>(p) + field.length + 1;
    return next > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(next);
}

} // namespace pelicard
