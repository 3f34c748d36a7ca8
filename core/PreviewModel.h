#pragma once
// What the main window's preview says, without the window: the plan behind
// the list, the forecast of where the batch stops, why the list is empty,
// and for each line its text, its look, the pieces its mask captured and its
// tooltip. The schedule drives it (Rebuild, Advance); the paint and the hover
// only read it.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/RenameForecast.h"
#include "core/RenamePlan.h"

namespace quillet {

// How a line is drawn: Plain (nothing captured), Captured (the pieces in
// their colours), Unchanged (the new name is the old one: plain, nothing
// marked), Stop (the batch stops here), NotReached (after the stop).
enum class LineLook : unsigned char { Plain, Captured, Unchanged, Stop, NotReached };

// A name cut so that a message shows it on one line; the window measures it
// in its font. The model leaves names whole without one.
using NameFit = std::function<std::string(std::string_view)>;

class PreviewModel {
 public:
  explicit PreviewModel(NameFit fit = {}) : fit_(std::move(fit)) {}
  PreviewModel(const PreviewModel&) = delete;
  PreviewModel& operator=(const PreviewModel&) = delete;

  // The plan made anew from the directory (ending with "\"), the mask and
  // the pattern; the forecast starts over. Without both texts there is no
  // batch to forecast, but the directory is listed ahead all the same, so
  // that the first keystroke that makes one finds the listing done.
  void Rebuild(const std::string& dir, const std::string& mask, const std::string& pattern);
  // A plan made elsewhere (an empty one where no directory is known for
  // sure): nothing in it is to be renamed, so nothing is forecast.
  void Take(RenamePlan plan);
  // Takes the forecast up to work more names or lines further; true once
  // it is done, the stop known.
  bool Advance(std::size_t work);
  // Nothing more to forecast: the window no longer shows the list.
  void CancelForecast() { forecast_.Cancel(); }
  bool ForecastDone() const { return forecast_.Done(); }
  // The forecast waits for the disk's answers about what the entries are;
  // meanwhile Stop is where it stops without them.
  bool ForecastWaiting() const { return forecast_.Waiting(); }
  // Someone waits for those answers: they come faster.
  void HurryForecast() { forecast_.Hurry(); }
  // How many entries the disk has told of, of how many.
  std::pair<std::size_t, std::size_t> FactsAsked() const { return forecast_.FactsAsked(); }

  const RenamePlan& Plan() const { return plan_; }
  // Whether mask and pattern both say something: only then is there a batch.
  bool Renamable() const { return renamable_; }
  // Counts the plans made, so that an answer can tell whether the plan it
  // was asked about is still the one behind the list.
  std::size_t Rebuilds() const { return rebuilds_; }
  // The line the batch would stop at and why, once the forecast of this
  // plan is done, or played before the disk's answers about the entries
  // came (ForecastWaiting); nothing while it runs or when nothing would fail.
  const std::optional<ForecastStop>& Stop() const { return stop_; }
  // How many lines the batch is to run: all of them, or those before the stop.
  std::size_t LinesToRename() const { return stop_ ? stop_->Index : plan_.Count(); }
  // Why the list is empty: the directory does not exist, or no file matches
  // the mask; empty while it has lines or there is no mask to tell of.
  const std::string& EmptyReason() const { return emptyReason_; }

  // Line i: "old → new".
  std::string_view Text(std::size_t i) const;
  LineLook Look(std::size_t i) const;
  // Where the captured pieces stand in line i, worked out once per plan,
  // only for the lines asked about: typing over thousands of files pays for
  // a screenful. A dropped piece is one whose text the new name loses; a
  // line that keeps its name has none.
  std::span<const CaptureSpan> Spans(std::size_t i) const;
  // The stop line's reason, naming the other party; on a captured line each
  // piece and whether the new name takes it; that a name stays; else nothing.
  std::string Tip(std::size_t i) const;

 private:
  void Restart();
  bool Unchanged(std::size_t i) const;
  std::vector<CaptureSpan> PiecesOf(std::size_t i) const;

  NameFit fit_;
  RenamePlan plan_;
  bool renamable_ = false;
  std::size_t rebuilds_ = 0;
  std::string emptyReason_;
  RenameForecast forecast_;
  std::optional<ForecastStop> stop_;
  mutable std::unordered_map<std::size_t, std::vector<CaptureSpan>> spans_;
};

// Why the list is empty, for the hint the list draws and the message Rename
// shows: the folder does not exist, or no file matches the mask. The empty
// text when there is no mask to tell of. Names are cut by fit.
std::string EmptyListReason(std::string_view dir, std::string_view mask, bool dirExists, const NameFit& fit);

// The party of a reason with its names cut by fit.
FaultParty FittedParty(FaultParty party, const NameFit& fit);

// The tooltip of a captured line: each piece of the old name that the
// mask's wildcards captured (drawn in a colour of its own), and whether the
// pattern puts it into the new name, a part the new name drops on a line of
// its own, a long piece cut by fit. Empty when nothing was captured.
std::string CapturesTip(std::string_view oldName, std::span<const CaptureSpan> spans, const NameFit& fit);

}  // namespace quillet
