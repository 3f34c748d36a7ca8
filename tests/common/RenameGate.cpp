#include "tests/common/RenameGate.h"

#include "platform/FileSystem.h"

namespace quillet {
namespace {

test::RenameGate gate = nullptr;

}  // namespace

test::GateSet::GateSet(RenameGate g) { gate = g; }
test::GateSet::~GateSet() { gate = nullptr; }

int platform::RenameFile(const std::string& oldPath, const std::string& newPath) {
  constexpr int kAccessDenied = 5;
  if (gate && !gate(oldPath, newPath)) return kAccessDenied;
  return platform::MoveEntry(oldPath, newPath);
}

}  // namespace quillet
