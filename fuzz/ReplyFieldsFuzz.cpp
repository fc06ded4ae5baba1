// The reply field walk over any bytes: it always ends and always moves forward, each field text is
// a piece of the reply between its start and end byte (so never the closing end byte, nor a control
// byte the reply does not hold there), texts keep their widths, numbers fit the characters they
// were read from, and only the range and reading fields depend on the window's context.
//
// Input: one byte of context (bits 0-2: the tab + 1, bit 3: an RPM function without Prog, bits 4-7:
// entries in the range list), then the whole reply text as the framing hands it over.

#include "FuzzCheck.h"
#include "protocol/ReplyFields.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using pelicard::FieldContext;
using pelicard::ReplyField;
using pelicard::fuzz::Require;
using pelicard::fuzz::Shown;

struct Text {
    const std::string* text;
    std::size_t width;
};

std::array<Text, 17> TextsOf(const ReplyField& f)
{
    return { { { &f.tag, 3 }, { &f.labels[0], 11 }, { &f.labels[1], 11 }, { &f.labels[2], 5 },
        { &f.levelText, 3 }, { &f.address, 5 }, { &f.time, 8 }, { &f.samplingTime, 3 },
        { &f.startAddress, 5 }, { &f.stopAddress, 5 }, { &f.readings[0], 11 }, { &f.readings[1], 11 },
        { &f.readings[2], 11 }, { &f.stamps[0], 8 }, { &f.stamps[1], 8 }, { &f.relativeValue, 7 },
        { &f.unknownValue, std::string::npos } } };
}

std::string Where(const std::string& reply, int p)
{
    return "reply \"" + Shown(reply) + "\" at position " + std::to_string(p);
}

// The largest number n characters can say.
int MostIn(int characters)
{
    int most = 1;
    for (int i = 0; i < characters; ++i) {
        most *= 10;
    }
    return most - 1;
}

template <typename Detail> void CheckNumber(const ReplyField& field, const Detail& where)
{
    using Kind = ReplyField::Kind;
    int characters = 0;
    switch (field.kind) {
    case Kind::Mod:
    case Kind::Fun:
    case Kind::Pst:
    case Kind::Hld:
        characters = 2;
        break;
    case Kind::Ptr:
        characters = 3;
        Require(std::abs(field.level.value_or(0)) <= MostIn(3), "a trend level fits its three characters", where);
        break;
    case Kind::Rge:
        Require(!field.number || (*field.number >= 0 && *field.number <= 10),
            "a range position is Auto or one of ten digits", where);
        return;
    default:
        Require(!field.number, "only number fields carry a number", where);
        return;
    }
    Require(!field.number || std::abs(*field.number) <= MostIn(characters),
        "a number fits the characters it was read from", where);
}

void CheckField(const std::string& reply, std::string_view inner, int p, const ReplyField& field,
    const ReplyField& otherContext)
{
    const auto where = [&] { return Where(reply, p); };
    const auto texts = TextsOf(field);
    for (const Text& t : texts) {
        const auto shown = [&] { return where() + ": \"" + Shown(*t.text) + "\""; };
        Require(t.text->size() <= t.width, "a field text keeps its width", shown);
        Require(inner.find(*t.text) != std::string_view::npos,
            "a field text is a piece of the reply between its start and end byte", shown);
    }
    CheckNumber(field, where);

    // Only the range and the reading depend on what the window shows.
    using Kind = ReplyField::Kind;
    if (field.kind == Kind::Rge || field.kind == Kind::Drm) {
        return;
    }
    const auto others = TextsOf(otherContext);
    bool same = otherContext.kind == field.kind && otherContext.length == field.length
        && otherContext.endsWalk == field.endsWalk && otherContext.number == field.number;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        same = same && *texts[i].text == *others[i].text;
    }
    Require(same, "a field other than rge and drm reads the same in every context", where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    FieldContext context;
    context.tab = (data[0] & 7) - 1;
    context.rpmWithoutProg = (data[0] & 8) != 0;
    context.rangeCount = data[0] >> 4;
    FieldContext other;
    other.tab = context.tab == 1 ? 2 : 1;
    other.rpmWithoutProg = !context.rpmWithoutProg;
    other.rangeCount = context.rangeCount == 1 ? 6 : 1;

    const std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
    // Fields are read from position 2 on (position 1 is the start byte) up to the end byte.
    const std::size_t bodyEnd = !reply.empty() && reply.back() == '\x03' ? reply.size() - 1 : reply.size();
    const std::string_view inner
        = bodyEnd > 1 ? std::string_view(reply).substr(1, bodyEnd - 1) : std::string_view();

    // The parser's loop: read on until the end or a tag it does not know.
    int p = 2;
    for (std::size_t steps = 0;; ++steps) {
        const auto where = [&] { return Where(reply, p); };
        Require(steps <= reply.size() + 1, "the walk ends", where);
        const ReplyField field = pelicard::ReadField(reply, p, context);
        Require((field.kind == ReplyField::Kind::End) == (static_cast<std::size_t>(p) >= reply.size()),
            "End comes exactly at the end of the reply", where);
        if (field.kind == ReplyField::Kind::End) {
            break;
        }
        CheckField(reply, inner, p, field, pelicard::ReadField(reply, p, other));
        if (field.kind == ReplyField::Kind::Unknown) {
            Require(field.endsWalk, "an unknown tag ends the walk", where);
            break;
        }
        const int next = pelicard::NextPosition(field, p);
        Require(next > p, "the walk moves forward", where);
        if (field.endsWalk) {
            const ReplyField::Kind after = pelicard::ReadField(reply, next, context).kind;
            Require(after == ReplyField::Kind::End || after == ReplyField::Kind::Unknown,
                "no field is read after one that ends the walk", where);
        }
        p = next;
    }
    return 0;
}
