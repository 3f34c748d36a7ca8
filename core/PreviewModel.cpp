#include "core/PreviewModel.h"

#include <algorithm>
#include <utility>

#include "core/NameRules.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet {
namespace {

std::string Fitted(std::string_view name, const NameFit& fit) { return fit ? fit(name) : std::string(name); }

}  // namespace

void PreviewModel::Rebuild(const std::string& dir, const std::string& mask, const std::string& pattern) {
  renamable_ = RefreshList(dir, mask, pattern, plan_);
  Restart();
  if (plan_.Count() == 0) emptyReason_ = EmptyListReason(dir, mask, platform::IsDirectory(dir), fit_);
}

void PreviewModel::Take(RenamePlan plan) {
  plan_ = std::move(plan);
  renamable_ = false;
  Restart();
}

// The marks of the last plan go at once; those of this one come once the
// forecast is done.
void PreviewModel::Restart() {
  stop_.reset();
  spans_.clear();
  ++rebuilds_;
  emptyReason_.clear();
  if (renamable_) forecast_.Start(plan_);
  else forecast_.Prepare(plan_);
}

bool PreviewModel::Advance(std::size_t work) {
  const bool done = forecast_.Advance(work);
  if (done || forecast_.Waiting()) stop_ = forecast_.Stop();
  return done;
}

std::string_view PreviewModel::Text(std::size_t i) const {
  return i < plan_.Lines.size() ? std::string_view(plan_.Lines[i]) : std::string_view();
}

// Red and grey lines keep their one colour, so that nothing else looks like
// them.
LineLook PreviewModel::Look(std::size_t i) const {
  if (stop_ && i >= stop_->Index) return i == stop_->Index ? LineLook::Stop : LineLook::NotReached;
  if (Unchanged(i)) return LineLook::Unchanged;
  return Spans(i).empty() ? LineLook::Plain : LineLook::Captured;
}

bool PreviewModel::Unchanged(std::size_t i) const {
  return i < plan_.Count() && i < plan_.NewNames.size() && plan_.NewNames[i] == plan_.OldNames[i];
}

std::span<const CaptureSpan> PreviewModel::Spans(std::size_t i) const {
  if (i >= plan_.Count()) return {};
  const auto known = spans_.find(i);
  if (known != spans_.end()) return known->second;
  return spans_.emplace(i, PiecesOf(i)).first->second;
}

// A piece the pattern leaves out is not lost where the new name holds its
// text all the same, at the same place from its end: the pattern wrote
// anew the extension the name had (*.* to *.jpg over a.jpg).
std::vector<CaptureSpan> PreviewModel::PiecesOf(std::size_t i) const {
  if (Unchanged(i)) return {};
  std::vector<CaptureSpan> pieces = LineCaptures(plan_, i);
  const std::string_view old = plan_.OldNames[i], made = plan_.NewNames[i];
  std::erase_if(pieces, [&](const CaptureSpan& piece) {
    const std::string_view from = piece.Dropped ? old.substr(std::min(piece.Begin, old.size())) : "";
    return !from.empty() && made.ends_with(from) && !platform::CharSteps(made).IsTrail(made.size() - from.size());
  });
  return pieces;
}

std::string PreviewModel::Tip(std::size_t i) const {
  switch (Look(i)) {
    case LineLook::Stop:
      return FaultText(stop_->Fault, FittedParty(stop_->Party, fit_));
    case LineLook::Captured:
      return CapturesTip(plan_.OldNames[i], Spans(i), fit_);
    case LineLook::Unchanged:
      return "名前は変わりません。";
    default:
      return {};
  }
}

std::string EmptyListReason(std::string_view dir, std::string_view mask, bool dirExists, const NameFit& fit) {
  if (!dirExists) return "ディレクトリ「" + Fitted(dir, fit) + "」がありません。";
  if (mask.empty()) return {};
  return "「" + Fitted(mask, fit) + "」に合うファイルはありません。";
}

FaultParty FittedParty(FaultParty party, const NameFit& fit) {
  party.Name = Fitted(party.Name, fit);
  party.LineName = Fitted(party.LineName, fit);
  return party;
}

std::string CapturesTip(std::string_view oldName, std::span<const CaptureSpan> spans, const NameFit& fit) {
  // The old name's pieces come first, each part of them kept or dropped,
  // then where the new name took them.
  std::string tip;
  for (const CaptureSpan& piece : spans) {
    if (piece.Begin >= oldName.size()) break;
    tip += "\n「" + Fitted(oldName.substr(piece.Begin, piece.End - piece.Begin), fit) +
           (piece.Dropped ? "」→ 新しい名前には入りません。" : "」→ 新しい名前に入ります。");
  }
  return tip.empty() ? tip : "色の部分は * と ? が取り出した文字です。" + tip;
}

}  // namespace quillet
