#pragma once
// Real files for a test: a fresh directory under the system's temp directory,
// removed with everything in it afterwards. Paths and names are the program's
// ANSI byte strings: the directory ends in "\" (on the host stand-in too, such
// as "/tmp/quillet-XXXXXX\"), and a name may lead into a sub-folder with "\".

#include <map>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/types.h>

#include <ctime>
#endif

namespace quillet::test {

class TempDir {
 public:
  TempDir();
  // A directory that is already there, such as the root of a drive of the
  // test's own, written as the program writes it ("T:\"); what it holds is
  // removed afterwards, the directory itself stays.
  static TempDir Existing(const std::string& dir);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }

  // A new file; one that exists already fails the test, so two names the
  // file system takes for one cannot pass unnoticed.
  void Write(const std::string& name, const std::string& content = "") const;
  // A new sub-folder; returns its path, ending in "\".
  std::string MakeDir(const std::string& name) const;
  // Three nested sub-folders of 40 kanji each: some 150 characters in all
  // that take more than 260 bytes, a path the file functions take (they
  // count characters). Returns the deepest one's path relative to Path(),
  // ending in "\".
  std::string MakeLongJapanesePath() const;
#ifdef _WIN32
  void Attributes(const std::string& name, DWORD attributes) const;
  void WriteTime(const std::string& name, SYSTEMTIME local) const;
#else
  void Mode(const std::string& name, mode_t mode) const;
  void WriteTime(const std::string& name, std::tm local) const;
#endif

  // Every file directly in the directory, or in its sub-folder sub (ending in
  // "\"), by its name on disk with its content: a lost, doubled or
  // overwritten file shows as a difference. Folders are left out.
  std::map<std::string, std::string> Files(const std::string& sub = "") const;

 private:
  TempDir(std::string path, bool owned) : path_(std::move(path)), owned_(owned) {}
  // The name as the file system takes it.
  std::string Native(const std::string& name) const;

  std::string path_;
  bool owned_ = true;  // made here, so removed here
};

}  // namespace quillet::test
