#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/host/UnixPath.h"
#endif

namespace quillet::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TempDir TempDir::Existing(const std::string& dir) { return TempDir(dir, false); }

std::string TempDir::MakeLongJapanesePath() const {
  std::string sub;
  for (int level = 0; level < 3; ++level) {
    for (int i = 0; i < 40; ++i) sub += "\x8A\xBF";  // 漢
    MakeDir(sub);
    sub += "\\";
  }
  return sub;
}

#ifdef _WIN32

namespace {

// Removes everything below dir (ending in "\"), read-only or not. A link to
// a folder goes as itself: what it points at is not ours.
void RemoveContents(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName, path = dir + name;
    if (name == "." || name == "..") continue;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileA(path.c_str());
      continue;
    }
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveContents(path + "\\");
    RemoveDirectoryA(path.c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

TempDir::TempDir() {
  char temp[MAX_PATH + 1];
  if (!GetTempPathA(sizeof temp, temp)) throw std::runtime_error("GetTempPathA");
  for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
    const std::string dir = std::string(temp) + "quillet-" + std::to_string(n);
    if (CreateDirectoryA(dir.c_str(), nullptr)) {
      path_ = dir + "\\";
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("CreateDirectoryA " + dir);
  }
}

TempDir::~TempDir() {
  RemoveContents(path_);
  if (owned_) RemoveDirectoryA(path_.substr(0, path_.size() - 1).c_str());
}

std::string TempDir::Native(const std::string& name) const { return path_ + name; }

void TempDir::Write(const std::string& name, const std::string& content) const {
  HANDLE h = CreateFileA(Native(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_TRUE(ok && written == content.size()) << name;
}

std::string TempDir::MakeDir(const std::string& name) const {
  EXPECT_TRUE(CreateDirectoryA(Native(name).c_str(), nullptr)) << name;
  return path_ + name + "\\";
}

void TempDir::Attributes(const std::string& name, DWORD attributes) const {
  ASSERT_TRUE(SetFileAttributesA(Native(name).c_str(), attributes)) << name;
}

void TempDir::WriteTime(const std::string& name, SYSTEMTIME local) const {
  FILETIME lt, ft;
  ASSERT_TRUE(SystemTimeToFileTime(&local, &lt) && LocalFileTimeToFileTime(&lt, &ft)) << name;
  HANDLE h = CreateFileA(Native(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                         0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
  const BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
  ASSERT_TRUE(ok) << name;
}

std::map<std::string, std::string> TempDir::Files(const std::string& sub) const {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(Native(sub + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      files[fd.cFileName] = ReadAll(Native(sub + fd.cFileName));
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return files;
}

#else  // the host stand-in

TempDir::TempDir() {
  const char* tmp = getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillet-XXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp " + templ);
  path_ = templ + "\\";
}

TempDir::~TempDir() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Native(""), ec))
    std::filesystem::remove_all(e.path(), ec);
  if (owned_) rmdir(Native("").c_str());
}

std::string TempDir::Native(const std::string& name) const {
  return platform::host::ToUnixPath(path_ + name);
}

void TempDir::Write(const std::string& name, const std::string& content) const {
  const int fd = open(Native(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0) << name;
  const ssize_t written = write(fd, content.data(), content.size());
  close(fd);
  ASSERT_EQ(written, ssize_t(content.size())) << name;
}

std::string TempDir::MakeDir(const std::string& name) const {
  EXPECT_EQ(mkdir(Native(name).c_str(), 0755), 0) << name;
  return path_ + name + "\\";
}

void TempDir::Mode(const std::string& name, mode_t mode) const {
  ASSERT_EQ(chmod(Native(name).c_str(), mode), 0) << name;
}

void TempDir::WriteTime(const std::string& name, std::tm local) const {
  local.tm_isdst = -1;
  const timespec times[2] = {{0, UTIME_OMIT}, {mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, Native(name).c_str(), times, 0), 0) << name;
}

std::map<std::string, std::string> TempDir::Files(const std::string& sub) const {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Native(sub), ec))
    if (!e.is_directory()) files[e.path().filename().string()] = ReadAll(e.path().string());
  return files;
}

#endif

}  // namespace quillet::test
