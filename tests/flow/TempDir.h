#pragma once
// A fresh directory of real files for a test, removed again afterwards. Names
// are ANSI byte strings, as the program sees them.

#include <map>
#include <string>
#include <utility>

namespace quillet::test {

class TempDir {
 public:
  TempDir();
  // A new directory of that name inside parent, removed again with its files.
  TempDir(const TempDir& parent, const std::string& name);
  // An existing directory, such as a drive root, written as the program
  // writes it (ending with "\"); its files are removed afterwards, not it.
  static TempDir Existing(const std::string& dir);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory as the program writes it: ends with "\".
  const std::string& Dir() const { return dir_; }

  void Write(const std::string& name, const std::string& content);
  void Remove(const std::string& name);
  // Every file of the directory by its name on disk, with its content; so a
  // lost, doubled or overwritten file shows as a difference.
  std::map<std::string, std::string> Files() const;

 private:
  TempDir(std::string root, std::string dir, bool owned)
      : root_(std::move(root)), dir_(std::move(dir)), owned_(owned) {}

  std::string root_;  // as the file system takes it
  std::string dir_;
  bool owned_ = true;  // made here, so removed here
};

}  // namespace quillet::test
