#pragma once
// The definitions of quillon_tests/property.hpp: how a RapidCheck property
// is checked and reported, and the helpers the kit's property builders share.

#include <rapidcheck.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <quillon/byte_string.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {

/// Bounds on the shrinking of one failure, so that a property whose every
/// candidate fails slowly still ends. The report says when a bound stopped
/// shrinking early: the case shown then fails but may not be the smallest.
struct ShrinkLimits {
  /// Smaller failing cases accepted, one after the other.
  std::size_t maxSteps = 500;
  /// Candidates run, failing or not.
  std::size_t maxTries = 10000;
};

/// The line that ends every failure report of checkRapidCheckProperty,
/// up to the RC_PARAMS value that replays the failing case.
inline constexpr std::string_view reproduceLinePrefix = "to reproduce this case: RC_PARAMS=\"";

/// `report` with its reproduce line made into one that reruns exactly its
/// case as one shell line: `to rerun this case: RC_PARAMS="..." <command>`,
/// where `command` runs the test alone (a program and its filter). A report
/// without that line is returned as it is.
std::string withRerunCommand(std::string report, std::string_view command);

/// Each of `tests` located at `where`, as withLocation locates one: how the
/// property builders locate their groups at the call that asked for them.
inline std::vector<Test> locatedAt(std::vector<Test> tests, const SourceLocation& where) {
  for (Test& test : tests) test = withLocation(std::move(test), where);
  return tests;
}

/// Two byte values that should be equal, for a property's report: both in
/// hex when short, else their lengths, the first differing offset and the
/// bytes of each from there; `b` is the reference value. Lines end with '\n'.
std::string describeDifference(const std::string& aName, quillon::ByteView a,
                               const std::string& bName, quillon::ByteView b);

/// Checks `property` with RapidCheck's configuration (RC_PARAMS, or the
/// innermost ScopedPropertyParams of this thread), under the
/// id that RapidCheck uses to look up a recorded failure to reproduce.
PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id);

/// The same with the test parameters and recorded failures of
/// `configuration` (e.g. read with rc::detail::configFromString from an
/// RC_PARAMS text) and the given shrink bounds.
PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id,
                                       const rc::detail::Configuration& configuration,
                                       const ShrinkLimits& limits);
}  // namespace detail

template <class Testable>
Test testProperty(std::string name, Testable&& testable) {
  rc::detail::Property property = rc::detail::toProperty(std::forward<Testable>(testable));
  return propertyTest(std::move(name), [property = std::move(property)](const std::string& id) {
    return detail::checkRapidCheckProperty(property, id);
  });
}

}  // namespace quillon_tests
