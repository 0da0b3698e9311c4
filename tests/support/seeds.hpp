#pragma once
// Fixed seeds for the tests that judge a random draw (a shrunk case, a
// planted bug being found), so that their verdicts repeat run after run.
// Tests that only check that a sound binding passes keep drawing afresh.

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include <quillon_tests/property.hpp>

namespace test_support {

/// The seeds the tests that judge shrinking run under: 1 to `count`.
inline std::vector<std::uint64_t> fixedSeeds(std::size_t count = 20) {
  std::vector<std::uint64_t> seeds;
  for (std::uint64_t seed = 1; seed <= count; ++seed) seeds.push_back(seed);
  return seeds;
}

/// While alive, property checks on this thread draw their cases from `seed`
/// (whatever RC_PARAMS says of the seed), and every failed assertion names
/// it. With `announce`, the seed is printed as the test starts.
class PropertySeed {
 public:
  explicit PropertySeed(std::uint64_t seed, bool announce = true)
      : params_("seed=" + std::to_string(seed)),
        trace_(__FILE__, __LINE__, "property seed " + std::to_string(seed)) {
    if (announce) std::cout << "[ seed     ] " << seed << std::endl;
  }

 private:
  quillon_tests::ScopedPropertyParams params_;
  ::testing::ScopedTrace trace_;
};

/// Calls `body(seed)` under each of `seeds` in turn, having printed them.
template <class Body>
void forEachSeed(const std::vector<std::uint64_t>& seeds, Body body) {
  if (seeds.empty()) return;
  std::cout << "[ seeds    ] " << seeds.front() << " to " << seeds.back() << std::endl;
  for (std::uint64_t seed : seeds) {
    const PropertySeed scoped(seed, false);
    body(seed);
  }
}

}  // namespace test_support
