#include "core/PathUtil.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <cstdint>
#include <cstring>

namespace quillet {

namespace {

// "/" counts beside "\": the file functions take it as a separator too, so a
// name or pattern holding one must never pass for a plain name.
constexpr std::string_view kPathDelimiters = "\\/:";
constexpr std::string_view kExtensionDelimiters = ".\\/:";

// A zero byte is never a delimiter. A plain loop: a library search for a set
// calls memchr once per byte of text, which costs more than the renaming.
bool InSet(std::string_view set, char c) {
  for (char d : set) {
    if (c == d && c != 0) return true;
  }
  return false;
}

// Eight bytes at a time: whether any byte of the set is among them (the
// zero-byte test on the word xor each set byte, repeated over the word).
constexpr std::uint64_t kLowBits = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

bool WordHasAny(const char* p, std::string_view set) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  for (char d : set) {
    std::uint64_t x = word ^ (kLowBits * static_cast<unsigned char>(d));
    if ((x - kLowBits) & ~x & kHighBits) return true;
  }
  return false;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A byte is the second half of a double-byte character when an odd run of
// lead-byte values stands right before it.
bool IsTrailByte(std::string_view text, std::size_t index) {
  std::size_t run = 0;
  while (index > run &&
         platform::IsLeadByte(static_cast<unsigned char>(text[index - run - 1]))) {
    ++run;
  }
  return run % 2 == 1;
}

// The search behind LastDelimiter. File names are scanned several times per
// new name, so eight bytes without a delimiter are passed over at once.
std::size_t LastOf(std::string_view text, std::string_view set) {
  const bool doubleByte = platform::HasLeadBytes();
  std::size_t i = text.size();
  for (;;) {
    while (i >= 8 && !WordHasAny(text.data() + i - 8, set)) i -= 8;
    while (i > 0 && !InSet(set, text[i - 1])) --i;
    if (i == 0) return 0;
    if (!doubleByte || !IsTrailByte(text, i - 1)) return i;
    // A trail byte: go on before its whole character (an odd run of lead
    // bytes stands before it, so its lead byte is there).
    i -= 2;
  }
}

}  // namespace

std::size_t LastDelimiter(std::string_view set, std::string_view text) {
  return LastOf(text, set);
}

std::string_view FileNamePart(std::string_view path) {
  return path.substr(LastOf(path, kPathDelimiters));
}

std::string_view Extension(std::string_view path) {
  std::size_t p = LastOf(path, kExtensionDelimiters);
  return p > 0 && path[p - 1] == '.' ? path.substr(p - 1) : std::string_view{};
}

std::string ChangeExtension(std::string_view path, std::string_view ext) {
  std::string result(path.substr(0, path.size() - Extension(path).size()));
  result += ext;
  return result;
}

std::string_view DirectoryPart(std::string_view path) {
  std::size_t p = LastOf(path, kPathDelimiters);
  // A plain byte test: a trail byte 0x5C before the separator keeps it, which
  // is harmless, since a doubled separator counts as one.
  if (p > 1 && IsSeparator(path[p - 1]) && !IsSeparator(path[p - 2]) &&
      path[p - 2] != ':') {
    --p;
  }
  return path.substr(0, p);
}

std::string FullPath(std::string_view path) { return platform::FullPath(path); }

std::string UpperCased(std::string_view text) {
  std::string copy(text);
  platform::UpperCaseInPlace(copy.data(), copy.size());
  return copy;
}

}  // namespace quillet
