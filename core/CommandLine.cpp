#include "core/CommandLine.h"

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet {
namespace {

// Every byte up to the blank counts as a separator, control bytes included.
bool IsSeparator(char c) {
  auto b = static_cast<unsigned char>(c);
  return b != 0 && b <= 0x20;
}

// Reads one argument from p and returns where the next one may start. Steps
// with the code page's own CharNext so that a trail byte 0x22 or 0x20 inside a
// double-byte character is neither a quote nor a separator.
const char* ReadArgument(const char* p, std::string& arg) {
  for (;;) {
    while (IsSeparator(*p)) p = platform::CharNext(p);
    // A pair of quotes here is an empty argument: drop it and look further.
    if (p[0] == '"' && p[1] == '"') {
      p += 2;
      continue;
    }
    break;
  }
  arg.clear();
  while (static_cast<unsigned char>(*p) > 0x20) {
    if (*p == '"') {
      p = platform::CharNext(p);
      while (*p != 0 && *p != '"') {
        const char* next = platform::CharNext(p);
        arg.append(p, next);
        p = next;
      }
      if (*p != 0) p = platform::CharNext(p);
    } else {
      const char* next = platform::CharNext(p);
      arg.append(p, next);
      p = next;
    }
  }
  return p;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  // The command line is a C string to the system: a zero byte ends it, and the
  // copy guarantees one for CharNext to stop on.
  const std::string line(commandLine.substr(0, commandLine.find('\0')));
  std::vector<std::string> args;
  std::string arg;
  const char* p = ReadArgument(line.c_str(), arg);  // the program's own name
  for (;;) {
    p = ReadArgument(p, arg);
    if (arg.empty()) break;
    args.push_back(arg);
  }
  return args;
}

std::string PathMaskOf(const std::string& argument) {
  // A last part with a wildcard is a mask, whatever the disk holds ("*" and
  // "?" are no trail bytes).
  const std::string_view last = FileNamePart(argument);
  if (last.find_first_of("*?") != std::string_view::npos || !platform::IsDirectory(argument)) return argument;
  return argument + (last.empty() ? "*.*" : "\\*.*");
}

}  // namespace quillet
