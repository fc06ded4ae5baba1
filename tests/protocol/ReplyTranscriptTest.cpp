// Reply transcripts: each line of a file in tests/data/replies holds one reply, the context its walk
// starts with and the fields the walk must read, separated by '|':
//   "<reply with \xHH escapes>" | tab=0 rpm=0 ranges=6 | 2:fun n=1 | 8:end
#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace pelicard::test {
namespace {

// Turns \xHH escapes into bytes.
std::string Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text.substr(i, 2) == "\\x" && i + 3 < text.size();
        out += escape ? static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16))
                      : text[i];
        i += escape ? 3 : 0;
    }
    return out;
}

std::vector<std::string> SplitAtBars(const std::string& line)
{
    std::vector<std::string> parts;
    std::stringstream stream(line);
    for (std::string part; std::getline(stream, part, '|');) {
        const auto first = part.find_first_not_of(" \r");
        parts.push_back(
            first == std::string::npos ? "" : part.substr(first, part.find_last_not_of(" \r") + 1 - first));
    }
    return parts;
}

// "tab=4 rpm=1 ranges=6", any of them left out.
FieldContext ReadContext(const std::string& text)
{
    std::map<std::string, double> values { { "tab", 0 }, { "rpm", 0 }, { "ranges", 0 } };
    std::stringstream stream(text);
    for (std::string token; stream >> token;) {
        const std::string key = token.substr(0, token.find('='));
        EXPECT_EQ(values.count(key), 1u) << "unknown context key " << key;
        values[key] = std::stod(token.substr(key.size() + 1));
    }
    return { static_cast<int>(values["tab"]), values["rpm"] != 0, static_cast<int>(values["ranges"]) };
}

TEST(ReplyTranscript, WalksReadTheExpectedFields)
{
    for (const char* name : { "status.txt", "parameters.txt", "readings.txt", "cut.txt", "unknown.txt" }) {
        std::ifstream file(std::string(PELICARD_TEST_DATA) + "/replies/" + name, std::ios::binary);
        ASSERT_TRUE(file.is_open()) << name;
        int lineNumber = 0;
        int cases = 0;
        for (std::string line; std::getline(file, line);) {
            ++lineNumber;
            const std::vector<std::string> parts = SplitAtBars(line);
            if (parts.empty() || parts[0].empty() || parts[0][0] == '#') {
                continue;
            }
            const std::string& quoted = parts[0];
            ASSERT_TRUE(
                parts.size() >= 3 && quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"')
                << name << ":" << lineNumber;
            std::vector<std::string> actual;
            for (const WalkedField& walked :
                Walk(
                    Unescape(std::string_view(quoted).substr(1, quoted.size() - 2)), ReadContext(parts[1]))) {
                actual.push_back(Describe(walked));
            }
            EXPECT_EQ(actual, std::vector(parts.begin() + 2, parts.end()))
                << name << ":" << lineNumber << "  " << quoted;
            ++cases;
        }
        EXPECT_GT(cases, 0) << "no cases in " << name;
    }
}

} // namespace
} // namespace pelicard::test
