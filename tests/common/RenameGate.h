#pragma once
// A stand-in for platform::RenameFile that a test links in place of the
// library's own (see platform/CMakeLists.txt): while a gate is set, it is
// asked before each rename with both paths, and a false answer fails that
// rename with nothing touched, as a refusal of the file system would.

#include <string>

namespace quillet::test {

using RenameGate = bool (*)(const std::string& oldPath, const std::string& newPath);

// Sets the gate for as long as it lives.
class GateSet {
 public:
  explicit GateSet(RenameGate gate);
  ~GateSet();
  GateSet(const GateSet&) = delete;
  GateSet& operator=(const GateSet&) = delete;
};

}  // namespace quillet::test
