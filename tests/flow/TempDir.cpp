#include "tests/flow/TempDir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillet::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TempDir TempDir::Existing(const std::string& dir) {
  return TempDir(dir.substr(0, dir.size() - 1), dir, false);
}

#ifdef _WIN32

TempDir::TempDir() {
  char temp[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, temp)) throw std::runtime_error("GetTempPathA");
  for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
    root_ = std::string(temp) + "quillet-" + std::to_string(n);
    if (CreateDirectoryA(root_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("CreateDirectoryA " + root_);
  }
  dir_ = root_ + "\\";
}

TempDir::TempDir(const TempDir& parent, const std::string& name)
    : root_(parent.dir_ + name), dir_(root_ + "\\") {
  if (!CreateDirectoryA(root_.c_str(), nullptr))
    throw std::runtime_error("CreateDirectoryA " + root_);
}

TempDir::~TempDir() {
  for (const auto& entry : Files()) Remove(entry.first);
  if (owned_) RemoveDirectoryA(root_.c_str());
}

void TempDir::Write(const std::string& name, const std::string& content) {
  std::ofstream(dir_ + name, std::ios::binary) << content;
}

void TempDir::Remove(const std::string& name) {
  SetFileAttributesA((dir_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((dir_ + name).c_str());
}

std::map<std::string, std::string> TempDir::Files() const {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA((dir_ + "*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      files[data.cFileName] = ReadAll(dir_ + data.cFileName);
  } while (FindNextFileA(h, &data));
  FindClose(h);
  return files;
}

#else

TempDir::TempDir() {
  const char* tmp = getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillet-XXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp");
  root_ = templ;
  dir_ = root_ + "\\";
}

TempDir::TempDir(const TempDir& parent, const std::string& name)
    : root_(parent.root_ + "/" + name), dir_(root_ + "\\") {
  if (mkdir(root_.c_str(), 0700) != 0) throw std::runtime_error("mkdir " + root_);
}

TempDir::~TempDir() {
  for (const auto& entry : Files()) Remove(entry.first);
  if (owned_) rmdir(root_.c_str());
}

void TempDir::Write(const std::string& name, const std::string& content) {
  std::ofstream(root_ + "/" + name, std::ios::binary) << content;
}

void TempDir::Remove(const std::string& name) { unlink((root_ + "/" + name).c_str()); }

std::map<std::string, std::string> TempDir::Files() const {
  std::map<std::string, std::string> files;
  DIR* d = opendir(root_.c_str());
  if (!d) return files;
  while (const dirent* e = readdir(d)) {
    const std::string path = root_ + "/" + e->d_name;
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) files[e->d_name] = ReadAll(path);
  }
  closedir(d);
  return files;
}

#endif

}  // namespace quillet::test
