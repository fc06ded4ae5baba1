#pragma once

#include "protocol/ReplyFields.h"

#include <string>
#include <string_view>
#include <vector>

// Test helpers: a walk over a whole reply the way the reply parser does it, and a compact text
// form of each field for transcripts.
namespace pelicard::test {

// The context a walk starts with. It stays as it is for the whole walk: how a field changes the
// context (a "mod" switching the tab, a "fun" refilling the range list) is the parser's work on the
// window, and is tested through the parser.
struct WalkStart {
    FieldContext context;
};

struct WalkedField {
    int position = 0;
    ReplyField field;
};

// Reads field after field from position 2 until a field ends the walk. Fails the current test if
// the walk does not end within the reply's length.
std::vector<WalkedField> Walk(std::string_view replyText, const WalkStart& start);

// "p:kind values", texts in double quotes with control bytes, '"', '\\' and '|' written as \xHH.
std::string Describe(const WalkedField& walked);

// Every text a field carries, in a fixed order, for checks that hold for all of them.
std::vector<const std::string*> TextsOf(const ReplyField& field);

} // namespace pelicard::test
