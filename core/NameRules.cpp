#include "core/NameRules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet {
namespace {

// The single bytes no Windows name may hold besides the path delimiters,
// which EntryFault turns away first: control bytes and < > " | ? *.
constexpr std::array<bool, 256> kRefusedBytes = [] {
  std::array<bool, 256> refused{};
  for (unsigned b = 1; b < 0x20; ++b) refused[b] = true;
  for (unsigned char c : {'<', '>', '"', '|', '?', '*', '\0'}) refused[c] = true;
  return refused;
}();

// Calls f(character) for every character of text: a lead byte and its
// trail byte are one. 0x7C ("|") and 0x5C ("\") are trail bytes in many
// double-byte characters.
template <class F>
void ForEachCharacter(std::string_view text, F&& f) {
  const platform::CharSteps steps(text);
  for (std::size_t i = 0, next = 0; i < text.size(); i = next) {
    next = steps.Next(i);
    f(text.substr(i, next - i));
  }
}

bool HasRefusedByte(std::string_view name) {
  bool refused = false;
  ForEachCharacter(name, [&](std::string_view c) {
    refused |= c.size() == 1 && kRefusedBytes[static_cast<unsigned char>(c[0])];
  });
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

// Whether name has the form of a short 8.3 alias the platform makes up for
// a long name, such as PHOTOG~1.JPG: a "~", at most eight bytes before the
// dot and three after it.
bool MayBeShortAlias(std::string_view name) {
  const std::size_t dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  return base.find('~') != std::string_view::npos && base.size() <= 8 && ext.size() <= 3 &&
         ext.find('.') == std::string_view::npos;
}

}  // namespace

// A separator after a double-byte character is no double.
std::size_t PathChars(std::string_view path) {
  std::size_t chars = 0;
  bool afterSeparator = false;
  ForEachCharacter(path, [&](std::string_view c) {
    const bool separator = c.size() == 1 && IsPathSeparator(c[0]);
    if (!(separator && afterSeparator)) ++chars;
    afterSeparator = separator;
  });
  return chars;
}

// Who a refused line's reason is about: the new one (as the disk would
// store it, once known), but the old one for a file gone, an entry no rename
// moves as listed, a listed file of a device's name and a file whose
// temporary names are all taken.
FaultParty PartyOf(const RenamePlan& plan, std::size_t index, RenameFault fault,
                   std::string_view storedNewName, const DirectoryView& dir) {
  if (index >= plan.OldNames.size() || index >= plan.NewNames.size()) return {};
  const std::string& oldName = plan.OldNames[index];
  const std::string& newName = plan.NewNames[index];
  const bool old = fault == RenameFault::FileMissing || fault == RenameFault::NotAFile ||
                   fault == RenameFault::DetoursTaken ||
                   (fault == RenameFault::DeviceName && !IsDeviceName(StoredName(newName)));
  FaultParty party;
  party.Name = old ? oldName : !storedNewName.empty() ? std::string(storedNewName) : newName;
  dir.FillInParty(fault, oldName, party);
  return party;
}

// The words of each reason. %N stands for the party's name, %L for the
// earlier line's number as the list counts (from 1), %O for its old name.
// ("%" is no trail byte of a double-byte character, so no kanji hides one.)
constexpr struct {
  RenameFault Fault;
  std::string_view Words;
} kFaultWords[] = {
    {RenameFault::EmptyName, "新しい名前が空です。"},
    {RenameFault::LeavesDirectory, "「%N」は別のディレクトリを指します。"},
    {RenameFault::NotAddressable, "表示された名前ではこのファイルを指定できません。"},
    {RenameFault::NotAFile, "「%N」はリンクか特殊なファイルのため、リネームできません。"},
    {RenameFault::BadCharacter, "「%N」にはWindowsで使えない文字があります。"},
    {RenameFault::DeviceName, "「%N」はデバイス名なので使えません。"},
    {RenameFault::PathTooLong, "「%N」ではパスが長すぎます。"},
    {RenameFault::TargetExists, "「%N」が既にあります。"},
    {RenameFault::DetoursTaken, "「%N」の一時的な名前がすべて使われています。"},
    {RenameFault::NamesCollide, "%L行目（%O）と同じ「%N」になります。"},
    {RenameFault::FileMissing, "「%N」が見つかりません。"},
    {RenameFault::SystemRefused, "Windowsがリネームを拒否しました。"},
};

std::string FaultText(RenameFault fault, const FaultParty& party) {
  const auto row = std::find_if(std::begin(kFaultWords), std::end(kFaultWords),
                                [fault](const auto& r) { return r.Fault == fault; });
  if (row == std::end(kFaultWords)) return {};
  std::string text;
  std::string_view rest = row->Words;
  for (std::size_t mark; (mark = rest.find('%')) != std::string_view::npos && mark + 1 < rest.size();) {
    text += rest.substr(0, mark);
    switch (rest[mark + 1]) {
      case 'N': text += party.Name; break;
      case 'L': text += std::to_string(party.Line.value_or(0) + 1); break;
      case 'O': text += party.LineName; break;
    }
    rest.remove_prefix(mark + 2);
  }
  return text += rest;
}

RenameFault EntryFault(const RenamePlan& plan, std::size_t index, std::string& newName) {
  if (index >= plan.OldNames.size() || index >= plan.NewNames.size() ||
      index >= plan.Addressable.size() || plan.NewNames[index].empty())
    return RenameFault::EmptyName;
  // The batch renames within one directory: a delimiter in the new name (one
  // that is no trail byte of a double-byte character) would lead elsewhere.
  newName = WholeNewName(plan, index);
  if (FileNamePart(newName).size() != newName.size()) return RenameFault::LeavesDirectory;
  return plan.Addressable[index] ? RenameFault::None : RenameFault::NotAddressable;
}

std::string_view StoredName(std::string_view name) {
  // Neither byte can be the trail byte of a double-byte character.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

namespace {

// The platform's refusals of a name new in a directory of dirChars
// characters: a temporary name obeys them as the new name does.
RenameFault NameFault(std::size_t dirChars, std::string_view name) {
  if (HasRefusedByte(name) || !platform::RoundTrips(name)) return RenameFault::BadCharacter;
  const std::string_view stored = StoredName(name);
  // ".", ".." or blanks: the directory itself or the one above it.
  if (stored.empty()) return RenameFault::LeavesDirectory;
  if (IsDeviceName(stored)) return RenameFault::DeviceName;
  const std::size_t chars = platform::CharCount(stored);
  if (chars > MaxNameChars || !platform::NameFitsDisk(stored) ||
      dirChars + chars > platform::MaxPathChars)
    return RenameFault::PathTooLong;
  return RenameFault::None;
}

}  // namespace

RenameFault NewNameFault(std::size_t dirChars, std::string_view oldName, std::string_view newName) {
  if (RenameFault fault = NameFault(dirChars, newName); fault != RenameFault::None) return fault;
  // A listed file of a device's name (a Linux disk may hold one) is out of
  // reach too: its path addresses the device.
  if (IsDeviceName(oldName)) return RenameFault::DeviceName;
  if (dirChars + platform::CharCount(oldName) > platform::MaxPathChars)
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

std::string CaseDetourName(std::size_t dirChars, std::string_view oldName, int attempt) {
  const std::string mark = ".~quillet" + std::to_string(attempt);
  const std::size_t fixed = dirChars + mark.size();
  if (fixed > platform::MaxPathChars) return {};
  // As many whole characters of the old name as the path and the name
  // limits leave room for.
  const std::size_t room = std::min(platform::MaxPathChars - fixed, MaxNameChars - mark.size());
  const platform::CharSteps steps(oldName);
  std::vector<std::size_t> ends{0};  // where each whole character of the trace ends
  while (ends.size() <= room && ends.back() < oldName.size()) ends.push_back(steps.Next(ends.back()));
  // The disk may count the name in bytes of its own (see NameFitsDisk), and
  // a cut may end where a device's name does: one character less each time.
  std::string temp;
  do {
    temp = std::string(oldName.substr(0, ends.back())) + mark;
    ends.pop_back();
  } while (!ends.empty() && NameFault(dirChars, temp) != RenameFault::None);
  return temp;
}

namespace {

// A free temporary name for the change of letter case, into temp; a taken
// one is passed over, and the bound keeps a directory full of them from
// costing more than this. None, or why there is none.
RenameFault FindDetour(std::string_view oldName, DirectoryView& view, std::string& temp) {
  for (int attempt = 0; attempt < CaseDetourAttempts; ++attempt) {
    std::string name = CaseDetourName(view.DirChars(), oldName, attempt);
    if (name.empty()) return RenameFault::PathTooLong;
    if (RenameFault fault = NameFault(view.DirChars(), name); fault != RenameFault::None) return fault;
    if (view.WhoAnswers({}, name, true) != DirectoryView::Answer::Nobody) continue;
    temp = std::move(name);
    return RenameFault::None;
  }
  return RenameFault::DetoursTaken;
}

// What the directory makes of line index, whose new name as the disk stores
// it is action.NewName: action says what to do, unless a fault refuses it.
RenameFault DecideOnDisk(const RenamePlan& plan, std::size_t index, DirectoryView& dir, LineAction& action) {
  const std::string& oldName = plan.OldNames[index];
  const RenameKind kind = KindOf(oldName, action.NewName);
  if (kind == RenameKind::Nothing) return RenameFault::None;
  if (!dir.FileThere(oldName)) return RenameFault::FileMissing;
  // Where the platform would move another file than the listed one (a
  // link's, under Wine) or none, the line stops before anything moves.
  const platform::EntryFacts facts = dir.FactsOf(oldName);
  if (facts.Kind != platform::EntryKind::File) return RenameFault::NotAFile;
  const bool caseOnly = kind == RenameKind::CaseOnly;
  // A short alias is asked about as the new name, since renaming a file to
  // its own alias would leave it as it is; so is any new name of a file with
  // other names, since renaming it to one of them would too.
  const bool mustKnow = caseOnly || MayBeShortAlias(action.NewName) || facts.OtherNames;
  // A case-sensitive disk may hold both spellings. The detour would then
  // fail at its second step, and the way back too where the other spelling
  // answers to the old name as well, leaving the file at the temporary name:
  // so any other file of the new name fails the line first.
  switch (dir.WhoAnswers(oldName, action.NewName, mustKnow)) {
    case DirectoryView::Answer::Other: return RenameFault::TargetExists;
    case DirectoryView::Answer::Renamed: return RenameFault::NamesCollide;
    // The file's own alias: the platform would find the file itself, as in
    // a rename onto the same name, and leave it as it is. Once the file is
    // at the temporary name, the alias is free.
    case DirectoryView::Answer::OwnAlias: break;
    case DirectoryView::Answer::Nobody:
    case DirectoryView::Answer::Unknown:
      if (caseOnly && !platform::RenameChangesCase()) break;
      action.How = LineAction::Move;
      return RenameFault::None;
  }
  action.How = LineAction::Detour;
  return FindDetour(oldName, dir, action.Temp);
}

}  // namespace

LineAction DecideLine(const RenamePlan& plan, std::size_t index, DirectoryView& dir) {
  LineAction action;
  const auto refuse = [&](RenameFault fault) {
    action.How = LineAction::Refused;
    action.Fault = fault;
    action.Party = PartyOf(plan, index, fault, action.NewName, dir);
    return action;
  };
  std::string newName;
  if (RenameFault fault = EntryFault(plan, index, newName); fault != RenameFault::None) return refuse(fault);
  const std::string& oldName = plan.OldNames[index];
  if (newName == oldName) return action;
  if (RenameFault fault = NewNameFault(dir.DirChars(), oldName, newName); fault != RenameFault::None)
    return refuse(fault);
  // Asking for the name the platform would store anyway lets a trailing dot
  // count in the case-only test as it counts on disk.
  action.NewName = StoredName(newName);
  if (RenameFault fault = DecideOnDisk(plan, index, dir, action); fault != RenameFault::None) return refuse(fault);
  return action;
}

}  // namespace quillet
