#include "tests/common/RenameGate.h"

#include "platform/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/host/UnixPath.h"
#endif

namespace quillet {
namespace {

test::RenameGate gate = nullptr;

}  // namespace

test::GateSet::GateSet(RenameGate g) { gate = g; }
test::GateSet::~GateSet() { gate = nullptr; }

int platform::RenameFile(const std::string& oldPath, const std::string& newPath) {
  constexpr int kAccessDenied = 5;
  if (gate && !gate(oldPath, newPath)) return kAccessDenied;
#ifdef _WIN32
  if (MoveFileA(oldPath.c_str(), newPath.c_str())) return 0;
  return static_cast<int>(GetLastError());
#else
  return host::RenamePath(oldPath, newPath);
#endif
}

}  // namespace quillet
