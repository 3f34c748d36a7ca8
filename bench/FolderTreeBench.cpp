// The directory dialog's tree over 50,000 generated folders (scan with its
// progress window, sort and tree view) against a bare recursive
// FindFirstFileA/FindNextFileA walk of the same folders, in one run; and what
// the model and the tree view hold per node.
//
// scripts/bench makes the folders on the host and names their root in the
// environment as BENCH_TREE_50000 (the same names as MakeTree below); without
// it they are made here, which takes Wine minutes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/WinBench.h"
#include "ui/DirSel.h"
#include "core/FolderTree.h"
#include "ui/ScanProgress.h"

namespace {

using quillet::FolderTree;

constexpr int kTop = 20;           // folders under the root
constexpr int kMiddle = 20;        // under each of those
constexpr int kFolders = 50'000;  // in all; the rest spread below the middle ones
// The type platform::DriveType gives a fixed drive.
constexpr unsigned kFixedDrive = 3;

std::string Name(const char* stem, int i) { return stem + std::to_string(i); }

// The tree, named so that byte order and the locale's order differ.
bool MakeTree(const std::string& root) {
  int made = 0;
  for (int t = 0; t < kTop; ++t) {
    const std::string top = root + "\\" + Name("Top-", t);
    if (!CreateDirectoryA(top.c_str(), nullptr)) return false;
    ++made;
    for (int m = 0; m < kMiddle; ++m, ++made)
      if (!CreateDirectoryA((top + "\\" + Name("mid_", m)).c_str(), nullptr)) return false;
  }
  for (int i = 0; made < kFolders; ++i, ++made) {
    const int parent = i % (kTop * kMiddle);
    const std::string dir = root + "\\" + Name("Top-", parent / kMiddle) + "\\" +
                            Name("mid_", parent % kMiddle) + "\\" + Name(i % 2 ? "Leaf" : "leaf", i);
    if (!CreateDirectoryA(dir.c_str(), nullptr)) return false;
  }
  return true;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(dir + "\\" + name);
      else DeleteFileA((dir + "\\" + name).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

// What any full folder scan has to do at least.
int BareWalk(std::string& path) {
  const std::size_t base = path.size();
  path += "\\*.*";
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(path.c_str(), &fd);
  path.resize(base);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int folders = 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (!lstrcmpA(fd.cFileName, ".") || !lstrcmpA(fd.cFileName, "..")) continue;
    ++folders;
    path += '\\';
    path += fd.cFileName;
    folders += BareWalk(path);
    path.resize(base);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return folders;
}

FolderTree Scan(const std::string& root) {
  FolderTree folders;
  folders.ScanFolder(folders.AddDrive(root, kFixedDrive));
  folders.Sort();
  return folders;
}

// As the dialog scans: reporting to its progress window, which shows once the
// scan has run half a second.
FolderTree ScanShowingProgress(const std::string& root) {
  quillet::ui::TProgressForm progress(quillet::ui::Scanning);
  const quillet::ui::OwnedWindow window = progress.Create();
  FolderTree folders;
  folders.ReportTo([&progress](std::string_view drive, std::size_t read) {
    return quillet::ui::ReportScan(progress, drive, read);
  });
  folders.ScanFolder(folders.AddDrive(root, kFixedDrive));
  folders.Sort();
  return folders;
}

// Bytes in use on every heap of the process: the tree view's items live on
// one of them (process private bytes are not reported under Wine).
std::size_t HeapBytes() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  std::size_t used = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    PROCESS_HEAP_ENTRY e{};
    HeapLock(heaps[i]);
    while (HeapWalk(heaps[i], &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += e.cbData;
    HeapUnlock(heaps[i]);
  }
  return used;
}

}  // namespace

int main() {
  std::string root;
  bool made = false;
  if (const char* given = std::getenv(("BENCH_TREE_" + std::to_string(kFolders)).c_str())) {
    root = given;
  } else {
    char tmp[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof tmp, tmp);
    if (n == 0 || n > MAX_PATH) return 1;
    root = std::string(tmp) + Name("qfolders", static_cast<int>(GetCurrentProcessId()));
    made = true;
    if (!CreateDirectoryA(root.c_str(), nullptr) || !MakeTree(root)) {
      std::fprintf(stderr, "could not make %d folders under %s\n", kFolders, root.c_str());
      RemoveTree(root);
      return 1;
    }
  }

  constexpr int kReps = 4;
  // One fresh dialog per run, made beforehand: the dialog fills its tree once,
  // when it is empty, and is not timed being made or destroyed.
  std::vector<std::unique_ptr<quillet::ui::TDirSelect>> dialogs;
  std::vector<quillet::ui::OwnedWindow> windows;
  for (int i = 0; i <= kReps; ++i) {
    dialogs.push_back(std::make_unique<quillet::ui::TDirSelect>());
    windows.push_back(dialogs.back()->Create());
  }
  {
    const std::size_t empty = HeapBytes();
    const FolderTree folders = Scan(root);
    const std::size_t model = HeapBytes() - empty;
    const std::size_t before = HeapBytes();
    dialogs.back()->LoadTree(folders);
    const std::size_t after = HeapBytes();
    const double nodes = static_cast<double>(folders.Size());
    const int walked = [&] { std::string p = root; return BareWalk(p); }();
    std::printf("nodes: %zu (walk finds %d folders)\n", folders.Size(), walked);
    if (walked != kFolders) {
      if (made) RemoveTree(root);
      return 1;
    }
    std::printf("model: %.1f bytes per node\n", static_cast<double>(model) / nodes);
    std::printf("tree view: %.1f bytes per node (heap bytes in use)\n",
                static_cast<double>(after - before) / nodes);
  }

  // Round by round, so that a busy moment of the machine hits all three.
  using quillet::bench::Times;
  Times walk, model, whole;
  for (int i = 0; i < kReps; ++i) {
    walk.KeepBest(Times::Of([&] {
                    std::string p = root;
                    BareWalk(p);
                  }),
                  i == 0);
    model.KeepBest(Times::Of([&] { Scan(root); }), i == 0);
    whole.KeepBest(Times::Of([&] { dialogs[i]->LoadTree(ScanShowingProgress(root)); }), i == 0);
  }
  quillet::bench::Report("folder tree model (scan + sort)", model, walk);
  quillet::bench::Report("dialog tree (scan with its window + sort + tree view)", whole, walk);
  std::printf("goal: dialog ratio at most 1.10\n");

  if (made) RemoveTree(root);
  return 0;
}
