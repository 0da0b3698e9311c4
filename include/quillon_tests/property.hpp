#pragma once
// testProperty: a property leaf from a RapidCheck testable.

#include <rapidcheck.h>

#include <cstddef>
#include <string>
#include <utility>

#include <quillon/byte_string.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// Bounds on the shrinking of one failure, so that a property whose every
/// candidate fails slowly still ends. The report says when a bound stopped
/// shrinking early: the case shown then fails but may not be the smallest.
struct ShrinkLimits {
  /// Smaller failing cases accepted, one after the other.
  std::size_t maxSteps = 500;
  /// Candidates run, failing or not.
  std::size_t maxTries = 10000;
};

/// While alive, property checks on this thread read `rcParams` (the syntax
/// of the RC_PARAMS environment variable, e.g. the setting a failure report
/// prints) over the environment's own setting: a replay without a new
/// process. Throws rc::detail::ConfigurationException for text it cannot read.
class ScopedPropertyParams {
 public:
  explicit ScopedPropertyParams(const std::string& rcParams);
  ~ScopedPropertyParams();
  ScopedPropertyParams(const ScopedPropertyParams&) = delete;
  ScopedPropertyParams& operator=(const ScopedPropertyParams&) = delete;

 private:
  rc::detail::Configuration configuration_;
  const rc::detail::Configuration* previous_;
};

namespace detail {
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

/// A property leaf. `testable` is anything RapidCheck accepts: a callable
/// whose arguments are generated with rc::Arbitrary, returning bool or void
/// (using RC_ASSERT / RC_PRE). A failure is shrunk before it is reported:
/// the report shows the smallest failing case found ("smallest failing case:
/// 16 bytes in chunks [1, 15]" for byte-string inputs), the property's own
/// messages, the number of shrink steps, and the RC_PARAMS setting that
/// replays exactly that case. It stays under 4,000 characters.
template <class Testable>
Test testProperty(std::string name, Testable&& testable) {
  rc::detail::Property property = rc::detail::toProperty(std::forward<Testable>(testable));
  return propertyTest(std::move(name), [property = std::move(property)](const std::string& id) {
    return detail::checkRapidCheckProperty(property, id);
  });
}

}  // namespace quillon_tests
