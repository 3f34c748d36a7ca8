#include "core/NameRules.h"

#include <array>
#include <cctype>

#include "core/BatchRename.h"
#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet {
namespace {

// The single bytes no Windows name may hold besides the path delimiters,
// which EntryFault has already turned away: control bytes and < > " | ? *.
constexpr std::array<bool, 256> kRefusedBytes = [] {
  std::array<bool, 256> refused{};
  for (unsigned b = 1; b < 0x20; ++b) refused[b] = true;
  for (unsigned char c : {'<', '>', '"', '|', '?', '*', '\0'}) refused[c] = true;
  return refused;
}();

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Calls f(byte) for every byte that stands for itself and returns the
// number of characters: a lead byte and its trail byte are one. 0x7C ("|")
// and 0x5C ("\") are trail bytes in many double-byte characters.
template <class F>
std::size_t ForEachCharacter(std::string_view text, F&& f) {
  const std::array<bool, 256>& lead = platform::LeadByteTable();
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++chars) {
    if (lead[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ++i;
    else f(text[i]);
  }
  return chars;
}

// A doubled separator, as in the directory text of a drive root (C:\\),
// counts as one.
std::size_t PathCharacters(std::string_view path) {
  char previous = 0;
  std::size_t doubled = 0;
  const std::size_t chars = ForEachCharacter(path, [&](char c) {
    if (IsSeparator(c) && IsSeparator(previous)) ++doubled;
    previous = c;
  });
  return chars - doubled;
}

bool HasRefusedByte(std::string_view name) {
  bool refused = false;
  ForEachCharacter(name, [&](char c) { refused |= kRefusedBytes[static_cast<unsigned char>(c)]; });
  return refused;
}

bool EqualsUpper(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
  return true;
}

// What the platform takes for a device whatever the directory: the part
// before the first dot, blanks at its end dropped, is one of the reserved
// names (letter case aside). Digits 1 to 9 only: COM0 and COM10 are names.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsUpper(stem, device)) return true;
  if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9') return false;
  return EqualsUpper(stem.substr(0, 3), "COM") || EqualsUpper(stem.substr(0, 3), "LPT");
}

}  // namespace

RenameFault EntryFault(const RenamePlan& plan, std::size_t index) {
  if (!EntryRefused(plan, index)) return RenameFault::None;
  // Which refusal it was, for the reader only.
  if (index >= plan.NewNames.size() || plan.NewNames[index].empty()) return RenameFault::EmptyName;
  const std::string& newName = plan.NewNames[index];
  if (FileNamePart(newName).size() != newName.size()) return RenameFault::LeavesDirectory;
  return RenameFault::NotAddressable;
}

std::string_view StoredName(std::string_view name) {
  // Neither byte can be the trail byte of a double-byte character.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

RenameFault NewNameFault(std::string_view dir, std::string_view oldName, std::string_view newName) {
  if (HasRefusedByte(newName) || !platform::RoundTrips(newName)) return RenameFault::BadCharacter;
  const std::string_view stored = StoredName(newName);
  // ".", ".." or blanks: the directory itself or the one above it.
  if (stored.empty()) return RenameFault::LeavesDirectory;
  if (IsDeviceName(stored)) return RenameFault::DeviceName;
  const std::size_t dirChars = PathCharacters(dir);
  const std::size_t limit = platform::MaxPathChars;
  if (platform::CharCount(stored) > MaxNameChars || dirChars + platform::CharCount(stored) > limit ||
      dirChars + platform::CharCount(oldName) > limit)
    return RenameFault::PathTooLong;
  return RenameFault::None;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperCased(a) == UpperCased(b);
}

RenameKind KindOf(std::string_view oldName, std::string_view storedNewName) {
  if (storedNewName == oldName) return RenameKind::Nothing;
  return SameName(storedNewName, oldName) ? RenameKind::CaseOnly : RenameKind::Move;
}

}  // namespace quillet
