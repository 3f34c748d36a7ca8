#include "ui/Progress.h"

namespace quillet::ui {

bool SetBusyCursor(WPARAM w, LPARAM l, Window button) {
  if (LOWORD(l) != HTCLIENT) return false;
  const HWND over = reinterpret_cast<HWND>(w);
  const auto cursor = over == button.Handle() ? IDC_ARROW : IDC_WAIT;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(cursor)));
  return true;
}

}  // namespace quillet::ui
