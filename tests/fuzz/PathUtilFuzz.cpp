// libFuzzer target over the path helpers. The input is one path; a zero byte
// in it is a plain byte to the helpers, never a delimiter.
//
// A longer run than the one ctest makes (from the build tree of the fuzz
// preset; new finds go to the first directory):
//   mkdir -p path-corpus && tests/fuzz/fuzz_path_util -max_total_time=1800 \
//       -max_len=4096 path-corpus ../../tests/fuzz/path-corpus

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/common/ChangeExtension.h"
#include "tests/fuzz/ExeStack.h"

namespace {

bool IsLeadByte(unsigned char b) { return quillet::platform::LeadByteTable()[b]; }

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsPrefix(std::string_view part, std::string_view whole) {
  return whole.substr(0, part.size()) == part;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsPathDelimiter(char c) { return IsSeparator(c) || c == ':'; }
bool IsExtensionDelimiter(char c) { return IsPathDelimiter(c) || c == '.'; }

// Which bytes are the second byte of a double-byte character, worked out from
// the front: a lead byte takes the byte after it along. The helpers decide it
// from behind, by the run of lead bytes before a byte, and must agree.
std::vector<bool> TrailBytes(std::string_view text) {
  std::vector<bool> trail(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) trail[++i] = true;
  }
  return trail;
}

// Where the last delimiter must be, found byte by byte from the end: the last
// byte in the set that is not a trail byte. A trail byte in the set hides its
// lead byte too, since the search goes on before the whole character.
template <class InSet>
std::size_t ExpectedLast(std::string_view text, const std::vector<bool>& trail, InSet inSet) {
  auto counts = [&](std::size_t i) { return text[i] != 0 && inSet(text[i]); };
  for (std::size_t i = text.size(); i > 0; --i) {
    if (trail[i - 1]) {
      if (counts(i - 1)) --i;  // the lead byte is passed over with it
      continue;
    }
    if (counts(i - 1)) return i;
  }
  return 0;
}

void CheckLastDelimiter(std::string_view set, std::string_view path,
                        const std::vector<bool>& trail) {
  auto inSet = [set](char c) { return set.find(c) != std::string_view::npos; };
  Require(quillet::LastDelimiter(set, path) == ExpectedLast(path, trail, inSet));
}

// File-name part and directory part: put back together, with at most the one
// separator between them, they give the path.
void CheckParts(std::string_view path, const std::vector<bool>& trail) {
  const std::size_t k = ExpectedLast(path, trail, IsPathDelimiter);
  const std::string_view file = quillet::FileNamePart(path);
  Require(file == path.substr(k));

  const std::string_view dir = quillet::DirectoryPart(path);
  Require(IsPrefix(dir, path));
  // The separator goes unless it is a root's: first in the path, after a
  // drive colon, or after another separator.
  const bool dropsSeparator =
      k > 1 && IsSeparator(path[k - 1]) && !IsSeparator(path[k - 2]) && path[k - 2] != ':';
  Require(dir.size() == (dropsSeparator ? k - 1 : k));
}

void CheckExtension(std::string_view path, const std::vector<bool>& trail) {
  const std::size_t d = ExpectedLast(path, trail, IsExtensionDelimiter);
  const std::string_view ext = quillet::Extension(path);
  Require(ext == (d > 0 && path[d - 1] == '.' ? path.substr(d - 1) : std::string_view{}));
  Require(ext.size() <= quillet::FileNamePart(path).size());

  const std::string base = quillet::test::ChangeExtension(path, "");
  Require(base + std::string(ext) == path);
  Require(quillet::test::ChangeExtension(path, ext) == path);
  // A new extension is found again, unless the base ends in a lead byte that
  // takes its dot as the second byte of a character.
  const std::string renamed = quillet::test::ChangeExtension(path, ".x");
  const bool swallowsDot = !base.empty() && !trail[base.size() - 1] &&
                           IsLeadByte(static_cast<unsigned char>(base.back()));
  Require(swallowsDot || quillet::Extension(renamed) == ".x");
}

// The stand-in's upper-casing raises a to z only, and never the second byte
// of a character.
void CheckUpperCased(std::string_view path, const std::vector<bool>& trail) {
  const std::string upper = quillet::UpperCased(path);
  Require(upper.size() == path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    const bool raised = !trail[i] && c >= 'a' && c <= 'z';
    Require(upper[i] == (raised ? static_cast<char>(c - 'a' + 'A') : c));
  }
}

// As the system sees it, a zero byte ends the path. An absolute path stays as
// it is.
void CheckFullPath(std::string_view path) {
  const std::string full = quillet::FullPath(path.substr(0, path.find('\0')));
  if (full.empty()) return;
  // The limit counts characters: a double-byte one takes two bytes of it.
  Require(quillet::platform::CharCount(full) <= quillet::platform::MaxPathChars);
  Require(quillet::FullPath(full) == full);
}

void CheckOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const std::vector<bool> trail = TrailBytes(path);

  CheckLastDelimiter("\\:", path, trail);
  CheckLastDelimiter(".", path, trail);
  // A set of the path's own first bytes: lead bytes and zero bytes in it too.
  CheckLastDelimiter(path.substr(0, 3), path, trail);
  CheckParts(path, trail);
  CheckExtension(path, trail);
  CheckUpperCased(path, trail);
  CheckFullPath(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillet::fuzz::OnExeStack([&] { CheckOneInput(data, size); });
  return 0;
}
