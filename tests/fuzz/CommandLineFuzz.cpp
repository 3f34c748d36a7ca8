// libFuzzer target over the command-line splitter. The input is the command
// line as the system hands it over; a zero byte ends it there too.
//
// A longer run than the one ctest makes (from the build tree of the fuzz
// preset; new finds go to the first directory):
//   mkdir -p command-line-corpus && tests/fuzz/fuzz_command_line -max_total_time=1800 \
//       -max_len=4096 command-line-corpus ../../tests/fuzz/command-line-corpus

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandLine.h"
#include "platform/Text.h"
#include "tests/fuzz/ExeStack.h"

namespace {

using quillet::SplitCommandLine;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The characters of a C string, stepped as the splitter steps.
std::vector<std::string_view> Characters(std::string_view text) {
  const quillet::platform::CharSteps steps(text);
  std::vector<std::string_view> chars;
  for (std::size_t i = 0, next = 0; i < text.size(); i = next) {
    next = steps.Next(i);
    chars.push_back(text.substr(i, next - i));
  }
  return chars;
}

// The arguments' characters, one argument after the other, are a subsequence
// of the line's characters: every byte comes from the line, in the same
// order, and a double-byte character never comes apart.
void RequireTakenFromLine(const std::string& line, const std::vector<std::string>& args) {
  const std::vector<std::string_view> lineChars = Characters(line.c_str());
  std::size_t at = 0;
  for (const std::string& arg : args) {
    for (std::string_view c : Characters(arg.c_str())) {
      while (at < lineChars.size() && lineChars[at] != c) ++at;
      Require(at < lineChars.size());
      ++at;
    }
  }
}

void RequireWellFormed(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    Require(!arg.empty());
    Require(arg.find('\0') == std::string::npos);
    for (std::string_view c : Characters(arg.c_str())) Require(c != "\"");
  }
}

// Blanks, control bytes and pairs of quotes, one piece per input byte: what
// may stand between arguments without making one.
std::string Gap(std::string_view input) {
  std::string gap;
  for (unsigned char b : input) {
    if (b & 1) gap += "\"\"";
    else gap += static_cast<char>(1 + (b >> 1) % 0x20);
  }
  return gap;
}

// The arguments written back as a command line: each one quoted, since it may
// hold blanks, with gap before each. The last quote stays open, as a quoted
// part also ends with the line: a closing quote could pair up with a lead
// byte that ends the last argument.
std::string Join(const std::vector<std::string>& args, const std::string& gap) {
  std::string line = "q.exe";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += '"';
    line += " " + gap + "\"" + args[i];
  }
  if (args.empty()) line += " " + gap;
  return line;
}

void CheckOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string line(input.substr(0, input.find('\0')));

  const std::vector<std::string> args = SplitCommandLine(input);
  RequireWellFormed(args);
  RequireTakenFromLine(line, args);
  Require(SplitCommandLine(line) == args);

  // Written back, with or without blanks and empty quoted arguments between
  // them, the arguments come out the same; with none, the gap alone gives no
  // argument at all.
  Require(SplitCommandLine(Join(args, "")) == args);
  const std::string gap = Gap(input.substr(0, 16));
  Require(SplitCommandLine(Join(args, gap)) == args);
  Require(SplitCommandLine(Join({}, gap)).empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillet::fuzz::OnExeStack([&] { CheckOneInput(data, size); });
  return 0;
}
