// The text services of the ANSI code page, straight from Windows.

#include "platform/Text.h"

#include <windows.h>

#include <array>
#include <string>

namespace quillet::platform {

// The code page cannot change while the process runs, so the table is read
// once; a function-local static because Win32 gives no other home for it.
const std::array<bool, 256>& LeadByteTable() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> lead{};
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info)) return lead;
    // Pairs of inclusive ranges, ended by a pair of zeros.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
      for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead[b] = true;
    return lead;
  }();
  return table;
}

void UpperCaseInPlace(char* text, std::size_t n) {
  if (n > 0) CharUpperBuffA(text, static_cast<DWORD>(n));
}

bool RoundTrips(std::string_view text) {
  // Bytes below 0x80 are characters of their own in every ANSI code page:
  // a plain name needs no conversion, which matters when the preview checks
  // thousands of names per keystroke.
  bool plain = true;
  for (char c : text) plain &= static_cast<unsigned char>(c) < 0x80;
  if (plain) return true;
  const int n = static_cast<int>(text.size());
  std::wstring wide(text.size(), L'\0');
  const int w = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), n, wide.data(), n);
  if (w <= 0) return false;
  std::string back(text.size() * 2, '\0');
  BOOL defaulted = FALSE;
  const int b = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), w, back.data(),
                                    static_cast<int>(back.size()), nullptr, &defaulted);
  return !defaulted && b == n && back.compare(0, text.size(), text) == 0;
}

int CompareText(const char* a, const char* b) { return lstrcmpA(a, b); }

}  // namespace quillet::platform
