#include "ui/DirSel.h"

#include <cstring>
#include <vector>

#include "core/FolderTree.h"
#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "resources/resource.h"
#include "ui/ScanProgress.h"

namespace quillet::ui {

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

// The images of the tree's strip, by their place in it; 8 is left unused.
enum TreeImage : int {
  imgFolder = 0,
  imgOpenFolder = 1,
  imgRemovable = 2,
  imgFixed = 3,
  imgNetwork = 4,
  imgCdRom = 5,
  imgRamDisk = 6,
  imgComputer = 7,
  imgRecycled = 9,
  imgFloppy = 10,
  kImageCount
};

constexpr const char* kComputerText = "マイ コンピュータ";

// The tree's image strips, one per display scale (100, 125 and 150%).
struct ImageStrip {
  int Size;  // of each image, square
  int Resource;
};
constexpr ImageStrip kStrips[] = {{16, IDB_TREEIMAGES}, {20, IDB_TREEIMAGES_20}, {24, IDB_TREEIMAGES_24}};

// The largest strip that is no larger than the scaled design: stretched
// images would blur.
ImageStrip StripForDisplay() {
  const int wanted = Scale(kStrips[0].Size);
  ImageStrip chosen = kStrips[0];
  for (const ImageStrip& strip : kStrips)
    if (strip.Size <= wanted) chosen = strip;
  return chosen;
}

// The hourglass while the drives are read; the previous cursor afterwards.
class WaitCursor {
 public:
  WaitCursor() : old_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
  ~WaitCursor() { SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

// A drive without a medium must fail its search quietly instead of asking
// the user to insert a disk.
class QuietDriveErrors {
 public:
  QuietDriveErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
    SetErrorMode(old_ | SEM_FAILCRITICALERRORS);
  }
  ~QuietDriveErrors() { SetErrorMode(old_); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  UINT old_;
};

HTREEITEM NextItem(Window tree, HTREEITEM item, UINT relation) {
  return reinterpret_cast<HTREEITEM>(
      tree.Send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::string ItemText(Window tree, HTREEITEM item) {
  // A folder name has fewer than MAX_PATH characters, but a double-byte
  // character takes two bytes: a shorter buffer would cut the name and name
  // another folder.
  char text[2 * MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  if (!tree.Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return {};
  return tv.pszText;
}

// A drive by its type; the floppy bays A: and B: have an image of their own.
TreeImage DriveImage(char letter, unsigned type) {
  switch (type) {
    case platform::DriveRemovable: return letter == 'A' || letter == 'B' ? imgFloppy : imgRemovable;
    case platform::DriveFixed: return imgFixed;
    case platform::DriveRemote: return imgNetwork;
    case platform::DriveCdRom: return imgCdRom;
    case platform::DriveRamDisk: return imgRamDisk;
    default: return imgFolder;
  }
}

// A folder named RECYCLED (so spelt) directly under a drive has an image of
// its own.
TreeImage ImageOf(const FolderTree& folders, FolderTree::Index i) {
  if (i == FolderTree::Computer) return imgComputer;
  const FolderTree::Index parent = folders.Parent(i);
  if (parent == FolderTree::Computer) return DriveImage(folders.Text(i)[0], folders.DriveType(i));
  if (folders.Parent(parent) == FolderTree::Computer && std::strcmp(folders.Text(i), "RECYCLED") == 0)
    return imgRecycled;
  return imgFolder;
}

// Node i of the model, put in last under parent.
HTREEITEM InsertNode(Window tree, const FolderTree& folders, FolderTree::Index i, HTREEITEM parent) {
  const TreeImage image = ImageOf(folders, i);
  TVINSERTSTRUCTA is{};
  is.hParent = parent;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  is.item.pszText = const_cast<char*>(i == FolderTree::Computer ? kComputerText : folders.Text(i));
  is.item.iImage = image;
  is.item.iSelectedImage = image == imgFolder ? imgOpenFolder : image;
  return reinterpret_cast<HTREEITEM>(tree.Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
}

bool EndsWithBackslash(const std::string& text) {
  // Double-byte aware: the trail byte of 表 (95 5C) is no path separator.
  return LastDelimiter("\\", text) == text.size();
}

}  // namespace

std::span<const Control<TDirSelect>> TDirSelect::Controls() {
  using F = TDirSelect;
  static const Control<F> controls[] = {
      {.Field = &F::Tree, .ClassName = WC_TREEVIEWA, .Rect = Rc(0, 0, 369, 329),
       .Style = WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS, .ExStyle = WS_EX_CLIENTEDGE,
       .Notify = TVN_SELCHANGEDA, .Handler = &F::TreeChange},
      {.Field = &F::Ok, .ClassName = "BUTTON", .Text = "OK", .Rect = Rc(208, 336, 75, 25),
       .Style = WS_TABSTOP, .Role = brDefault, .ModalResult = mrOk},
      {.Field = &F::Cancel, .ClassName = "BUTTON", .Text = "キャンセル", .Rect = Rc(288, 336, 75, 25),
       .Style = WS_TABSTOP | BS_PUSHBUTTON, .Role = brCancel, .ModalResult = mrCancel},
      // The tree reports a click before its selection moves, and the change
      // after it; a click on the node already selected changes nothing.
      {.Field = &F::Tree, .ClassName = nullptr, .Notify = NM_CLICK, .Handler = &F::TreeClick},
  };
  return controls;
}

FormDesign TDirSelect::Design() const {
  return {.Caption = "DirSelect",
          .Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
          .ExStyle = WS_EX_DLGMODALFRAME,
          .Client = {369, 364},
          .Position = poDesktopCenter};
}

void TDirSelect::FormCreate() {
  const ImageStrip images = StripForDisplay();
  ImageList.Reset(ImageList_Create(images.Size, images.Size, ILC_COLOR24 | ILC_MASK, kImageCount, 0));
  // The list keeps its own copy of the images: the strip goes right after.
  const GdiObject<HBITMAP> strip(static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(images.Resource), IMAGE_BITMAP, 0,
                 0, LR_CREATEDIBSECTION)));
  if (ImageList && strip) ImageList_AddMasked(ImageList, strip, kTransparent);
  Tree.Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(ImageList.Get()));
  Tree.Send(TVM_SETINDENT, Scale(19));
}

// The tree is gone right after; the images go with it, not with the object.
void TDirSelect::FormDestroy() { ImageList.Reset(); }

void TDirSelect::FormShow() {
  // An empty text names no directory; a lone "\\" would name a drive's root.
  if (!SelectedDir.empty() && !EndsWithBackslash(SelectedDir)) SelectedDir += '\\';
  WaitCursor wait;
  FolderTree folders(SelectedDir);
  TProgressForm progress(Scanning);
  const OwnedWindow progressWindow = progress.Create();
  folders.ReportTo([&progress](std::string_view drive, std::size_t read) {
    return ReportScan(progress, drive, read);
  });
  {
    QuietDriveErrors quiet;
    folders.ScanDrives();
  }
  // Cancelled while the drives were read: the dialog ends as its own Cancel
  // would end it, without ever showing.
  if (folders.Cancelled()) {
    SetModalResult(mrCancel);
    return;
  }
  LoadTree(folders);
}

void TDirSelect::LoadTree(const FolderTree& folders) {
  using Index = FolderTree::Index;
  Tree.Send(WM_SETREDRAW, FALSE);
  Tree.Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  Ok.Enable();  // as on a fresh dialog, whatever the old tree's selection did

  loading_ = true;
  std::vector<HTREEITEM> items(folders.Size());
  // Level by level along the sorted links, each child last under its parent.
  // The tree view (Wine's) checks a parent by searching its items in the
  // order they went in: put in depth first, a deep tree's parents lie far
  // down that order, and the fill grows with the square of the tree.
  std::vector<Index> level, next;
  if (folders.Size() > 0) {
    items[FolderTree::Computer] = InsertNode(Tree, folders, FolderTree::Computer, TVI_ROOT);
    level.push_back(FolderTree::Computer);
  }
  while (!level.empty()) {
    next.clear();
    for (const Index parent : level) {
      for (Index i = folders.FirstChild(parent); i != FolderTree::None; i = folders.NextSibling(i)) {
        items[i] = InsertNode(Tree, folders, i, items[parent]);
        if (folders.FirstChild(i) != FolderTree::None) next.push_back(i);
      }
    }
    level.swap(next);
  }

  Tree.Send(WM_SETREDRAW, TRUE);
  if (folders.Selected() != FolderTree::None) {
    // The tree's own selection opens the ancestors, scrolls the node into
    // view and reports the change, which sets Ok.
    Tree.Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[folders.Selected()]));
  }
  loading_ = false;
}

// A move by the mouse or the keyboard chooses the folder; one made while the
// tree is filled (the pre-selection) leaves SelectedDir as the caller set it.
void TDirSelect::TreeChange() {
  const HTREEITEM selected = NextItem(Tree, nullptr, TVGN_CARET);
  Ok.Enable(selected != nullptr && NextItem(Tree, selected, TVGN_PARENT) != nullptr);
  if (!loading_) TreeClick();
}

void TDirSelect::TreeClick() {
  std::string dir;
  for (HTREEITEM item = NextItem(Tree, nullptr, TVGN_CARET);
       item && NextItem(Tree, item, TVGN_PARENT); item = NextItem(Tree, item, TVGN_PARENT)) {
    dir.insert(0, ItemText(Tree, item) + '\\');
  }
  SelectedDir = std::move(dir);
}

}  // namespace quillet::ui
