// The real Quillet.exe over 50,000 files, with the stop on the last line, and
// Rename clicked as soon as the window shows them: from the click up to the
// question, or to a window that tells of the work going on, against the time
// from the start up to the filled window. Only with scripts/bench's folder
// (BENCH_FOLDER_50000): Wine fills one in time growing with the square of its
// size.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/WinBench.h"
#include "core/RenamePlan.h"
#include "tests/e2e/Driver.h"
#include "tests/ui/ControlId.h"
#include "ui/Unit1.h"

using quillet::bench::NowMs;
using quillet::bench::Report;

namespace {

constexpr int Files = 50000;

// Quillet.exe of the same build tree: ui\ beside this program's bench\.
std::string QuilletExe() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  dir.erase(dir.find_last_of('\\'));
  return dir.substr(0, dir.find_last_of('\\') + 1) + "ui\\Quillet.exe";
}

// Looks, as often as the system lets it, for a window of one of the titles;
// the first title found, or the empty text when the program ended first.
std::wstring WaitForAnyOf(const quillet::e2e::QuilletProcess& process, std::initializer_list<std::wstring> titles) {
  while (process.IsRunning()) {
    for (const std::wstring& shown : process.VisibleTitles())
      for (const std::wstring& title : titles)
        if (shown == title) return title;
    Sleep(1);
  }
  return {};
}

}  // namespace

int main() {
  const quillet::bench::FilesFolder folder("BENCH_FOLDER_50000", Files, 0);
  if (folder.Dir().empty()) {
    std::printf("no BENCH_FOLDER_50000: run through scripts/bench\n");
    return 0;
  }
  quillet::RenamePlan plan;
  quillet::RefreshList(folder.Dir(), "IMG_*.JPG", "photo_*.jpg", plan);
  const std::string last = folder.Dir() + plan.NewNames.back();
  CloseHandle(CreateFileA(last.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

  const double start = NowMs();
  quillet::e2e::QuilletProcess process(QuilletExe(), "\"" + folder.Dir() + "IMG_*.JPG\" photo_*.jpg", "");
  const HWND main = process.WaitForWindow(L"Quillet by Tarnwick");
  const HWND list = GetDlgItem(main, quillet::test::IdOf(&quillet::ui::TForm1::ListBox));
  while (process.IsRunning() && SendMessageW(list, LB_GETCOUNT, 0, 0) < Files) Sleep(1);
  const double shown = NowMs() - start;

  const double click = NowMs();
  quillet::e2e::Click(GetDlgItem(main, quillet::test::IdOf(&quillet::ui::TForm1::Rename)));
  const std::wstring first = WaitForAnyOf(process, {L"確認中", L"Quillet"});
  const double told = NowMs() - click;
  const bool asked = first == L"Quillet" || WaitForAnyOf(process, {L"Quillet"}) == L"Quillet";
  const double question = NowMs() - click;
  DeleteFileA(last.c_str());
  if (!asked) {
    std::printf("the program asked nothing\n");
    return 1;
  }
  Report("Rename click to the question or the progress window, 50,000 files", told, shown);
  Report("  and to the question itself", question, shown);
  std::printf("goal: ratio at most 2 to the start up to the filled window\n");
  return 0;
}
