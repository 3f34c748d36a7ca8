#pragma once
// What a test may ask about its own process.

namespace quillet::test {

// Whether the tests run under Wine, where some calls answer otherwise than on
// Windows.
bool RunningOnWine();

// Handles (on the host: file descriptors) this process holds open, so a test
// can tell a leak; -1 when that cannot be told.
int OpenHandles();

}  // namespace quillet::test
