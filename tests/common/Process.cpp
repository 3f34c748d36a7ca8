#include "tests/common/Process.h"

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace quillet::test {

#ifdef _WIN32

namespace {

FARPROC FromNtdll(const char* name) { return GetProcAddress(GetModuleHandleA("ntdll.dll"), name); }

}  // namespace

bool RunningOnWine() { return FromNtdll("wine_get_version") != nullptr; }

// Wine's GetProcessHandleCount always says 0, but its system handle table,
// which names each handle's process, is exact.
int OpenHandles() {
  if (!RunningOnWine()) {
    DWORD n = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &n) ? int(n) : -1;
  }
  struct HandleEntry {
    ULONG pid;
    BYTE type, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(FromNtdll("NtQuerySystemInformation")));
  const ULONG SystemHandleInformation = 16;
  std::vector<char> buf(1 << 16);
  ULONG len = 0;
  while (query(SystemHandleInformation, buf.data(), ULONG(buf.size()), &len) != 0) {
    if (buf.size() > (1u << 26)) return -1;
    buf.resize(buf.size() * 2);
  }
  const ULONG count = *reinterpret_cast<ULONG*>(buf.data());
  auto entries = reinterpret_cast<HandleEntry*>(buf.data() + sizeof(ULONG_PTR));
  return int(std::count_if(entries, entries + count,
                           [](const HandleEntry& e) { return e.pid == GetCurrentProcessId(); }));
}

#else  // the host stand-in

bool RunningOnWine() { return false; }

int OpenHandles() {
  DIR* d = opendir("/proc/self/fd");
  if (!d) return -1;
  int n = 0;
  while (readdir(d)) ++n;
  closedir(d);
  return n;
}

#endif

}  // namespace quillet::test
