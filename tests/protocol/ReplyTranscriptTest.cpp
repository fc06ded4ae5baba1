// Reply transcripts: each line of a file in tests/data/replies holds one reply, the context its walk
// starts with and the fields the walk must read, separated by '|':
//   "<reply with \xHH escapes>" | tab=0 rpm=0 ranges=6 model=1 | 2:fun n=1 | 8:end
#include "ReplyWalk.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pelicard::test {
namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitAtBars(const std::string& line)
{
    std::vector<std::string> parts;
    std::stringstream stream(line);
    std::string part;
    while (std::getline(stream, part, '|')) {
        parts.push_back(Trimmed(part));
    }
    return parts;
}

WalkStart ReadStart(const std::string& text)
{
    WalkStart start;
    std::stringstream stream(text);
    std::string token;
    while (stream >> token) {
        const auto equals = token.find('=');
        if (equals == std::string::npos) {
            ADD_FAILURE() << "bad context token " << token;
            continue;
        }
        const std::string key = token.substr(0, equals);
        const double value = std::stod(token.substr(equals + 1));
        if (key == "tab") {
            start.context.tab = static_cast<int>(value);
        } else if (key == "rpm") {
            start.context.rpmWithoutProg = value != 0;
        } else if (key == "ranges") {
            start.context.rangeCount = static_cast<int>(value);
        } else if (key == "model") {
            start.modelId = value;
        } else {
            ADD_FAILURE() << "unknown context key " << key;
        }
    }
    return start;
}

class ReplyTranscript : public ::testing::TestWithParam<const char*> { };

TEST_P(ReplyTranscript, WalkReadsTheExpectedFields)
{
    const std::string path = std::string(PELICARD_TEST_DATA) + "/replies/" + GetParam();
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file.is_open()) << path;
    std::string line;
    int lineNumber = 0;
    int cases = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> parts = SplitAtBars(line);
        ASSERT_GE(parts.size(), 3u) << GetParam() << ":" << lineNumber;
        const std::string& quoted = parts[0];
        ASSERT_TRUE(quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"')
            << GetParam() << ":" << lineNumber;
        const std::string reply = Unescape(std::string_view(quoted).substr(1, quoted.size() - 2));

        std::vector<std::string> actual;
        for (const WalkedField& walked : Walk(reply, ReadStart(parts[1]))) {
            actual.push_back(Describe(walked));
        }
        const std::vector<std::string> expected(parts.begin() + 2, parts.end());
        EXPECT_EQ(actual, expected) << GetParam() << ":" << lineNumber << "  " << quoted;
        ++cases;
    }
    EXPECT_GT(cases, 0) << "no cases in " << path;
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyTranscript,
    ::testing::Values("status.txt", "parameters.txt", "readings.txt", "cut.txt", "unknown.txt"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        return name.substr(0, name.find('.'));
    });

} // namespace
} // namespace pelicard::test
