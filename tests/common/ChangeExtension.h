#pragma once
// The path with its extension changed to ext (the empty text takes it off):
// the checks build the base of a name with it, as the name transformation
// is meant to, and hold its answers against that. Header only, so that the
// fuzz targets have it without the rest of the test support.

#include <string>
#include <string_view>

#include "core/PathUtil.h"

namespace quillet::test {

inline std::string ChangeExtension(std::string_view path, std::string_view ext) {
  std::string result(path.substr(0, path.size() - Extension(path).size()));
  return result += ext;
}

}  // namespace quillet::test
