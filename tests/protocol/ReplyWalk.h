#pragma once

#include "protocol/ReplyFields.h"

#include <string>
#include <string_view>
#include <vector>

// A walk over a whole reply the way the reply parser does it, and a compact text form of each field
// for transcripts.
namespace pelicard::test {

struct WalkedField {
    int position = 0;
    ReplyField field;
};

// Reads field after field from position 2 until a field ends the walk, in a context that stays as it
// is (how a field changes it is the parser's work on the window). Fails the current test if the
// walk does not end within the reply's length.
std::vector<WalkedField> Walk(std::string_view replyText, const FieldContext& context);

// "p:kind values", texts in double quotes with control bytes, '"', '\\' and '|' written as \xHH.
std::string Describe(const WalkedField& walked);

// Every text a field carries, in a fixed order, for checks that hold for all of them.
std::vector<const std::string*> TextsOf(const ReplyField& field);

} // namespace pelicard::test
