#include "core/RenameForecast.h"

#include <cstring>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"

namespace quillet {
namespace {

// How long after its last change a directory's stamp can be trusted to move
// with the next one: the coarsest file time kept (FAT's two seconds), in
// 100-nanosecond steps.
constexpr std::uint64_t kSettled = 2 * 10000000u;

}  // namespace

// ---------------------------------------------------------------------------
// FactsAhead

namespace {

// Keeps what a rename would not move as a plain file of one name.
void Note(FactsAhead::Facts& facts, const std::string& name, const platform::EntryFacts& entry) {
  if (entry.Kind != platform::EntryKind::File || entry.OtherNames) facts.emplace(name, entry);
}

}  // namespace

FactsAhead::Facts FactsAhead::Ask(const std::string& dir, const std::vector<std::string>& names) {
  const platform::EntryProbe probe(dir);
  Facts facts;
  for (const std::string& name : names) Note(facts, name, probe.Of(name));
  return facts;
}

FactsAhead::FactsAhead(std::string dir, std::vector<std::string> names)
    : dir_(std::move(dir)), names_(std::move(names)) {
  threads_.reserve(HurriedThreads);
  StartThread();
}

void FactsAhead::Hurry() {
  while (threads_.size() < HurriedThreads) StartThread();
}

void FactsAhead::StartThread() {
  Facts& found = found_[threads_.size()];
  threads_.emplace_back([this, &found](std::stop_token stop) { Work(stop, found); });
}

void FactsAhead::Work(std::stop_token stop, Facts& found) {
  const platform::EntryProbe probe(dir_);
  for (std::size_t i; !stop.stop_requested() && (i = next_.fetch_add(1)) < names_.size();) {
    Note(found, names_[i], probe.Of(names_[i]));
    asked_.fetch_add(1, std::memory_order_relaxed);
  }
  finished_.fetch_add(1, std::memory_order_release);
}

std::optional<FactsAhead::Facts> FactsAhead::Take() {
  if (taken_ || finished_.load(std::memory_order_acquire) < threads_.size()) return std::nullopt;
  taken_ = true;
  Facts facts = std::move(found_[0]);
  for (std::size_t t = 1; t < threads_.size(); ++t) facts.merge(found_[t]);
  return facts;
}

// ---------------------------------------------------------------------------
// NameSet

void NameSet::Add(std::string_view name, std::string_view alias, bool exact) {
  if (name == "." || name == "..") return;
  std::string key = UpperCased(name);
  // The alias addresses its file even where the name does not. An alias that
  // is the name itself but for case stands for nothing more. A file spelt as
  // the alias may be listed too (a Linux disk holds one beside the long name
  // the alias was made for): both then answer to that name.
  if (!alias.empty()) {
    std::string aliasKey = UpperCased(alias);
    if (aliasKey != key) {
      Entry& short83 = names_[std::move(aliasKey)];
      if (short83.AliasOf.empty()) short83.AliasOf = key;
    }
  }
  Entry& entry = names_[std::move(key)];
  if (!dir_.empty()) listed_.emplace_back(name);
  if (entry.Spelling.empty()) entry.Spelling = name;
  if (exact) ++entry.Count;
  else entry.Inexact.emplace_back(name);
}

const NameSet::Entry* NameSet::Find(const std::string& key) const {
  auto it = names_.find(key);
  return it == names_.end() ? nullptr : &it->second;
}

void NameSet::Clear(const std::string& dir) {
  ahead_.reset();
  names_.clear();
  facts_.clear();
  listed_.clear();
  dir_ = dir;
  asked_ = false;
  hurried_ = false;
}

void NameSet::AskAhead() {
  if (dir_.empty() || asked_) return;
  asked_ = true;
  if (listed_.size() <= FactsAhead::AskedAtOnce) facts_ = FactsAhead::Ask(dir_, listed_);
  else ahead_ = std::make_unique<FactsAhead>(dir_, std::move(listed_));
  if (ahead_ && hurried_) ahead_->Hurry();
  listed_.clear();
}

bool NameSet::FactsIn() {
  if (!ahead_) return dir_.empty() || asked_;
  std::optional<FactsAhead::Facts> facts = ahead_->Take();
  if (!facts) return false;
  facts_ = std::move(*facts);
  ahead_.reset();
  return true;
}

void NameSet::Hurry() {
  hurried_ = true;
  if (ahead_) ahead_->Hurry();
}

std::pair<std::size_t, std::size_t> NameSet::FactsAsked() const {
  if (!ahead_) return {};
  return {ahead_->Asked(), ahead_->Count()};
}

platform::EntryFacts NameSet::FactsOf(const std::string& name) const {
  auto it = facts_.find(name);
  return it == facts_.end() ? platform::EntryFacts{} : it->second;
}

// ---------------------------------------------------------------------------
// ForecastRun

ForecastRun::ForecastRun(const RenamePlan& plan, const NameSet& before)
    : plan_(plan), before_(before), dirChars_(PathChars(plan.EntryDir)) {
  changes_.reserve(2 * plan.OldNames.size());  // each rename touches two names
}

int ForecastRun::NamesAt(const std::string& key) const {
  const NameSet::Entry* listed = before_.Find(key);
  auto it = changes_.find(key);
  return (listed ? listed->Count : 0) + (it == changes_.end() ? 0 : it->second.Added);
}

bool ForecastRun::Run(std::size_t count) {
  for (; !finished_ && count > 0; --count) {
    if (next_ >= plan_.OldNames.size()) {
      finished_ = true;
      break;
    }
    const LineAction action = Play(next_);
    if (action.How == LineAction::Refused) {
      stop_ = ForecastStop{next_, action.Fault, action.Party, renamed_};
      finished_ = true;
    }
    ++next_;
  }
  if (next_ >= plan_.OldNames.size()) finished_ = true;
  return finished_;
}

// The key of the file that the short alias key stands for, while that file
// keeps its name; else nothing. (The aliases that the platform gives renamed
// files are not known beforehand.)
std::string_view ForecastRun::AliasOwner(const std::string& key) const {
  const NameSet::Entry* listed = before_.Find(key);
  if (!listed || listed->AliasOf.empty()) return {};
  auto owner = changes_.find(listed->AliasOf);
  const bool moved = owner != changes_.end() && owner->second.Added < 0;
  return moved ? std::string_view() : std::string_view(listed->AliasOf);
}

// The names played over, answering DecideLine in place of the disk.
class ForecastRun::View final : public DirectoryView {
 public:
  explicit View(const ForecastRun& run) : DirectoryView(run.dirChars_), run_(run) {}

  Answer WhoAnswers(std::string_view oldName, std::string_view name, bool) override {
    const std::string key = UpperCased(name);
    const std::string oldKey = UpperCased(oldName);
    const std::string_view owner = run_.AliasOwner(key);
    if (!oldName.empty() && key == oldKey) {
      // Another spelling of the file's own name (a disk that tells letter
      // case apart lists both), a listed name that does not address its
      // entry, or another file's alias, as the batch's search sees them.
      const NameSet::Entry* listed = run_.before_.Find(key);
      const bool other = run_.NamesAt(key) > 1 || (listed && !listed->Inexact.empty()) || !owner.empty();
      return other ? Answer::Other : Answer::Nobody;
    }
    if (run_.NamesAt(key) > 0) {
      auto taken = run_.changes_.find(key);
      return taken != run_.changes_.end() && taken->second.Taken ? Answer::Renamed : Answer::Other;
    }
    if (owner.empty()) return Answer::Nobody;
    return owner == oldKey ? Answer::OwnAlias : Answer::Other;
  }

  bool FileThere(std::string_view oldName) override { return run_.NamesAt(UpperCased(oldName)) > 0; }

  platform::EntryFacts FactsOf(std::string_view oldName) override {
    return run_.before_.FactsOf(std::string(oldName));
  }

  // The earlier entry that took the name, and the spelling of the file in
  // the way (for a short alias, its file's own name).
  void FillInParty(RenameFault fault, std::string_view oldName, FaultParty& party) const override {
    const std::string key = UpperCased(party.Name);
    if (fault == RenameFault::NamesCollide) {
      auto taken = run_.changes_.find(key);
      if (taken == run_.changes_.end()) return;
      party.Line = taken->second.TakenBy;
      party.LineName = run_.plan_.OldNames[taken->second.TakenBy];
    } else if (fault == RenameFault::TargetExists) {
      const NameSet::Entry* listed = run_.before_.Find(key);
      if (listed && listed->Count == 0 && !listed->AliasOf.empty()) listed = run_.before_.Find(listed->AliasOf);
      // Beside another spelling of its own name, the line's file is no party.
      if (listed && listed->Spelling != oldName) party.Name = listed->Spelling;
    }
  }

 private:
  const ForecastRun& run_;
};

// The batch's own decision, with the directory's names in place of the disk;
// a line that renames its file moves the file's key. (A change of letter
// case leaves the key as it was.)
LineAction ForecastRun::Play(std::size_t index) {
  View view(*this);
  LineAction action = DecideLine(plan_, index, view);
  if (action.How != LineAction::Move && action.How != LineAction::Detour) return action;
  ++renamed_;
  std::string oldKey = UpperCased(plan_.OldNames[index]), newKey = UpperCased(action.NewName);
  if (oldKey != newKey) Move(oldKey, newKey, index);
  return action;
}

void ForecastRun::Move(const std::string& oldKey, const std::string& newKey, std::size_t index) {
  --changes_[oldKey].Added;
  Change& taken = changes_[newKey];
  ++taken.Added;
  taken.Taken = true;
  taken.TakenBy = index;
}

// ---------------------------------------------------------------------------
// RenameForecast

void RenameForecast::Start(const RenamePlan& plan) {
  plan_ = &plan;
  // The last run and listing go in the first step, not here: freeing their
  // thousands of names would hold up the list the caller is about to show.
  stale_ = true;
  done_ = false;
  waiting_ = false;
  guess_.reset();
  listOnly_ = false;
  const std::uint64_t stamp = platform::ChangeStamp(plan.EntryDir);
  // A stamp of 0 means none could be read, so the directory is listed every
  // time. It is also listed again when its last change came too soon before
  // the listing began: the file system's clock is coarse (ext4 some
  // milliseconds, FAT two seconds), and a change in the same tick as the
  // listing would leave the stamp as it was. A listing still under way goes
  // on, so that quick typing does not start it over with every key.
  reused_ = stamp != 0 && stamp == listedStamp_ && listedDir_ == plan.EntryDir &&
            listedAt_ > stamp + kSettled;
}

void RenameForecast::Prepare(const RenamePlan& plan) {
  // No directory (a path that could not be expanded): nothing to list.
  if (plan.EntryDir.empty()) return Cancel();
  Start(plan);
  listOnly_ = true;
}

void RenameForecast::Cancel() {
  plan_ = nullptr;
  stale_ = true;
  waiting_ = false;
  done_ = true;
}

void RenameForecast::Relist() {
  platform::FindClose(search_);
  listed_ = false;
  reused_ = false;
  listedDir_ = plan_->EntryDir;
  names_.Clear(listedDir_);
  // Taken before the listing: a change while it runs shows next time.
  listedStamp_ = platform::ChangeStamp(listedDir_);
  listedAt_ = platform::StampNow();
}

void RenameForecast::AddListed() {
  const platform::FindData& data = search_.Data;
  const char* alias = data.AlternateFileName;
  names_.Add(search_.Name, std::string_view(alias, strnlen(alias, sizeof data.AlternateFileName)),
             search_.NameExact);
}

// Reads up to work more names; the search opens on the first call, since
// opening it already reads much of the directory.
bool RenameForecast::List(std::size_t& work) {
  int err = 0;
  if (!search_.IsOpen()) {
    err = platform::FindFirst(listedDir_ + "*", platform::Everything, search_);
    if (err == 0) AddListed();
  }
  while (err == 0 && work > 0) {
    --work;
    err = platform::FindNext(search_);
    if (err == 0) AddListed();
  }
  if (err == 0) return false;
  platform::FindClose(search_);
  listed_ = true;
  return true;
}

bool RenameForecast::Advance(std::size_t work) {
  if (done_ || !plan_) return true;
  if (stale_) {
    run_.reset();
    if (!reused_) Relist();
    stale_ = false;
  }
  if (listOnly_) {
    // The disk's answers come ahead too.
    if (!listed_ && !List(work)) return false;
    names_.AskAhead();
    waiting_ = !names_.FactsIn();
    return done_ = !waiting_;
  }
  if (plan_->OldNames.empty()) return done_ = true;  // no line needs the listing
  if (!listed_ && !List(work)) return false;
  if (!run_) {
    guessed_ = !names_.FactsIn();
    run_.emplace(*plan_, names_);
  }
  if (!run_->Run(work)) return false;
  const auto& stop = run_->Stop();
  if (reused_ && stop && stop->Fault == RenameFault::FileMissing) {
    // A listed file the kept listing does not know: the stamp missed a
    // change (a coarse clock), so list again before saying so.
    run_.reset();
    Relist();
    return false;
  }
  if (guessed_) return Guessed();
  waiting_ = false;
  done_ = true;
  return true;
}

// A run played before the disk's answers were in took every entry for a
// file of one name: its stop stands until they are, and the run is played
// again with them. They are asked for only now, so that the thread's opens
// do not slow down the marks' run and the list's repaint.
bool RenameForecast::Guessed() {
  names_.AskAhead();
  if (names_.FactsIn()) {
    run_.reset();  // in at once (a small folder): played again right away
    return false;
  }
  guess_ = run_->Stop();
  waiting_ = true;
  return false;
}

std::optional<ForecastStop> RenameForecast::Stop() const {
  if (waiting_) return guess_;
  if (!done_ || stale_ || !run_) return std::nullopt;
  return run_->Stop();
}

}  // namespace quillet
