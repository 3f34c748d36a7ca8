// The rename, alone in its object file: see FileSystem.h.

#include "platform/FileSystem.h"

namespace quillet::platform {

int RenameFile(const std::string& oldPath, const std::string& newPath) {
  return MoveEntry(oldPath, newPath);
}

}  // namespace quillet::platform
