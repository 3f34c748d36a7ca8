#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "platform/Text.h"
#include "tests/flow/CaseName.h"

namespace quillet {
namespace {

struct SplitCase {
  const char* what;
  std::string line;
  std::vector<std::string> args;
};

// Shift-JIS bytes are spelled out: the splitter sees bytes, and these are the
// ones that look like ASCII punctuation from the second byte of a character.
const SplitCase kSplitCases[] = {
    {"plain arguments", "q.exe C:\\Photos\\IMG_*.JPG photo_*.jpg",
     {"C:\\Photos\\IMG_*.JPG", "photo_*.jpg"}},
    {"further arguments kept", "q.exe a b c d", {"a", "b", "c", "d"}},
    {"quoted program name with a blank", "\"C:\\Program Files\\q.exe\" a", {"a"}},
    {"program name after an empty pair", "\"\"q.exe a", {"a"}},
    {"empty line", "", {}},
    {"program name only", "q.exe", {}},
    {"program name and blanks", "q.exe   \t ", {}},
    {"quoted part in the middle", "q.exe C:\\My\" \"Docs\\*.txt x",
     {"C:\\My Docs\\*.txt", "x"}},
    {"quoted part with several blanks", "q.exe \"C:\\a  b\\*.*\"", {"C:\\a  b\\*.*"}},
    {"quotes between letters dropped", "q.exe a\"b\"c", {"abc"}},
    {"empty quoted first argument skipped", "q.exe \"\" photo_*.jpg", {"photo_*.jpg"}},
    {"several empty quoted arguments skipped", "q.exe \"\" \"\"\"\" a \"\" b", {"a", "b"}},
    {"empty pair glued to an argument", "q.exe \"\"a", {"a"}},
    {"unclosed quote runs to the end", "q.exe \"C:\\a b\\*.txt x y", {"C:\\a b\\*.txt x y"}},
    {"quoted blank is an argument", "q.exe \" \" a", {" ", "a"}},
    {"no escape character", "q.exe \"C:\\a b\\\" *.txt", {"C:\\a b\\", "*.txt"}},
    {"tab and control bytes separate", "q.exe\ta\x01" "b\x1f" "c\x0d\x0a" "d",
     {"a", "b", "c", "d"}},
    {"control bytes kept inside quotes", "q.exe \"a\x01" "b\"", {"a\x01" "b"}},
    {"DEL and high bytes are ordinary", "q.exe \x7f" "a \xb1\xb2", {"\x7f" "a", "\xb1\xb2"}},
    {"lone quote at the end is an empty argument", "q.exe a b \"", {"a", "b"}},
    {"quote left open after an argument", "q.exe a \"", {"a"}},
    {"zero byte ends the line", std::string("q.exe a\0b c", 11), {"a"}},
    // \x95\x5C is a kanji whose second byte is the backslash.
    {"trail byte 0x5C kept", "q.exe C:\\\x95\x5C\\*.txt", {"C:\\\x95\x5C\\*.txt"}},
    // A lead byte takes the next byte with it: 0x22 there is no quote.
    {"trail byte 0x22 is no quote", "q.exe \x83\x22" "a b", {"\x83\x22" "a", "b"}},
    {"trail byte 0x22 inside quotes", "q.exe \"\x83\x22" "a b\" c", {"\x83\x22" "a b", "c"}},
    {"trail byte 0x20 is no separator", "q.exe a\x81 b", {"a\x81 b"}},
    {"lead byte in the program name", "\x95\x22.exe a", {"a"}},
    {"lead byte at the very end", "q.exe a\x81", {"a\x81"}},
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.what; }

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Arguments) {
  EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
                         test::CaseName());

// Lines made of the bytes that matter (separators, quotes, backslashes, lead
// bytes and the trail bytes that look like them): whatever the mix, nothing is
// read past the line (the sanitizers watch), no argument is empty, and a quote
// byte survives only as the second byte of a double-byte character.
TEST(SplitCommandLine, ArgumentsOfMixedBytes) {
  const char alphabet[] = {' ', '\t', '\x01', '"', '"', 'a', '\\', '\x81', '\x95', '\x5C', '\xB1'};
  std::mt19937 random(1234);
  for (int round = 0; round < 20000; ++round) {
    std::string line(random() % 24, ' ');
    for (char& c : line) c = alphabet[random() % sizeof alphabet];
    std::size_t total = 0;
    for (const std::string& arg : SplitCommandLine(line)) {
      ASSERT_FALSE(arg.empty()) << line;
      total += arg.size();
      const platform::CharSteps steps(arg);
      for (std::size_t i = 0; i < arg.size(); i = steps.Next(i)) ASSERT_NE(arg[i], '"') << line;
    }
    EXPECT_LE(total, line.size()) << line;
  }
}

}  // namespace
}  // namespace quillet
