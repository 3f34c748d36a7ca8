#pragma once
// Driving real windows from a test: the form runs its own modal loop, and
// the test's steps run one after the other inside it, each once the queue
// has gone idle (so whatever the previous step posted has been handled).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/Window.h"

namespace quillet::test {

using Step = std::function<void()>;

// The form's modal result, or -1 when the steps ran out and the window
// still had not closed (then the driver closes it, so a test never hangs).
int RunModal(ui::Form& form, std::vector<Step> steps);

// The list box's lines, read in-process.
std::vector<std::string> ListLines(ui::Window list);

// The visible top-level form of this thread owned by owner, if any.
ui::Window FindOwnedForm(HWND owner);

// The text of the tooltip owner shows now; empty when it shows none.
std::string ShownTip(HWND owner);

// The tooltip window the form owns, if any.
ui::Window TooltipOf(HWND form);

// Sizes a top-level window so that its client area is width by height.
void SetClientSize(ui::Window w, int width, int height);

// A key press as the keyboard delivers it: posted to the focused window.
void PostKey(WPARAM vk);

// Types text into an edit at its caret, as the keyboard does.
void Type(ui::Window edit, const std::string& text);

// Records every top-level window of this thread that is shown while it
// lives, by title, and lets a test act the moment one shows: what a window
// shown and gone again during some long call leaves no other trace of.
class ShownWindows {
 public:
  using OnShow = std::function<void(HWND)>;
  explicit ShownWindows(OnShow onShow = {});
  ~ShownWindows();
  ShownWindows(const ShownWindows&) = delete;
  ShownWindows& operator=(const ShownWindows&) = delete;

  bool Saw(const std::string& title) const;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l);
  HHOOK hook_;
  OnShow onShow_;
  std::vector<std::string> titles_;
};

// What the screen shows of a window's client area now, row by row from the
// top, one 0x00RRGGBB value a pixel.
std::vector<std::uint32_t> ClientPixels(HWND window);

// Lets the window paint whatever is pending, then gives Wine a moment to put
// the pixels on the screen.
void LetPaint();

// When the environment names a shot directory, saves the window as it is on
// screen to <dir>/<name>.bmp; returns false when it could not.
bool SaveShot(HWND window, const std::string& name);
bool ShotsWanted();

}  // namespace quillet::test
