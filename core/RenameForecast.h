#pragma once
// Where the batch will stop, and why, before it runs: the batch played over
// the plan and the names the directory holds, touching nothing. Each line is
// decided by the batch's own DecideLine (NameRules), with the names played
// over standing in for the disk.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/NameRules.h"
#include "core/RenamePlan.h"
#include "platform/FileSystem.h"
#include "platform/Search.h"

namespace quillet {

// Where the batch stops and why, who else the reason is about, and how many
// files it renames before it: moves and detours, not the lines whose file
// keeps its name.
struct ForecastStop {
  std::size_t Index;
  RenameFault Fault;
  FaultParty Party = {};
  std::size_t Renamed = 0;
};

// The facts of a listing's entries, asked of the disk on threads of their
// own. Under Wine that costs an open per entry (platform::EntryProbe), some
// 0.1 ms, seconds for a large folder: the window's thread shows the list and
// its marks meanwhile, and waits only where the answers decide (Rename). The
// threads share nothing with the caller but the count asked so far and the
// result, handed over once and whole; dropped early, they stop at the next
// entry and are joined.
class FactsAhead {
 public:
  // By name, those entries only that a rename would not move as a plain
  // file of one name: most folders have none.
  using Facts = std::unordered_map<std::string, platform::EntryFacts>;
  // At most this many names are asked at once, on the caller's thread: a
  // thread's start and the turns spent looking for its result would cost
  // more (some 20 ms under Wine).
  static constexpr std::size_t AskedAtOnce = 200;
  // The answers for names in dir, asked here.
  static Facts Ask(const std::string& dir, const std::vector<std::string>& names);

  // Starts one thread asking: enough while the user types, who should not
  // feel it.
  FactsAhead(std::string dir, std::vector<std::string> names);
  FactsAhead(const FactsAhead&) = delete;
  FactsAhead& operator=(const FactsAhead&) = delete;
  // Someone waits for the answers: more threads ask the rest. Each open
  // waits on the wineserver four times (the open, its descriptor, its path,
  // the close), and the server answers one request at a time: three threads
  // keep it busy. Measured under Wine 8 on two cores, per entry: one thread
  // 262 us, two 169, three 104, four 111.
  void Hurry();
  static constexpr std::size_t HurriedThreads = 3;
  // How many names have been asked about, of how many.
  std::size_t Asked() const { return asked_.load(std::memory_order_relaxed); }
  std::size_t Count() const { return names_.size(); }
  // The facts, once all are in; nothing before, nor after they were taken.
  std::optional<Facts> Take();

 private:
  void StartThread();
  void Work(std::stop_token stop, Facts& found);

  const std::string dir_;
  const std::vector<std::string> names_;
  std::atomic<std::size_t> next_{0}, asked_{0}, finished_{0};
  std::array<Facts, HurriedThreads> found_;  // one per thread
  bool taken_ = false;
  std::vector<std::jthread> threads_;  // last: joined before the rest goes
};

// The names of one directory's files and folders as the platform tells them
// apart: by upper-cased name. Each keeps the spelling it was listed with.
// A short 8.3 alias (PHOTOG~1.JPG) answers for its file as well, for as
// long as the file keeps the name it has.
class NameSet {
 public:
  // Forgets every name; those added next are listed from dir (see FactsOf).
  void Clear(const std::string& dir = {});
  // "." and ".." are no names of the directory's own. A name that does not
  // address its entry (a look-alike stood in for a character) takes no name
  // from others: it is only kept for the case-only check.
  void Add(std::string_view name, std::string_view alias = {}, bool exact = true);

  struct Entry {
    // Files listed under the name: a disk that tells letter case apart may
    // hold more than one spelling.
    int Count = 0;
    // For an alias: the key of the name it stands for; empty for a name.
    std::string AliasOf;
    // Listed names of this key that do not address their entries.
    std::vector<std::string> Inexact;
    // The first spelling listed under the key, for the reasons' texts.
    std::string Spelling;
  };
  const Entry* Find(const std::string& key) const;

  // Starts asking the disk what a rename of each name listed would move,
  // once the listing is whole (see FactsAhead); kept with the names. Asks
  // once: later calls do nothing.
  void AskAhead();
  // Whether every answer is in; takes them over once they are.
  bool FactsIn();
  // Someone waits for the answers (FactsAhead::Hurry), now or once they
  // are asked.
  void Hurry();
  // How many names the disk has been asked about, of how many; nothing
  // when no thread asks.
  std::pair<std::size_t, std::size_t> FactsAsked() const;
  // What a rename of the entry listed as name would move: a file until the
  // answers are in, and for names added without a directory.
  platform::EntryFacts FactsOf(const std::string& name) const;

 private:
  std::unordered_map<std::string, Entry> names_;
  std::string dir_;
  std::vector<std::string> listed_;  // for the disk's answers, until asked
  bool asked_ = false;
  bool hurried_ = false;
  FactsAhead::Facts facts_;
  std::unique_ptr<FactsAhead> ahead_;
};

// One run of the batch over a plan, an entry at a time, on top of the names
// the directory held before: what each rename frees and takes is kept apart
// from them, so the listing can serve many runs.
class ForecastRun {
 public:
  // Both are kept by reference and must outlive the run.
  ForecastRun(const RenamePlan& plan, const NameSet& before);
  ForecastRun(RenamePlan&&, const NameSet&) = delete;
  ForecastRun(const RenamePlan&, NameSet&&) = delete;

  // Plays up to count more entries; true when the run has ended.
  bool Run(std::size_t count);
  // The entry the batch stops at and why; nothing when every entry goes.
  const std::optional<ForecastStop>& Stop() const { return stop_; }

 private:
  // What the run did to one name: files that came (positive) or went
  // (negative), and whether an entry gave a file the name.
  struct Change {
    int Added = 0;
    bool Taken = false;
    std::size_t TakenBy = 0;  // the last entry that gave a file the name
  };
  class View;
  // Files under the name itself, aliases left out.
  int NamesAt(const std::string& key) const;
  std::string_view AliasOwner(const std::string& key) const;
  LineAction Play(std::size_t index);
  void Move(const std::string& oldKey, const std::string& newKey, std::size_t index);

  const RenamePlan& plan_;
  const NameSet& before_;
  const std::size_t dirChars_;  // PathChars of the plan's directory
  std::unordered_map<std::string, Change> changes_;
  std::size_t next_ = 0;
  std::size_t renamed_ = 0;
  bool finished_ = false;
  std::optional<ForecastStop> stop_;
};

// The forecast as the main window runs it: in small pieces between which
// the caller may look at its input, listing the plan's directory first. The
// listing is kept for the next plan of the same directory for as long as the
// directory's change stamp stays the same.
class RenameForecast {
 public:
  // Forgets any run in progress and starts one for plan, which must stay as
  // it is until the next Start.
  void Start(const RenamePlan& plan);
  void Start(RenamePlan&&) = delete;
  // Lists plan's directory ahead, in the same pieces, without forecasting:
  // the keystroke that makes a batch of it then finds the listing kept.
  void Prepare(const RenamePlan& plan);
  void Prepare(RenamePlan&&) = delete;
  // Forgets any run in progress: there is nothing to forecast.
  void Cancel();
  // Does up to work more units (names listed or entries played); true when
  // the result is known.
  bool Advance(std::size_t work);
  bool Done() const { return done_; }
  // The run is over as far as the disk has answered what the entries are:
  // Stop tells where it stops so far, Advance the rest once the answers are in.
  bool Waiting() const { return waiting_; }
  // Someone waits: the disk's answers come faster, at some cost to the rest.
  void Hurry() { names_.Hurry(); }
  std::pair<std::size_t, std::size_t> FactsAsked() const { return names_.FactsAsked(); }
  std::optional<ForecastStop> Stop() const;

 private:
  void Relist();
  bool List(std::size_t& work);
  void AddListed();
  bool Guessed();

  const RenamePlan* plan_ = nullptr;
  std::string listedDir_;
  std::uint64_t listedStamp_ = 0;
  std::uint64_t listedAt_ = 0;  // when the listing began, on the stamp's scale
  bool listed_ = false;
  bool reused_ = false;
  NameSet names_;
  platform::SearchRecord search_;
  std::optional<ForecastRun> run_;
  bool stale_ = false;     // run_ belongs to an earlier plan
  bool listOnly_ = false;  // Prepare: the listing is all there is to do
  // Whether run_ took entries for files before the disk's answers were in,
  // and its stop, which stands while they come (waiting_).
  bool guessed_ = false;
  bool waiting_ = false;
  std::optional<ForecastStop> guess_;
  bool done_ = true;
};

}  // namespace quillet
