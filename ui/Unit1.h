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

#include "core/PreviewModel.h"
#include "ui/Messages.h"
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
  const RenamePlan& Plan() const { return model_.Plan(); }
  // How many lines of Plan() the batch is to run: all of them, or those
  // before the forecast stop that the user agreed to.
  std::size_t LinesToRename() const { return model_.LinesToRename(); }

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
  // Tests and benchmarks reach the model through a probe of their own; the
  // program has no door for them.
  friend struct TForm1Probe;

  void MaskChange();
  void PatternChange();
  void RenameClick();
  void VerClick();
  bool AgreesToStop();
  void TellNothingToRename();
  void SelectStopLine() const;
  // The schedule changed the model: the list is filled with its new plan
  // and Rename set by it, or the forecast's marks are shown.
  void PreviewChanged(WPARAM change);
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
  void PinReason();
  void RelayToTips(UINT mouseMsg);
  void KeepMinimumRoom();
  void FitDirectory() const;
  void DrawDirectory(const DRAWITEMSTRUCT& item) const;
  bool KeepMinimumSize(MINMAXINFO& info) const;
  bool DrawItem(const DRAWITEMSTRUCT& item);

  // Names in the empty list's reason are cut as the messages cut them.
  PreviewModel model_{Shortened};
  PreviewLines preview_{model_};
  PreviewSchedule schedule_{model_};
  Tooltips tips_;
  RECT stopTipRect_{};
  std::size_t hoveredLine_ = 0;
  bool reasonShown_ = false;
  // Where the pointer rested as a box about the red line closed, until it
  // moves on.
  std::optional<POINT> reasonPinnedAt_;
  // The list font's advance of each character met so far (-1: not yet), by
  // its one or two bytes.
  std::vector<int> advances_;
  SIZE minClient_{};
};

}  // namespace quillet::ui
