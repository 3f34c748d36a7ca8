#pragma once
// Test names for table rows, from each row's description (its `what`):
// letters and digits kept, everything else an underscore.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace quillet::test {

struct CaseName {
  template <class Row>
  std::string operator()(const testing::TestParamInfo<Row>& info) const {
    std::string name;
    for (char c : std::string(info.param.what))
      name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
  }
};

}  // namespace quillet::test
