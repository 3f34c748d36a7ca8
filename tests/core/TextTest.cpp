// The text services of code page 932, as the path helpers and the windows
// rely on them: on Windows the real calls, elsewhere the stand-in.

#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"

namespace quillet::platform {
namespace {

TEST(Text, LeadBytesAreThoseOfCodePage932) {
  ASSERT_TRUE(LeadByteTable()[0x81]) << "the code page has lead bytes at all";
  for (int b = 0; b < 256; ++b) {
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(LeadByteTable()[b], lead) << b;
  }
}

TEST(Text, CharStepsStepOverWholeCharacters) {
  struct {
    std::string text;
    std::size_t step;
  } rows[] = {
      {"a", 1},
      {"\x95\x5c", 2},
      {"\x83\x5c" "a", 2},
      {"\xb1" "a", 1},   // half-width katakana: one byte
      {"\x81", 1},       // a lead byte at the end
  };
  for (const auto& r : rows) {
    EXPECT_EQ(CharSteps(r.text).Next(0), r.step) << r.text;
  }
}

TEST(Text, UpperCaseChangesLettersButNotDoubleByteHalves) {
  struct {
    std::string text;
    std::string upper;
  } rows[] = {
      {"az{AZ09_", "AZ{AZ09_"},
      {"\x83\x61\x83\x7a", "\x83\x61\x83\x7a"},  // katakana with trail bytes a, z
      {"\x95\x5c" "b", "\x95\x5c" "B"},
      {"\xb1z", "\xb1Z"},
#ifdef _WIN32
      {"\x82\x81\x82\x9a", "\x82\x60\x82\x79"},  // full-width a, z
#else
      {"\x82\x81\x82\x9a", "\x82\x81\x82\x9a"},
#endif
  };
  for (auto& r : rows) {
    std::string text = r.text;
    UpperCaseInPlace(text.data(), text.size());
    EXPECT_EQ(text, r.upper) << r.text;
  }
}

TEST(Text, UpperCaseTouchesOnlyTheGivenBytes) {
  std::string text = "abcd";
  UpperCaseInPlace(text.data(), 2);
  EXPECT_EQ(text, "ABcd");
  UpperCaseInPlace(text.data(), 0);
  EXPECT_EQ(text, "ABcd");
  // A lead byte cut off from its trail byte by the length: what becomes of
  // it is the platform's, but nothing past the length changes.
  text = "a\x83\x61z";
  UpperCaseInPlace(text.data(), 2);
  EXPECT_EQ(text.substr(0, 1), "A");
  EXPECT_EQ(text.substr(2), "\x61z");
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(Text, CompareTextIsCaseBlindFirstThenLowerBeforeUpper) {
  struct {
    const char* a;
    const char* b;
    int sign;
  } rows[] = {
      {"abc", "abc", 0},  {"", "", 0},        {"a", "", 1},
      {"abc", "ABD", -1}, {"ABD", "abc", 1},  {"Zeta", "alpha", 1},
      {"abc", "ABC", -1}, {"ABC", "abc", 1},  {"photos", "Photos", -1},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Sign(CompareText(r.a, r.b)), r.sign) << r.a << " / " << r.b;
  }
}

}  // namespace
}  // namespace quillet::platform
