#include "tests/common/LinuxSide.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/host/UnixPath.h"
#endif

namespace quillet::test {

std::string Utf8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

#ifdef _WIN32

namespace {

std::wstring Wide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

std::string Utf8Of(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(n > 0 ? n - 1 : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
  return text;
}

// Wine reaches a Unix path as it is through \\?\unix\, with "\" between its
// parts: no drive mapping, no case-blind lookup, no trimming of dots.
std::wstring UnixPathW(const std::string& unixPath) {
  std::wstring path = L"\\\\?\\unix" + Wide(unixPath, CP_UTF8);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
  std::string content;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) content.append(buf, got);
  CloseHandle(h);
  return content;
}

void RemoveBelow(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName, path = dir + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveBelow(path);
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

}  // namespace

LinuxSide::LinuxSide(const std::string& dir) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) return;  // Windows itself
  char* unixPath = unixFileName(Wide(dir, CP_ACP).c_str());
  if (!unixPath) return;
  unixDir_ = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  while (unixDir_.size() > 1 && unixDir_.back() == '/') unixDir_.pop_back();
}

LinuxSide::~LinuxSide() {
  if (madeLinks_) Shell("find . -mindepth 1 -maxdepth 1 ! -type f ! -type d -delete");
  if (Available()) RemoveBelow(UnixPathW(unixDir_));
}

// Wine starts a Unix program without a handle to wait on: the command leaves
// a mark once done, and the wait is for the mark.
void LinuxSide::Shell(const std::string& command) {
  ASSERT_TRUE(Available());
  madeLinks_ = true;
  const std::string done = unixDir_ + ".done";
  std::wstring line = L"\\\\?\\unix\\bin\\sh -c \"" +
                     Wide("cd '" + unixDir_ + "' && " + command + " && : > '" + done + "'", CP_UTF8) + L"\"";
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
  const std::wstring mark = UnixPathW(done);
  bool ran = false;
  for (int i = 0; i < 1000 && !(ran = DeleteFileW(mark.c_str())); ++i) Sleep(10);
  ASSERT_TRUE(ran) << command;
}

void LinuxSide::Write(const std::string& name, const std::string& content) const {
  ASSERT_TRUE(Available());
  HANDLE h = CreateFileW(UnixPathW(unixDir_ + "/" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
  CloseHandle(h);
  ASSERT_TRUE(ok && written == content.size()) << name;
}

void LinuxSide::MakeDir(const std::string& name) const {
  ASSERT_TRUE(Available());
  ASSERT_TRUE(CreateDirectoryW(UnixPathW(unixDir_ + "/" + name).c_str(), nullptr)) << name;
}

void LinuxSide::Remove(const std::string& name) const {
  ASSERT_TRUE(DeleteFileW(UnixPathW(unixDir_ + "/" + name).c_str())) << name;
}

void LinuxSide::List(std::map<std::string, std::string>* files,
                     std::set<std::string>* folders) const {
  const std::wstring dir = UnixPathW(unixDir_);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      (*files)[Utf8Of(fd.cFileName)] = ReadAll(dir + L"\\" + name);
    else if (folders)
      folders->insert(Utf8Of(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

#else  // the host stand-in: the bytes are the names

LinuxSide::LinuxSide(const std::string& dir)
    : unixDir_(platform::host::ToUnixPath(dir.substr(0, dir.size() - 1))) {}

void LinuxSide::Shell(const std::string& command) {
  ASSERT_EQ(std::system(("cd '" + unixDir_ + "' && " + command).c_str()), 0) << command;
}

LinuxSide::~LinuxSide() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(unixDir_, ec))
    std::filesystem::remove_all(e.path(), ec);
}

void LinuxSide::Write(const std::string& name, const std::string& content) const {
  const int fd = open((unixDir_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0) << name;
  const ssize_t written = write(fd, content.data(), content.size());
  close(fd);
  ASSERT_EQ(written, ssize_t(content.size())) << name;
}

void LinuxSide::MakeDir(const std::string& name) const {
  ASSERT_TRUE(std::filesystem::create_directory(unixDir_ + "/" + name)) << name;
}

void LinuxSide::Remove(const std::string& name) const {
  ASSERT_EQ(unlink((unixDir_ + "/" + name).c_str()), 0) << name;
}

void LinuxSide::List(std::map<std::string, std::string>* files,
                     std::set<std::string>* folders) const {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(unixDir_, ec)) {
    const std::string name = e.path().filename().string();
    std::error_code unreadable;  // a link that leads to itself
    const bool folder = e.is_directory(unreadable);
    if (!folder && !e.is_regular_file(unreadable)) {
      (*files)[name] = "";  // a FIFO would wait for a writer
    } else if (!folder) {
      std::ifstream in(e.path(), std::ios::binary);
      (*files)[name] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    } else if (folders) {
      folders->insert(name);
    }
  }
}

#endif

std::map<std::string, std::string> LinuxSide::Files() const {
  std::map<std::string, std::string> files;
  List(&files, nullptr);
  return files;
}

std::set<std::string> LinuxSide::Folders() const {
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  List(&files, &folders);
  return folders;
}

}  // namespace quillet::test
