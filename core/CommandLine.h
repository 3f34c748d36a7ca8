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

// Argument 1 as the main window's path with mask. A path that names an
// existing directory and ends in no mask (a folder dropped on the program's
// icon, or sent to it from the Explorer) lists all of that directory: the
// mask "*.*" goes after it. Any other argument is taken as it is.
std::string PathMaskOf(const std::string& argument);

}  // namespace quillet
