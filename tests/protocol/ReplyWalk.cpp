#include "ReplyWalk.h"

#include "values/Functions.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace pelicard::test {

std::vector<WalkedField> Walk(std::string_view replyText, const WalkStart& start)
{
    std::vector<WalkedField> walked;
    FieldContext context = start.context;
    int p = 2;
    // Every field moves on by at least one character, so a walk cannot take more steps than this.
    const std::size_t maxSteps = replyText.size() + 2;
    while (walked.size() < maxSteps) {
        ReplyField field = ReadField(replyText, p, context);
        if (field.kind == ReplyField::Kind::Mod && field.number) {
            context.tab = *field.number;
        } else if (field.kind == ReplyField::Kind::Fun && field.number) {
            const std::string_view function = FunctionAt(start.modelId, *field.number);
            context.rangeCount = static_cast<int>(RangesForFunction(function).size());
            context.rpmWithoutProg = function.starts_with("RPM");
        }
        const bool ends = field.endsWalk;
        const int next = NextPosition(field, p);
        walked.push_back({ p, std::move(field) });
        if (ends) {
            return walked;
        }
        EXPECT_GT(next, p) << "the walk stands still";
        p = next;
    }
    ADD_FAILURE() << "the walk did not end within " << maxSteps << " fields";
    return walked;
}

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\' || c == '|') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Number(const std::optional<int>& number)
{
    return number ? std::to_string(*number) : std::string("-");
}

} // namespace

std::string Describe(const WalkedField& walked)
{
    using Kind = ReplyField::Kind;
    using Form = ReplyField::DrmForm;
    const ReplyField& f = walked.field;
    std::string out = std::to_string(walked.position) + ":";
    switch (f.kind) {
    case Kind::End:
        return out + "end";
    case Kind::Unknown:
        return out + "? " + Quoted(f.tag) + " " + Quoted(f.unknownValue);
    case Kind::Mod:
        out += "mod n=" + Number(f.number);
        break;
    case Kind::Fun:
        out += "fun n=" + Number(f.number);
        break;
    case Kind::Rge:
        out += std::string("rge ") + (f.autoRange ? "auto " : "") + "n=" + Number(f.number);
        break;
    case Kind::Pst:
        out += "pst n=" + Number(f.number);
        break;
    case Kind::Hld:
        out += "hld n=" + Number(f.number);
        break;
    case Kind::Ptv:
        out += "ptv " + Quoted(f.labels[0]) + " " + Quoted(f.labels[1]) + " " + Quoted(f.labels[2]);
        break;
    case Kind::Ptr:
        out += "ptr n=" + Number(f.number) + " " + Quoted(f.levelText) + "=" + std::to_string(f.level);
        break;
    case Kind::Plr:
        out += "plr " + Quoted(f.address) + " " + Quoted(f.time) + " " + Quoted(f.readings[0]);
        break;
    case Kind::Plv:
        out += "plv " + Quoted(f.samplingTime) + " " + Quoted(f.startAddress) + " " + Quoted(f.stopAddress);
        break;
    case Kind::Prv:
        out += "prv " + Quoted(f.readings[1]);
        break;
    case Kind::Pcv:
        out += "pcv " + Quoted(f.readings[1]) + " " + Quoted(f.readings[2]);
        break;
    case Kind::Drm:
        switch (f.drmForm) {
        case Form::Plain:
            out += "drm " + Quoted(f.readings[0]);
            break;
        case Form::Record:
            out += "drm record " + Quoted(f.readings[0]) + " " + Quoted(f.readings[1]) + " "
                + Quoted(f.stamps[0]) + " " + Quoted(f.readings[2]) + " " + Quoted(f.stamps[1]);
            break;
        case Form::Relative:
            out += "drm relative " + Quoted(f.readings[0]) + " " + Quoted(f.relativeValue);
            break;
        case Form::ReadingOnly:
            out += "drm only " + Quoted(f.readings[0]);
            break;
        }
        break;
    }
    if (f.endsWalk) {
        out += " stop";
    }
    return out;
}

std::string Frame(std::string_view fields, bool withEndByte)
{
    std::string reply = "\x02";
    reply += fields;
    if (withEndByte) {
        reply += '\x03';
    }
    return reply;
}

std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<const std::string*> TextsOf(const ReplyField& f)
{
    return { &f.tag, &f.labels[0], &f.labels[1], &f.labels[2], &f.levelText, &f.address, &f.time,
        &f.samplingTime, &f.startAddress, &f.stopAddress, &f.readings[0], &f.readings[1], &f.readings[2],
        &f.stamps[0], &f.stamps[1], &f.relativeValue, &f.unknownValue };
}

} // namespace pelicard::test
