#pragma once
// A fresh directory of real files for a test, removed again afterwards. Names
// are ANSI byte strings, as the program sees them.

#include <map>
#include <string>

namespace quillet::test {

class TempDir {
 public:
  TempDir();
  // A new directory of that name inside parent, removed again with its files.
  TempDir(const TempDir& parent, const std::string& name);
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
  std::string root_;  // as the file system takes it
  std::string dir_;
};

}  // namespace quillet::test
