// libFuzzer target over the name transformation, the path helpers and the
// batch's refusal rule. The input is name, mask and pattern separated by zero
// bytes.
//
// A longer run than the one ctest makes (from the build tree of the fuzz
// preset; new finds go to the first directory):
//   mkdir -p fuzz-corpus && tests/fuzz/fuzz_convert_name -max_total_time=1800 \
//       -max_len=4096 fuzz-corpus ../../tests/fuzz/corpus

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/BatchRename.h"
#include "core/NameTransform.h"
#include "core/PathUtil.h"
#include "platform/Text.h"
#include "tests/common/ChangeExtension.h"
#include "tests/fuzz/ExeStack.h"

namespace {

using quillet::ConvertName;
using quillet::RenamePattern;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Cuts the next piece off the front of input, up to a zero byte.
std::string_view NextPiece(std::string_view& input) {
  std::size_t end = input.find('\0');
  std::string_view piece = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return piece;
}

bool IsPrefix(std::string_view part, std::string_view whole) {
  return whole.substr(0, part.size()) == part;
}

bool IsSuffix(std::string_view part, std::string_view whole) {
  return part.size() <= whole.size() && whole.substr(whole.size() - part.size()) == part;
}

void CheckPathHelpers(std::string_view path) {
  std::string_view file = quillet::FileNamePart(path);
  std::string_view ext = quillet::Extension(path);
  Require(IsSuffix(file, path));
  Require(IsSuffix(ext, file));
  Require(ext.empty() || ext.front() == '.');
  Require(quillet::Extension(path, quillet::ExtensionBound(path)) == ext);
  Require(IsPrefix(quillet::DirectoryPart(path), path));
  Require(quillet::test::ChangeExtension(path, ext) == path);
  std::size_t p = quillet::LastDelimiter("\\:", path);
  Require(p <= path.size() && (p == 0 || path[p - 1] == '\\' || path[p - 1] == ':'));
  Require(quillet::UpperCased(path).size() == path.size());
}

// The spans of the captures lie in order inside their texts, none empty, and
// name no more captures than the name has bytes.
void CheckCaptures(std::string_view name, std::string_view mask, std::string_view pattern,
                   const std::string& result) {
  const quillet::ConvertedName made =
      quillet::ConvertNameWithCaptures(name, mask, RenamePattern(pattern));
  Require(made.NewName == result);
  for (const auto* spans : {&made.Old, &made.New}) {
    const std::size_t size = spans == &made.Old ? name.size() : result.size();
    std::size_t at = 0;
    for (const quillet::CaptureSpan& s : *spans) {
      Require(at <= s.Begin && s.Begin < s.End && s.End <= size);
      Require(s.Capture < name.size());
      at = s.End;
    }
  }
}

// The byte-wise rule the name transformation followed before it knew
// characters, written out plainly: for a name without lead bytes nothing may
// differ from it.
struct ByteWise {
  std::string slots[2][256];  // "*", "?"

  void Capture(std::string_view m, std::string n) {
    std::size_t next[2] = {0, 0};
    for (std::size_t w = quillet::WildcardPos(m); w > 0; w = quillet::WildcardPos(m)) {
      if (w > 1) {
        n.erase(0, w - 1);
        m.remove_prefix(w - 1);
        continue;
      }
      const int kind = m.front() == '?';
      m.remove_prefix(1);
      const std::string_view literal = quillet::LiteralHead(m);
      const std::size_t found = quillet::UpperCased(n).find(quillet::UpperCased(literal));
      const std::size_t taken = kind == 1 ? 1 : literal.empty() ? n.size() : found == n.npos ? 0 : found;
      std::size_t& slot = next[kind];
      if (slot < 256) slots[kind][slot] = n.substr(0, taken);
      n.erase(0, taken);
      if ((kind == 1 || !literal.empty()) && ++slot < 256) slots[kind][slot].clear();
    }
  }
  std::string Expand(std::string_view t) const {
    std::string out;
    std::size_t next[2] = {0, 0};
    for (char c : t) {
      const int kind = c == '?' ? 1 : c == '*' ? 0 : -1;
      if (kind < 0) out += c;
      else if (next[kind] < 256) out += slots[kind][next[kind]++];
    }
    return out;
  }
  std::string Convert(std::string_view name, std::string_view mask, std::string_view pattern) {
    const auto base = [](std::string_view x) {
      return quillet::test::ChangeExtension(quillet::FileNamePart(x), "");
    };
    Capture(base(mask), base(name));
    const std::string newBase = Expand(base(pattern));
    slots[0][0].clear();
    slots[1][0].clear();
    Capture(quillet::Extension(mask), std::string(quillet::Extension(name)));
    return quillet::test::ChangeExtension(newBase, Expand(quillet::Extension(pattern)));
  }
};

// text without what breaks code page 932: a lead byte without its trail.
std::string Whole932(std::string_view text) {
  std::string out;
  const quillet::platform::CharSteps steps(text);
  for (std::size_t i = 0; i < text.size();) {
    const std::string_view c = text.substr(i, steps.Next(i) - i);
    const bool whole = quillet::platform::RoundTrips(c);
    if (whole) out += c;
    i += whole ? c.size() : 1;
  }
  return out;
}

// Captures never split a character: whole characters in the name and the
// pattern give whole characters in the new name, whatever the mask; and a
// name without lead bytes gets the byte-wise result.
void CheckWholeCharacters(std::string_view name, std::string_view mask, std::string_view pattern,
                          const std::string& result) {
  const RenamePattern whole(Whole932(pattern));
  Require(quillet::platform::RoundTrips(ConvertName(Whole932(name), mask, whole)));
  const auto& lead = quillet::platform::LeadByteTable();
  if (std::none_of(name.begin(), name.end(), [&lead](char c) { return lead[static_cast<unsigned char>(c)]; }))
    Require(result == ByteWise().Convert(name, mask, pattern));
}

void CheckOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view name = NextPiece(input);
  std::string_view mask = NextPiece(input);
  std::string_view pattern = NextPiece(input);

  std::string result = ConvertName(name, mask, RenamePattern(pattern));
  // Each wildcard of the pattern brings at most a piece of the name.
  std::size_t wildcards = 0;
  for (char c : pattern) wildcards += c == '*' || c == '?';
  Require(result.size() <= pattern.size() + name.size() * wildcards);
  Require(ConvertName(name, mask, RenamePattern(pattern)) == result);  // no state kept
  CheckCaptures(name, mask, pattern, result);
  CheckWholeCharacters(name, mask, pattern, result);
  // No new name ever leads into another directory. The name transformation
  // may make a delimiter of pieces set side by side; the batch then refuses
  // the entry, and lets every other non-empty name through (told here by
  // the other delimiter search of the path helpers).
  quillet::RenamePlan plan;
  plan.OldNames = {std::string(name)};
  plan.NewNames = {result};
  plan.Addressable = {true};
  const bool delimited = quillet::LastDelimiter("\\/:", result) != 0;
  std::string made;
  Require((quillet::EntryFault(plan, 0, made) != quillet::RenameFault::None) == (result.empty() || delimited));

  std::size_t w = quillet::WildcardPos(mask);
  Require(quillet::LiteralHead(mask).size() == (w == 0 ? mask.size() : w - 1));

  CheckPathHelpers(name);
  CheckPathHelpers(mask);
  CheckPathHelpers(pattern);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillet::fuzz::OnExeStack([&] { CheckOneInput(data, size); });
  return 0;
}
