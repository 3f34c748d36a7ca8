// Stand-in for the text services of code page 932 where the Windows calls are
// missing: the lead-byte ranges of 932, ASCII-only upper-casing and a plain
// text order.

#include "platform/Text.h"

namespace quillet::platform {

namespace {

bool IsAsciiLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

unsigned char FoldCase(unsigned char c) {
  return IsAsciiLower(c) ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

constexpr bool InLeadRange(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

const std::array<bool, 256>& LeadByteTable() {
  static constexpr std::array<bool, 256> table = [] {
    std::array<bool, 256> t{};
    for (unsigned b = 0; b < t.size(); ++b) t[b] = InLeadRange(static_cast<unsigned char>(b));
    return t;
  }();
  return table;
}

// Only a to z change. The Windows call also changes full-width Latin, Greek
// and Cyrillic letters; those stay as they are here.
void UpperCaseInPlace(char* text, std::size_t n) {
  // A trail byte belongs to its character: never a letter.
  const CharSteps steps({text, n});
  for (std::size_t i = 0; i < n; i = steps.Next(i)) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsAsciiLower(c)) text[i] = static_cast<char>(FoldCase(c));
  }
}

// Whole double-byte characters are all that is checked: a lead byte needs a
// trail byte (40-7E or 80-FC). Which pairs code page 932 leaves unassigned
// is not known here.
bool RoundTrips(std::string_view text) {
  const CharSteps steps(text);
  for (std::size_t i = 0, next = 0; i < text.size(); i = next) {
    next = steps.Next(i);
    const auto b = static_cast<unsigned char>(text[next - 1]);
    // A lead byte alone (at the end), or with a byte that cannot trail it.
    if (next == i + 1 ? InLeadRange(b) : (b < 0x40 || b == 0x7F || b > 0xFC)) return false;
  }
  return true;
}

// Letters compare case-blind first; between texts that differ only in case,
// lower case comes first; else byte order. Not reproduced from the Windows
// word sort: hyphens and apostrophes are not nearly ignored, punctuation and
// digits keep their byte order, and double-byte text sorts by its bytes.
int CompareText(const char* a, const char* b) {
  auto ua = reinterpret_cast<const unsigned char*>(a);
  auto ub = reinterpret_cast<const unsigned char*>(b);
  int caseOrder = 0;
  for (;; ++ua, ++ub) {
    unsigned char fa = FoldCase(*ua), fb = FoldCase(*ub);
    if (fa != fb) return fa < fb ? -1 : 1;
    if (*ua == 0) return caseOrder;
    if (caseOrder == 0 && *ua != *ub) caseOrder = IsAsciiLower(*ua) ? -1 : 1;
  }
}

}  // namespace quillet::platform
