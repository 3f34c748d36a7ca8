// The rename, alone in its object file: see FileSystem.h.

#include "platform/FileSystem.h"
#include "platform/host/UnixPath.h"

namespace quillet::platform {

int RenameFile(const std::string& oldPath, const std::string& newPath) {
  return host::RenamePath(oldPath, newPath);
}

}  // namespace quillet::platform
