#pragma once
// A GoogleTest listener that ends the run with one line per test suite
// (binding and group): how many tests passed and failed, then the totals.
// With --gtest_brief=1 this is the readable view of a run of tens of
// thousands of tests.

#include <gtest/gtest.h>

namespace quillon_check {

class SuiteSummary : public ::testing::EmptyTestEventListener {
 public:
  void OnTestProgramEnd(const ::testing::UnitTest& unitTest) override;
};

}  // namespace quillon_check
