// Process and shell services of the host stand-in.

#include "platform/Shell.h"

#include <fstream>
#include <iterator>

namespace quillet::platform {

// The arguments of /proc/self/cmdline joined by blanks, those with a blank or
// a tab (or none at all) in double quotes, as a Windows command line has them.
std::string CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    std::string arg = raw.substr(start, end - start);
    if (!line.empty()) line += ' ';
    bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
    line += quote ? '"' + arg + '"' : arg;
    start = end + 1;
  }
  return line;
}

// There is no shell to hand an address to on the host: nothing happens.
void ShellOpen(void*, const char*) {}

}  // namespace quillet::platform
