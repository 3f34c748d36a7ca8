#pragma once
// The Linux side of a test folder, for names Windows cannot make: characters
// outside the code page (café.txt), a yen sign, a trailing dot or blank
// ("rep.", "data "), both spellings of a name (a.txt beside A.TXT). Such
// names turn up on Linux disks and network shares. Names are UTF-8 bytes, as
// Linux keeps them. Under Wine the files are made through the Unix path of
// the folder (Wine's \\?\unix\ paths), so no Windows name rule applies; on
// the host stand-in the names are the bytes on disk.

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace quillet::test {

// UTF-8 text from a u8 literal: the test sources are compiled to code page
// 932, which has no "é".
std::string Utf8(std::u8string_view text);

class LinuxSide {
 public:
  // dir: the folder as the program names it, ending in "\" (a TempDir's path
  // or a drive's own folder such as "T:\sub\").
  explicit LinuxSide(const std::string& dir);
  // Removes what it made and everything else in the folder, through the
  // Linux side: the Windows names of such files may address others.
  ~LinuxSide();
  LinuxSide(const LinuxSide&) = delete;
  LinuxSide& operator=(const LinuxSide&) = delete;

  // False where there is no Linux side (Windows itself).
  bool Available() const { return !unixDir_.empty(); }

  // A new file or folder of that UTF-8 name; one that exists fails the test.
  void Write(const std::string& name, const std::string& content) const;
  void MakeDir(const std::string& name) const;
  // Removes a file of that UTF-8 name, as another program would.
  void Remove(const std::string& name) const;
  // Runs a shell command in the folder, for what only Linux makes: links,
  // FIFOs ("ln -s a.txt b.txt", "mkfifo f").
  void Shell(const std::string& command);

  // Every file directly in the folder by its UTF-8 name, with its content;
  // folders are left out.
  std::map<std::string, std::string> Files() const;
  // The folders directly in it, by UTF-8 name.
  std::set<std::string> Folders() const;

 private:
  void List(std::map<std::string, std::string>* files, std::set<std::string>* folders) const;
  std::string unixDir_;  // the folder's Unix path, without a trailing "/"
  // Whether the folder holds what only the Linux side may remove: under
  // Wine, deleting a link deletes the file it leads to.
  bool madeLinks_ = false;
};

}  // namespace quillet::test
