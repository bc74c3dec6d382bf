// Copyright 2026 The zorv_interfaces authors.
// Licensed under the Apache License, Version 2.0.

// What a steady-state call costs, counted by callgrind: instructions, and the
// data writes that show whether a call stores anything. Exact and independent
// of machine noise. Two runs of the call driver differ only in how many calls
// they make, so their difference divided by the extra calls is the cost of
// one call.

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

// The targets hold for optimised builds without a sanitizer; elsewhere the
// tests skip, and ctest counts them as skipped.
#if defined(__OPTIMIZE__) && !ZORV_SANITIZED
constexpr bool kCounted = true;
#else
constexpr bool kCounted = false;
#endif

class InstructionCounts : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    if (!kCounted) {
      return;
    }
    const std::string driver = std::string(ZORV_CALL_DRIVER_PATH) + " " +
      test_support::kTypeSupportPath + " ";
    fewer_ = test_support::callgrind_self_counts(driver + std::to_string(kFewerCalls));
    more_ = test_support::callgrind_self_counts(driver + std::to_string(kMoreCalls));
  }

  void SetUp() override
  {
    if (!kCounted) {
      GTEST_SKIP() << "the targets are for optimised builds without a sanitizer";
    }
  }

  // Events of kind `event` ("Ir", "Dw") per steady-state call of `function`,
  // also recorded in the test's output (--gtest_output) for the benchmark report.
  static double per_call(const std::string & function, const std::string & event = "Ir")
  {
    const auto fewer = fewer_.find(function);
    const auto more = more_.find(function);
    if (fewer == fewer_.end() || more == more_.end()) {
      ADD_FAILURE() << function << " not seen by callgrind";
      return -1;
    }
    const auto count = [&event](const test_support::EventCounts & counts) {
        const auto found = counts.find(event);
        return found == counts.end() ? std::uint64_t{0} : found->second;
      };
    const double per_call =
      (static_cast<double>(count(more->second)) - static_cast<double>(count(fewer->second))) /
      (kMoreCalls - kFewerCalls);
    RecordProperty(event == "Ir" ? function : function + "." + event, std::to_string(per_call));
    return per_call;
  }

  static std::map<std::string, test_support::EventCounts> fewer_;
  static std::map<std::string, test_support::EventCounts> more_;
};

std::map<std::string, test_support::EventCounts> InstructionCounts::fewer_;
std::map<std::string, test_support::EventCounts> InstructionCounts::more_;

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

// Once filled, nothing is stored again: a getter that rewrote a field on every
// call would race with readers of the records, and an adaptor has nothing to
// store. The return address of a call is written by the caller's instruction,
// so the floor of each function's own writes is zero. A getter's reads are
// the one load of its fast path and the return address.
TEST_F(InstructionCounts, SteadyStateCallsWriteNoMemory)
{
  for (const char * function : {test_support::kRequestGetter, test_support::kResponseGetter,
      test_support::kServiceGetter, test_support::kRequestInit, test_support::kRequestFini,
      test_support::kResponseInit, test_support::kResponseFini})
  {
    EXPECT_EQ(per_call(function, "Dw"), 0) << function;
  }
  for (const char * getter :
    {test_support::kRequestGetter, test_support::kResponseGetter, test_support::kServiceGetter})
  {
    EXPECT_EQ(per_call(getter, "Dr"), 2) << getter;
  }
}

}  // namespace
