// The program's entry: one straight run from the command line (or the
// directory dialog) through the main window to the renames. Each window runs
// its own modal loop; there is no main loop here.

#include <windows.h>

#include <string>
#include <vector>

#include "core/BatchRename.h"
#include "core/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "ui/DirSel.h"
#include "ui/Messages.h"
#include "ui/RenameProgress.h"
#include "ui/Unit1.h"

namespace quillet::ui {
namespace {

// The directory the user picks, with the mask that lists all of it; the empty
// text when the dialog is cancelled.
std::string AskPathMask() {
  TDirSelect dialog;
  const OwnedWindow window = dialog.Create();
  dialog.SetCaption("ディレクトリ選択");
  dialog.SelectedDir = platform::CurrentDirectory();
  if (dialog.ShowModal() != mrOk) return {};
  return dialog.SelectedDir + "*.*";
}

// A failure and the user's stop are told, each with what the batch renamed
// before it: the directory is left half renamed. The stop before the line
// forecast to fail was agreed to, and ends the batch without a word.
void RenameConfirmed(const RenamePlan& plan, std::size_t lines) {
  const BatchEnd end = RenameWithProgress(plan, lines);
  if (end.How == BatchEnd::Failed) ShowMessageBox(nullptr, FailureMessage(plan, end), MB_OK);
  else if (end.How == BatchEnd::Cancelled && end.At < lines)
    ShowMessageBox(nullptr, StoppedMessage(end), MB_OK | MB_ICONINFORMATION);
}

void Run() {
  TForm1 form;
  const OwnedWindow window = form.Create();
  const std::vector<std::string> args = SplitCommandLine(platform::CommandLine());
  if (!args.empty()) {
    form.PathMask = PathMaskOf(args[0]);
    form.SetPattern(args.size() > 1 ? args[1] : std::string());
  } else {
    form.PathMask = AskPathMask();
  }
  if (!form.PathMask.empty() && form.ShowModal() == mrOk) RenameConfirmed(form.Plan(), form.LinesToRename());
}

}  // namespace
}  // namespace quillet::ui

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Nothing the run could throw has anyone left to tell; the exit code is 0
  // whatever happened.
  try {
    quillet::ui::Run();
  } catch (...) {
  }
  return 0;
}
