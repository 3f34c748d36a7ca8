#pragma once
// Every drive and its whole folder hierarchy, read into a compact model before
// the directory dialog fills its tree view from it. Scanning into a model first
// lets each level be sorted once (instead of a sorted insert per folder) and
// keeps the view's own work to one append per node.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace quillet {

class FolderTree {
 public:
  using Index = std::uint32_t;
  static constexpr Index None = ~Index{0};
  static constexpr Index Computer = 0;

  // Holds the computer node only, which has no text of its own. selectedDir
  // is the directory text (ending in "\") whose node becomes Selected(); it
  // is compared upper-cased.
  explicit FolderTree(std::string_view selectedDir = {});

  // The computer node's children: each drive A: to Z: that is removable,
  // fixed, remote, CD-ROM or a RAM disk, each with all its folders; sorted.
  void ScanDrives();

  // A drive node under the computer node, of the type platform::DriveType
  // tells. Its text is the root without the trailing "\" ("C:"); any
  // directory path works, which the benchmark uses.
  Index AddDrive(std::string_view text, unsigned type);

  // Adds every folder below node, depth first. A linked folder (junction,
  // symbolic link) shows what it leads to, unless that is one of the folders
  // on the path being scanned, told by identity, not by name, so every link
  // cycle ends; a link off the drive is listed but not entered. A folder
  // whose files could not be listed through a path (too many characters,
  // whatever the bytes), or whose listed name addresses another folder or
  // none, is left out.
  void ScanFolder(Index node);

  // Told before each folder is read, with the text of its drive node and the
  // number of folders read so far, counting this one; false ends the scan,
  // and the tree keeps what it has.
  using Progress = std::function<bool(std::string_view drive, std::size_t folders)>;
  void ReportTo(Progress progress) { progress_ = std::move(progress); }
  // Whether the progress called the scan off.
  bool Cancelled() const { return cancelled_; }

  // Links every node's children, ordered by the locale's text order; the
  // child and sibling links are valid only after this.
  void Sort();

  std::size_t Size() const { return nodes_.size(); }
  const char* Text(Index i) const { return names_.data() + nodes_[i].Name; }
  // The type of a drive node, as AddDrive was told; 0 for the computer
  // node and for folders.
  unsigned DriveType(Index i) const { return nodes_[i].DriveType; }
  Index Parent(Index i) const { return nodes_[i].Parent; }
  Index FirstChild(Index i) const { return nodes_[i].FirstChild; }
  Index NextSibling(Index i) const { return nodes_[i].NextSibling; }

  // The node whose directory text matches selectedDir, or None.
  Index Selected() const { return selected_; }

 private:
  struct Node {
    std::uint32_t Name;  // offset of the zero-terminated text in names_
    Index Parent, FirstChild, NextSibling;
    std::uint16_t Level;
    std::uint8_t DriveType;
  };

  // One folder on the path being scanned: where its text ends in the path,
  // and its identity, asked for only once a link needs it (most trees have
  // no links, and asking costs a file open).
  struct TrailFolder {
    std::size_t PathEnd;
    bool Known = false;
    std::optional<platform::FolderId> Id;
  };

  unsigned Level(Index i) const { return nodes_[i].Level; }
  // The node's texts from the drive down, joined by "\" ("C:\Photos\2001").
  std::string Path(Index i) const;
  Index Add(Index parent, std::string_view text, unsigned driveType = 0);
  void Scan(Index node, std::string& path, std::size_t pathChars);
  bool Follows(const std::string& linkPath);
  void Match(Index node, const std::string& path);
  bool KeepScanning();

  std::vector<Node> nodes_;
  std::string names_;
  std::vector<TrailFolder> trail_;  // the folders on the path being scanned
  std::string selectedDir_;
  std::string wanted_;  // selectedDir_ upper-cased
  Index selected_ = None;
  bool exact_ = false;  // selected_ matched byte for byte, not only by case
  Progress progress_;
  Index drive_ = None;  // the drive being read
  std::size_t read_ = 0;
  bool cancelled_ = false;
};

}  // namespace quillet
