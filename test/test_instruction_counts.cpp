// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What a steady-state call costs, in instructions counted by callgrind: exact
// and independent of machine noise. Two runs of the call driver differ only
// in how many calls they make, so their difference divided by the extra calls
// is the cost of one call.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "support/callgrind.hpp"
#include "support/string_command_library.hpp"

namespace
{

constexpr long kFewerCalls = 1000;
constexpr long kMoreCalls = 3000;

class InstructionCounts : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    if (ZORV_SANITIZED || std::string(ZORV_BUILD_TYPE) != "Release") {
      return;
    }
    const std::string driver = std::string(ZORV_CALL_DRIVER_PATH) + " " +
      test_support::kTypeSupportPath + " ";
    fewer_ = test_support::callgrind_self_instructions(driver + std::to_string(kFewerCalls));
    more_ = test_support::callgrind_self_instructions(driver + std::to_string(kMoreCalls));
  }

  void SetUp() override
  {
    if (ZORV_SANITIZED || std::string(ZORV_BUILD_TYPE) != "Release") {
      GTEST_SKIP() << "the targets are for the plain Release build";
    }
  }

  // Instructions per steady-state call of `function`, also recorded in the
  // test's output (--gtest_output) for the benchmark report.
  static double per_call(const std::string & function)
  {
    const auto fewer = fewer_.find(function);
    const auto more = more_.find(function);
    if (fewer == fewer_.end() || more == more_.end()) {
      ADD_FAILURE() << function << " not seen by callgrind";
      return 0;
    }
    const double instructions =
      static_cast<double>(more->second - fewer->second) / (kMoreCalls - kFewerCalls);
    RecordProperty(function, std::to_string(instructions));
    return instructions;
  }

  static std::map<std::string, std::uint64_t> fewer_;
  static std::map<std::string, std::uint64_t> more_;
};

std::map<std::string, std::uint64_t> InstructionCounts::fewer_;
std::map<std::string, std::uint64_t> InstructionCounts::more_;

TEST_F(InstructionCounts, MessageGetterIsAtMostFiveInstructions)
{
  for (const char * getter : {test_support::kRequestGetter, test_support::kResponseGetter}) {
    const double instructions = per_call(getter);
    EXPECT_GT(instructions, 0) << getter;
    EXPECT_LE(instructions, 5) << getter;
  }
}

// Its three fields fill in a fixed order, so one load and a test of the last
// decide the fast path.
TEST_F(InstructionCounts, ServiceGetterIsAtMostSixInstructions)
{
  const double instructions = per_call(test_support::kServiceGetter);
  EXPECT_GT(instructions, 0);
  EXPECT_LE(instructions, 6);
}

TEST_F(InstructionCounts, EachAdaptorIsASingleJumpToTheMessageLibrary)
{
  for (const char * adaptor : {test_support::kRequestInit, test_support::kRequestFini,
      test_support::kResponseInit, test_support::kResponseFini})
  {
    EXPECT_EQ(per_call(adaptor), 1) << adaptor;
  }
}

}  // namespace
