#include "core/PathUtil.h"

#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <array>

namespace quillet {

namespace {

// A set of bytes as one flag per byte value: a byte test is one look-up.
// A zero byte is never a delimiter.
class ByteSet {
 public:
  constexpr explicit ByteSet(std::string_view bytes) {
    for (char c : bytes) has_[static_cast<unsigned char>(c)] = c != 0;
  }
  constexpr bool Has(char c) const { return has_[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> has_{};
};

// "/" counts beside "\": the file functions take it as a separator too, so a
// name or pattern holding one must never pass for a plain name.
constexpr ByteSet kPathDelimiters("\\/:");
constexpr ByteSet kExtensionDelimiters(".\\/:");

// Position of the last byte before end that is in the set, trail byte or
// not. A plain byte loop: names are short, and testing eight bytes at a
// time measured no faster in bench_convert_name for names under 260 bytes.
std::size_t LastCandidate(std::string_view text, std::size_t end, const ByteSet& set) {
  std::size_t i = end;
  while (i > 0 && !set.Has(text[i - 1])) --i;
  return i;
}

// The search behind the helpers: position of the last byte of text in the
// set that is not a trail byte. No byte of the set stands from end on.
std::size_t LastOf(std::string_view text, const ByteSet& set, std::size_t end) {
  std::size_t i = LastCandidate(text, end, set);
  // A trail byte: go on before its whole character (an odd run of lead
  // bytes stands before it, so its lead byte is there).
  const platform::CharSteps chars(text);
  while (i > 0 && chars.IsTrail(i - 1)) i = LastCandidate(text, i - 2, set);
  return i;
}

}  // namespace

std::size_t LastDelimiter(std::string_view set, std::string_view text) {
  return LastOf(text, ByteSet(set), text.size());
}

std::string_view FileNamePart(std::string_view path) {
  return path.substr(LastOf(path, kPathDelimiters, path.size()));
}

std::string_view Extension(std::string_view path) { return Extension(path, path.size()); }

std::size_t ExtensionBound(std::string_view text) {
  return LastCandidate(text, text.size(), kExtensionDelimiters);
}

std::string_view Extension(std::string_view path, std::size_t bound) {
  std::size_t p = LastOf(path, kExtensionDelimiters, bound);
  return p > 0 && path[p - 1] == '.' ? path.substr(p - 1) : std::string_view{};
}

std::string_view DirectoryPart(std::string_view path) {
  std::size_t p = LastOf(path, kPathDelimiters, path.size());
  // A plain byte test: a trail byte 0x5C before the separator keeps it, which
  // is harmless, since a doubled separator counts as one.
  if (p > 1 && IsPathSeparator(path[p - 1]) && !IsPathSeparator(path[p - 2]) &&
      path[p - 2] != ':') {
    --p;
  }
  return path.substr(0, p);
}

std::string FullPath(std::string_view path) { return platform::FullPath(path); }

std::string UpperCased(std::string_view text) {
  std::string copy(text);
  // Bytes below 0x80 are characters of their own in every ANSI code page,
  // and of them only a to z change: a plain name needs no call, which
  // matters when the preview upper-cases thousands of names per keystroke.
  bool plain = true;
  for (char& c : copy) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      plain = false;
      break;
    }
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (!plain) platform::UpperCaseInPlace(copy.data(), copy.size());
  return copy;
}

}  // namespace quillet
