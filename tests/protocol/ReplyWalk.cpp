#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>

namespace pelicard::test {

std::vector<WalkedField> Walk(std::string_view replyText, const FieldContext& context)
{
    std::vector<WalkedField> walked;
    int p = 2;
    // Every field moves on by at least one character, so a walk cannot take more steps than this.
    const std::size_t maxSteps = replyText.size() + 2;
    while (walked.size() < maxSteps) {
        ReplyField field = ReadField(replyText, p, context);
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

// Each text as a space and the text in double quotes.
std::string Quoted(std::initializer_list<std::string> texts)
{
    std::string out;
    for (const std::string& text : texts) {
        out += " \"";
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            char escaped[5] = { c, '\0' };
            if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\' || c == '|') {
                std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            }
            out += escaped;
        }
        out += '"';
    }
    return out;
}

} // namespace

std::string Describe(const WalkedField& walked)
{
    using Kind = ReplyField::Kind;
    static const char* const kinds[]
        = { "mod", "fun", "rge", "pst", "hld", "ptv", "ptr", "plr", "plv", "prv", "pcv", "drm", "?", "end" };
    static const char* const drmForms[] = { "", " record", " relative", " only" };
    const ReplyField& f = walked.field;
    std::string out = std::to_string(walked.position) + ":" + kinds[static_cast<int>(f.kind)];
    const std::string n = " n=" + (f.number ? std::to_string(*f.number) : std::string("-"));
    switch (f.kind) {
    case Kind::End:
        return out;
    case Kind::Unknown:
        return out + Quoted({ f.tag, f.unknownValue });
    case Kind::Rge:
        out += (f.autoRange ? " auto" : "") + n;
        break;
    case Kind::Ptv:
        out += Quoted({ f.labels[0], f.labels[1], f.labels[2] });
        break;
    case Kind::Ptr:
        out += n + Quoted({ f.levelText }) + "=" + (f.level ? std::to_string(*f.level) : std::string("none"));
        break;
    case Kind::Plr:
        out += Quoted({ f.address, f.time, f.readings[0] });
        break;
    case Kind::Plv:
        out += Quoted({ f.samplingTime, f.startAddress, f.stopAddress });
        break;
    case Kind::Prv:
        out += Quoted({ f.readings[1] });
        break;
    case Kind::Pcv:
        out += Quoted({ f.readings[1], f.readings[2] });
        break;
    case Kind::Drm:
        out += drmForms[static_cast<int>(f.drmForm)] + Quoted({ f.readings[0] });
        if (f.drmForm == ReplyField::DrmForm::Record) {
            out += Quoted({ f.readings[1], f.stamps[0], f.readings[2], f.stamps[1] });
        } else if (f.drmForm == ReplyField::DrmForm::Relative) {
            out += Quoted({ f.relativeValue });
        }
        break;
    default: // mod, fun, pst, hld
        out += n;
    }
    return out + (f.endsWalk ? " stop" : "");
}

std::vector<const std::string*> TextsOf(const ReplyField& f)
{
    return { &f.tag, &f.labels[0], &f.labels[1], &f.labels[2], &f.levelText, &f.address, &f.time,
        &f.samplingTime, &f.startAddress, &f.stopAddress, &f.readings[0], &f.readings[1], &f.readings[2],
        &f.stamps[0], &f.stamps[1], &f.relativeValue, &f.unknownValue };
}

} // namespace pelicard::test
