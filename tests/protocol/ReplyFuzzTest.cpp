// Thousands of random and mutated replies through the field walk: it always ends, never reads past
// the reply (the sanitizer build watches that) and only ever hands out pieces of the reply.
#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pelicard::test {
namespace {

TEST(ReplyFuzz, RandomAndMutatedRepliesAlwaysEndTheWalk)
{
    std::mt19937 random(20111221);
    // Mostly the characters replies are made of, so that tags and fields form often.
    const std::string common = "modfunrgepsthlvcrx0123456789 .,:-+O\x02\x03";
    const auto byte = [&] {
        const auto value = random();
        return value % 5 == 0 ? static_cast<char>(value >> 8) : common[(value >> 8) % common.size()];
    };
    const char* const tags[]
        = { "mod", "fun", "rge", "pst", "hld", "ptv", "ptr", "plr", "plv", "prv", "pcv", "drm" };
    // Well-formed replies of every kind to mutate.
    const char* const samples[] = { "fun01,rge10,mod00,hld00,pst00", "ptv-200.00mVdc, 200.00mVdc,20S:pst02",
        "ptr012,025,ptr013,026", "plr00001,12:00:00, 4.9999V  ,plr00002,--EOD---, 0.0000V  ",
        "plv001,00000,00500,pst00", "prv  12.345mV ,pst08", "pcv  4.9999V  ,  1.0000V  ,pst01",
        "drm  4.9999V  ,  5.0000V  ,12:00:01,  0.1000V  ,12:00:02,pst01", "mod02,drm  4.9999V  , 12.34%",
        "sd94", "\x06" };
    for (int i = 0; i < 40000 && !HasFailure(); ++i) {
        std::string reply
            = i % 2 == 0 ? "" : "\x02" + std::string(samples[random() % std::size(samples)]) + "\x03";
        for (auto n = i % 2 == 0 ? random() % 91 : 0; n > 0; --n) {
            reply += byte();
        }
        for (auto edits = 1 + random() % 4; edits > 0; --edits) {
            const std::size_t at = reply.empty() ? 0 : random() % reply.size();
            if (random() % 2 == 0) {
                reply.insert(
                    at, random() % 2 == 0 ? std::string(tags[random() % 12]) : std::string(1, byte()));
            } else {
                reply.erase(at, random() % 2 == 0 ? 1 : std::string::npos); // a byte, or all from there
            }
        }
        const FieldContext context { static_cast<int>(random() % 9) - 2, random() % 2 == 1,
            static_cast<int>(random() % 9) };

        const std::vector<WalkedField> walk = Walk(reply, context);
        ASSERT_FALSE(walk.empty());
        const WalkedField& last = walk.back();
        EXPECT_TRUE(last.field.endsWalk);
        // A parser that reads on until End or Unknown stops right after a field that ends the walk.
        if (last.field.kind != ReplyField::Kind::End && last.field.kind != ReplyField::Kind::Unknown) {
            const auto after = ReadField(reply, NextPosition(last.field, last.position), context).kind;
            EXPECT_TRUE(after == ReplyField::Kind::End || after == ReplyField::Kind::Unknown)
                << Describe(last);
        }
        // The widths of the texts in TextsOf order; the unknown value takes the rest of the reply.
        const std::size_t widths[] = { 3, 11, 11, 5, 3, 5, 8, 3, 5, 5, 11, 11, 11, 8, 8, 7, reply.size() };
        for (const WalkedField& walked : walk) {
            if (walked.field.kind != ReplyField::Kind::End) {
                EXPECT_LT(static_cast<std::size_t>(walked.position), reply.size());
            }
            const auto texts = TextsOf(walked.field);
            for (std::size_t t = 0; t < texts.size(); ++t) {
                EXPECT_LE(texts[t]->size(), widths[t]) << Describe(walked);
                EXPECT_NE(reply.find(*texts[t]), std::string::npos) << Describe(walked);
            }
            if (walked.field.kind == ReplyField::Kind::Rge && walked.field.number) {
                EXPECT_TRUE(*walked.field.number >= 0 && *walked.field.number <= 10) << Describe(walked);
            }
        }
    }
}

} // namespace
} // namespace pelicard::test
