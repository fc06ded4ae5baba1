#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// One step of the walk over a meter reply: reading the field at a position. The reply parser loops
// over the fields, applies each to the window (which may switch the tab, the function and the range
// list) and reads the next field with the context updated. Nothing here touches a widget.
//
// A reply text is the whole frame: the byte 2, the fields, the byte 3 as its last character.
// Positions are 1-based (position 1 is the byte 2); the first field stands at position 2. Every
// field is followed by one separator character, whatever it is, that the walk skips unread.
namespace pelicard {

// What earlier fields of the same reply, through the window, may have changed.
struct FieldContext {
    int tab = 0; // the mode tab shown
    bool rpmWithoutProg = false; // the function is an "RPM..." one and its "Prog" button is unlit
    int rangeCount = 0; // entries in the range list
};

struct ReplyField {
    enum class Kind { Mod, Fun, Rge, Pst, Hld, Ptv, Ptr, Plr, Plv, Prv, Pcv, Drm, Unknown, End };

    // The shape of a "drm" field, which depends on the mode shown.
    enum class DrmForm {
        Plain, // the reading alone, the walk goes on (Data Logger, Compare Mode)
        Record, // reading, Max reading and stamp, Min reading and stamp (Record Mode)
        Relative, // reading and the relative value in percent; the walk ends
        ReadingOnly, // the reading, then the walk ends (Trend Plot, or an RPM function without Prog)
    };

    Kind kind = Kind::End;
    std::string tag; // the three characters at the position (fewer where the reply ends); empty at End
    int length = 0; // characters from the tag's first letter up to the separator
    bool endsWalk = true; // no field follows: Unknown, End, and the fields after which the walk stops

    // mod: tab; fun: function list position; rge: range list position; ptr: trend index.
    // Empty where the text is no number, or for rge a range digit that is none (the caller then
    // ignores the field). pst (bit set) and hld
    // always carry a number, 0 for a text that is none. Ranges are not checked here: the caller
    // knows its controls.
    std::optional<int> number;
    bool autoRange = false; // rge: the meter ranges by itself

    std::array<std::string, 3> labels; // ptv: the trend plot's three scale labels

    std::string levelText; // ptr: the point's 3-character value
    std::optional<int> level; // ptr: that value as a trend file reads it (0 when blank), none when it is text

    std::string address; // plr: the record's logger address
    std::string time; // plr: the record's time ("--EOD---" ends the memory)

    std::string samplingTime; // plv
    std::string startAddress; // plv
    std::string stopAddress; // plv

    // Readings by the meter that shows them: prv [1]; pcv [1] and [2]; drm [0], and in Record Mode
    // [1] (Max) and [2] (Min); plr [0] is the logger record's reading.
    std::array<std::string, 3> readings;
    std::array<std::string, 2> stamps; // drm in Record Mode: the times of Max and Min
    std::string relativeValue; // drm in Relative Mode, 7 characters
    DrmForm drmForm = DrmForm::Plain;

    std::string unknownValue; // Unknown: the rest of the reply before its end byte
};

// Reads the field at 1-based position p of the reply. A position at or past the reply's last
// character gives End. Fields that the reply cuts short yield shorter or empty texts; nothing is
// read past the end of the reply.
//
// "ptv": the third label ends at ":" or at the byte 3 within its 5 characters. When neither stands
// there the reply is malformed; the label takes the 5 characters (fewer at the reply's end) and
// the walk ends, since where the next field would begin cannot be known.
ReplyField ReadField(std::string_view replyText, int p, const FieldContext& context);

// Where the next field starts: behind the field and its separator, or p + 1 where the walk ends
// (no tag can stand there, so reading on there gives Unknown or End).
int NextPosition(const ReplyField& field, int p);

} // namespace pelicard
