#pragma once
// The main window: the directory, the mask and the pattern, and the live
// preview of the rename plan. It renames nothing itself; whoever shows it
// reads Plan() and LinesToRename() after it closed with mrOk, which it does
// for a plan forecast to stop half way only once the user agreed to rename
// the files before the stop.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/RenameForecast.h"
#include "core/RenamePlan.h"
#include "ui/PreviewLines.h"
#include "ui/PreviewSchedule.h"
#include "ui/Window.h"

namespace quillet::ui {

class TForm1 : public FormOf<TForm1> {
 public:
  // Directory and mask as one path, such as C:\Photos\*.jpg. Set before
  // ShowModal; FormShow expands it and splits it into Directory and Mask.
  std::string PathMask;

  // The controls (owned by the window, destroyed with it).
  Window ListBox, Label1, Mask, Label2, Pattern, Rename, Cancel, Directory, Ver;

  static std::span<const Control<TForm1>> Controls();

  // Setting the pattern text raises PatternChange, as typing does.
  void SetPattern(std::string_view text) const { Pattern.SetText(text); }

  // The plan behind the list: preview lines, OldNames and NewNames, and the
  // directory its entries live in.
  const RenamePlan& Plan() const { return plan_; }
  // How many lines of Plan() the batch is to run: all of them, or those
  // before the forecast stop that the user agreed to.
  std::size_t LinesToRename() const { return stop_ ? stop_->Index : plan_.Count(); }

  // The tooltip's tool over the marked line, and the one over the ordinary
  // line under the mouse, which names the pieces its mask captured.
  static constexpr UINT StopTipId = 1;
  static constexpr UINT LineTipId = 3;

 protected:
  FormDesign Design() const override;
  void FormCreate() override;
  void FormShow() override;
  void FormDestroy() override;
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  // Tests and benchmarks read the forecast's state through a probe of their
  // own; the program has no door for them.
  friend struct TForm1Probe;

  void MaskChange();
  void PatternChange();
  void RenameClick();
  void VerClick();
  bool AgreesToStop();
  void TellNothingToRename();
  void SelectStopLine() const;
  // Rebuilds the plan from the Directory, Mask and Pattern texts, refills
  // the list, sets Rename by the rename flag and starts the forecast over.
  // Lists nothing when FormShow could not expand PathMask.
  void RebuildList();
  // Takes the forecast forecastPiece_ names or lines further; true, and the
  // marks shown, once it is done.
  bool AdvanceForecast();
  void FillListBox();
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR form);
  void DrawEmptyReason() const;
  void HoverLine(POINT at);
  int WidestLine();
  void ShowStopLine();
  void PlaceStopTip();
  // The same reason as a tool of its own, shown while the marked line is
  // selected and the window active.
  static constexpr UINT SelectedTipId = 2;
  void ShowSelectedReason();
  void ShowReason(bool active);
  void RelayToTips(UINT mouseMsg);
  void KeepMinimumRoom();
  void FitDirectory() const;
  void DrawDirectory(const DRAWITEMSTRUCT& item) const;
  bool KeepMinimumSize(MINMAXINFO& info) const;
  bool DrawItem(const DRAWITEMSTRUCT& item);

  RenamePlan plan_;
  PreviewLines preview_{plan_};
  // Counts the rebuilds, so that an answer can tell whether the plan it was
  // asked about is still the one behind the list.
  std::size_t rebuilds_ = 0;
  // Why the list is empty, drawn over it in grey; empty while it has lines.
  std::string emptyReason_;
  // Whether FormShow could expand PathMask: only then do the Directory
  // text and the mask name files to list and rename.
  bool expanded_ = true;
  RenameForecast forecast_;
  std::size_t forecastPiece_ = 2048;
  PreviewSchedule schedule_{
      {.Rebuild = [this] { RebuildList(); },
       .Forecast = [this] { return AdvanceForecast(); },
       .Waiting = [this] { return forecast_.Waiting(); }}};
  std::optional<ForecastStop> stop_;
  Tooltips tips_;
  RECT stopTipRect_{};
  std::size_t hoveredLine_ = 0;
  bool reasonShown_ = false;
  // The list font's advance of each character met so far (-1: not yet), by
  // its one or two bytes.
  std::vector<int> advances_;
  SIZE minClient_{};
};

}  // namespace quillet::ui
