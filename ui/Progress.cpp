#include "ui/Progress.h"

#include "resources/resource.h"

namespace quillet::ui {

FormDesign ProgressDesign(const char* caption, SIZE client) {
  return {.Caption = caption,
          .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
          .ExStyle = WS_EX_DLGMODALFRAME,
          .Client = client,
          .Position = poScreenCenter,
          .BigIcon = IDI_MAIN,
          .SmallIcon = IDI_MAIN};
}

bool SetBusyCursor(WPARAM w, LPARAM l, Window button) {
  if (LOWORD(l) != HTCLIENT) return false;
  const HWND over = reinterpret_cast<HWND>(w);
  const auto cursor = over == button.Handle() ? IDC_ARROW : IDC_WAIT;
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(cursor)));
  return true;
}

}  // namespace quillet::ui
