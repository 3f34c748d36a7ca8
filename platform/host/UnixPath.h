#pragma once
// The host stand-in's bridge between the program's path texts, which use "\"
// as the separator, and the Unix file system, which wants "/". Both accept
// either separator. Double-byte aware, so a trail byte 0x5C stays part of its
// character.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/FileMask.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet::platform::host {

// The Windows error codes the stand-in reports, as the real calls would.
enum : int {
  ErrorFileNotFound = 2,
  ErrorPathNotFound = 3,
  ErrorAccessDenied = 5,
  ErrorInvalidHandle = 6,
  ErrorNoMoreFiles = 18,
  ErrorSharingViolation = 32,
  ErrorFileExists = 80,
  ErrorInvalidName = 123,
  ErrorAlreadyExists = 183,
  ErrorFilenameExcedRange = 206,
};

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Calls f(position, byte) for every byte that stands for itself, that is,
// every byte that is not part of a double-byte character.
template <class F>
void ForEachSingleByte(std::string_view path, F&& f) {
  const CharSteps steps(path);
  for (std::size_t i = 0, next = 0; i < path.size(); i = next) {
    next = steps.Next(i);
    if (next == i + 1) f(i, path[i]);
  }
}

inline std::string ToUnixPath(std::string_view path) {
  std::string out(path);
  ForEachSingleByte(path, [&](std::size_t i, char c) { if (c == '\\') out[i] = '/'; });
  return out;
}

// The position just after the last separator; 0 when there is none.
inline std::size_t NameStart(std::string_view path) {
  std::size_t start = 0;
  ForEachSingleByte(path, [&](std::size_t i, char c) { if (IsSeparator(c)) start = i + 1; });
  return start;
}

// The path as the Windows calls take it: its last part trimmed (TrimLastPart;
// "..." leaves the path ending in its separator).
inline std::string_view WithoutTrailingDotsAndBlanks(std::string_view path) {
  const std::size_t start = NameStart(path);
  return path.substr(0, start + TrimLastPart(path.substr(start)).size());
}

// Whether the Windows calls take path: at most MaxPathChars characters.
inline bool FitsPathLimit(std::string_view path) { return CharCount(path) <= MaxPathChars; }

}  // namespace quillet::platform::host
