// The rename, alone in its object file: see FileSystem.h.

#include <windows.h>

#include "platform/FileSystem.h"

namespace quillet::platform {

int RenameFile(const std::string& oldPath, const std::string& newPath) {
  // No MOVEFILE_REPLACE_EXISTING: an existing target makes the call fail.
  if (MoveFileA(oldPath.c_str(), newPath.c_str())) return 0;
  const DWORD err = GetLastError();
  return err ? static_cast<int>(err) : ERROR_ACCESS_DENIED;  // 0 would mean done
}

}  // namespace quillet::platform
