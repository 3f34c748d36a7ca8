#include "core/CommandLine.h"

#include "core/PathUtil.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace quillet {
namespace {

// A byte up to the blank, control bytes included, lies between arguments
// (the line holds no zero byte: SplitCommandLine ends it at the first).
bool IsGap(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// Reads one argument of line from byte at and returns where the next one may
// start. Steps by whole characters, so that a trail byte 0x22 or 0x20 inside
// a double-byte character is neither a quote nor a gap.
std::size_t ReadArgument(std::string_view line, std::size_t at, std::string& arg) {
  const platform::CharSteps steps(line);
  const auto quoteAt = [line](std::size_t i) { return i < line.size() && line[i] == '"'; };
  for (;;) {
    while (at < line.size() && IsGap(line[at])) at = steps.Next(at);
    // A pair of quotes here is an empty argument: drop it and look further.
    if (!quoteAt(at) || !quoteAt(at + 1)) break;
    at += 2;
  }
  arg.clear();
  // A quote opens a part that keeps its blanks, up to the next quote.
  bool quoted = false;
  for (std::size_t next = at; at < line.size() && (quoted || !IsGap(line[at])); at = next) {
    next = steps.Next(at);
    if (line[at] == '"') quoted = !quoted;
    else arg.append(line.substr(at, next - at));
  }
  return at;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  // The command line is a C string to the system: a zero byte ends it.
  const std::string_view line = commandLine.substr(0, commandLine.find('\0'));
  std::vector<std::string> args;
  std::string arg;
  std::size_t at = ReadArgument(line, 0, arg);  // the program's own name
  for (;;) {
    at = ReadArgument(line, at, arg);
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
