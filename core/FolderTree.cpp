#include "core/FolderTree.h"

#include <algorithm>
#include <limits>

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Search.h"
#include "platform/Text.h"

namespace quillet {

namespace {

// A folder is worth listing only when the path that lists its files, its
// directory text (path plus "\") and "*.*", fits the file functions. They
// count characters, so a path of double-byte characters may take up to
// twice as many bytes.
constexpr std::size_t kMaxDirTextChars = platform::MaxPathChars - 3;

}  // namespace

FolderTree::FolderTree(std::string_view selectedDir)
    : selectedDir_(selectedDir), wanted_(UpperCased(selectedDir)) {
  Add(None, "");
}

void FolderTree::ScanDrives() {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root{letter, ':', '\\'};
    const unsigned type = platform::DriveType(root);
    if (type < platform::DriveRemovable || type > platform::DriveRamDisk) continue;
    ScanFolder(AddDrive(root.substr(0, 2), type));
  }
  Sort();
}

FolderTree::Index FolderTree::AddDrive(std::string_view text, unsigned type) {
  const Index drive = Add(Computer, text, type);
  Match(drive, std::string(text));
  drive_ = drive;
  return drive;
}

void FolderTree::ScanFolder(Index node) {
  if (node >= nodes_.size()) return;
  std::string path = Path(node);
  path.reserve(2 * (kMaxDirTextChars + 4));
  Scan(node, path, platform::CharCount(path));
}

void FolderTree::Scan(Index node, std::string& path, std::size_t pathChars) {
  if (!KeepScanning()) return;
  const std::size_t base = path.size();
  trail_.push_back({.PathEnd = base});
  platform::SearchRecord rec;
  path += "\\*.*";
  int error = platform::FindFirst(path, platform::Everything, rec);
  path.resize(base);
  for (; error == 0; error = platform::FindNext(rec)) {
    const std::string& name = rec.Name;
    if (name == "." || name == ".." || !(rec.Attr & platform::faDirectory)) continue;
    // A name that does not address its folder ("café" listed as "cafe",
    // "rep." as "rep") would open another directory once picked.
    if (!rec.NameExact) continue;
    const std::size_t childChars = pathChars + 1 + platform::CharCount(name);
    if (childChars + 1 > kMaxDirTextChars) continue;
    const Index child = Add(node, name);
    if (child == None) break;
    path += '\\';
    path += name;
    Match(child, path);
    if (!(rec.Attr & platform::faReparsePoint) || Follows(path)) Scan(child, path, childChars);
    path.resize(base);
  }
  platform::FindClose(rec);
  trail_.pop_back();
}

// A link is entered when it leads to a folder of the drive being scanned
// that is not on the path already. One that leaves the drive shows nothing
// the dialog would not show elsewhere, and under Wine it may lead to the
// whole host (a shell folder linked to the home directory, a "/" on no
// drive); one whose folder cannot be told (a dangling link) stays shut too.
bool FolderTree::Follows(const std::string& linkPath) {
  const std::optional<platform::FolderId> target = platform::FolderIdentity(linkPath);
  if (!target) return false;
  for (std::size_t i = 0; i < trail_.size(); ++i) {
    TrailFolder& folder = trail_[i];
    if (!folder.Known) {
      std::string path = linkPath.substr(0, folder.PathEnd);
      if (!path.empty() && path.back() == ':') path += '\\';  // "C:" alone is no root
      folder.Id = platform::FolderIdentity(path);
      folder.Known = true;
    }
    if (i == 0 && (!folder.Id || folder.Id->Volume != target->Volume)) return false;
    if (folder.Id == target) return false;
  }
  return true;
}

bool FolderTree::KeepScanning() {
  if (cancelled_) return false;
  ++read_;
  if (progress_ && !progress_(drive_ == None ? "" : Text(drive_), read_)) cancelled_ = true;
  return !cancelled_;
}

FolderTree::Index FolderTree::Add(Index parent, std::string_view text, unsigned driveType) {
  if (nodes_.size() >= std::numeric_limits<Index>::max() - 1 ||
      names_.size() > std::numeric_limits<std::uint32_t>::max() - text.size() - 1) {
    return None;
  }
  Node node{};
  node.Name = static_cast<std::uint32_t>(names_.size());
  node.Parent = parent;
  node.FirstChild = node.NextSibling = None;
  node.Level = parent == None ? 0 : static_cast<std::uint16_t>(nodes_[parent].Level + 1);
  node.DriveType = static_cast<std::uint8_t>(driveType);
  names_.append(text);
  names_.push_back('\0');
  nodes_.push_back(node);
  return static_cast<Index>(nodes_.size() - 1);
}

// A byte-exact match wins over one that agrees only when upper-cased: on a
// case-sensitive file system "Work" and "work" may both be there.
void FolderTree::Match(Index node, const std::string& path) {
  if (node == None || exact_ || path.size() + 1 != wanted_.size()) return;
  const std::string dirText = path + '\\';
  if (dirText == selectedDir_) {
    selected_ = node;
    exact_ = true;
  } else if (selected_ == None && UpperCased(dirText) == wanted_) {
    selected_ = node;
  }
}

void FolderTree::Sort() {
  // Bucket the nodes by parent (the scan interleaves siblings with their
  // descendants), then order each bucket on its own: n log n overall.
  const std::size_t n = nodes_.size();
  std::vector<Index> start(n + 1, 0);
  for (std::size_t i = 1; i < n; ++i) ++start[nodes_[i].Parent + 1];
  for (std::size_t i = 0; i < n; ++i) start[i + 1] += start[i];
  std::vector<Index> order(n > 0 ? n - 1 : 0);
  std::vector<Index> fill(start.begin(), start.end() - 1);
  for (std::size_t i = 1; i < n; ++i) order[fill[nodes_[i].Parent]++] = static_cast<Index>(i);

  const auto before = [this](Index a, Index b) {
    return platform::CompareText(Text(a), Text(b)) < 0;
  };
  for (std::size_t parent = 0; parent < n; ++parent) {
    const auto first = order.begin() + start[parent];
    const auto last = order.begin() + start[parent + 1];
    std::stable_sort(first, last, before);
    Index next = None;
    for (auto it = last; it != first;) {
      --it;
      nodes_[*it].NextSibling = next;
      next = *it;
    }
    nodes_[parent].FirstChild = next;
  }
}

std::string FolderTree::Path(Index i) const {
  std::string path;
  for (; i != None && Level(i) > 0; i = Parent(i)) {
    path.insert(0, Text(i));
    if (Level(i) > 1) path.insert(0, 1, '\\');
  }
  return path;
}

}  // namespace quillet
