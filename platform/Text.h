#pragma once
// Text services of the ANSI code page: what the path helpers need to step over
// double-byte characters, the locale's upper-casing, and the shell's text order.

#include <array>
#include <cstddef>
#include <string_view>

namespace quillet::platform {

// True when b lies in one of the ANSI code page's lead-byte ranges.
bool IsLeadByte(unsigned char b);

// The same as one flag per byte value, filled once: for loops that test byte
// after byte, where a call per byte would cost more than the test itself.
const std::array<bool, 256>& LeadByteTable();

// Characters in text as the code page reads it: a lead byte counts once with
// the byte after it. Path limits count these, not bytes.
inline std::size_t CharCount(std::string_view text) {
  const std::array<bool, 256>& lead = LeadByteTable();
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count)
    if (lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ++i;
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

// The next character: stays on a zero byte, steps two over a lead byte that is
// followed by a non-zero byte, else one (CharNextA).
const char* CharNext(const char* p);

}  // namespace quillet::platform
