#pragma once
// Splits a command line into arguments: blanks and control bytes separate,
// double quotes group and are dropped, there is no escape character. The
// program's own name comes first.

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Every argument after the program name, up to (not including) the first one
// that comes out empty.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace quillet
