#pragma once
// Text services of the ANSI code page: what the path helpers and the command
// line need to step over double-byte characters, the locale's upper-casing,
// and the shell's text order.

#include <array>
#include <cstddef>
#include <string_view>

namespace quillet::platform {

// Whether each byte value lies in one of the ANSI code page's lead-byte
// ranges, one flag per value, filled once: for loops that test byte after
// byte, where a call per byte would cost more than the test itself.
const std::array<bool, 256>& LeadByteTable();

// Steps through a text of the code page by characters: a lead byte and the
// byte after it are one character, every other byte is one of its own (so is
// a lead byte at the very end). With a single-byte code page every byte is a
// character. Every loop that cuts, searches or counts text steps with this:
// the table is read once, and each step is one look-up, inline.
class CharSteps {
 public:
  explicit CharSteps(std::string_view text) : text_(text), lead_(LeadByteTable()) {}

  // Where the character that starts at byte i (i < size) ends.
  std::size_t Next(std::size_t i) const { return IsLead(i) && i + 1 < text_.size() ? i + 2 : i + 1; }

  // Whether byte i is the second byte of a character, read backwards: an
  // odd run of lead-byte values stands right before it (any other byte ends
  // a character, whatever stands before it). One look-up before a byte that
  // is no lead byte.
  bool IsTrail(std::size_t i) const {
    std::size_t run = 0;
    while (i > run && IsLead(i - run - 1)) ++run;
    return run % 2 == 1;
  }

  // The first character boundary at or after byte at (at most the size).
  std::size_t Boundary(std::size_t at) const { return at < text_.size() && IsTrail(at) ? at + 1 : at; }

 private:
  bool IsLead(std::size_t i) const { return lead_[static_cast<unsigned char>(text_[i])]; }

  std::string_view text_;
  const std::array<bool, 256>& lead_;
};

// Characters in text as the code page reads it. Path limits count these, not
// bytes.
inline std::size_t CharCount(std::string_view text) {
  const CharSteps chars(text);
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i = chars.Next(i)) ++count;
  return count;
}

// Upper-cases n bytes in place; never changes the length and never splits a
// double-byte character (CharUpperBuffA).
void UpperCaseInPlace(char* text, std::size_t n);

// True when text converts to Unicode and back to the same bytes: a name
// that does not is stored under other bytes than it was given (a lone lead
// byte is dropped, a broken pair becomes another character).
bool RoundTrips(std::string_view text);

// Negative, zero or positive in the locale's text order (lstrcmpA).
int CompareText(const char* a, const char* b);

}  // namespace quillet::platform
