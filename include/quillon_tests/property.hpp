#pragma once
// testProperty: a property leaf from a RapidCheck testable.

#include <rapidcheck.h>

#include <string>
#include <utility>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

namespace detail {
/// Checks `property` with RapidCheck's configuration (RC_PARAMS), under the
/// id that RapidCheck uses to look up a recorded failure to reproduce.
PropertyReport checkRapidCheckProperty(const rc::detail::Property& property,
                                       const std::string& id);
}  // namespace detail

/// A property leaf. `testable` is anything RapidCheck accepts: a callable
/// whose arguments are generated with rc::Arbitrary, returning bool or void
/// (using RC_ASSERT / RC_PRE). Arguments are reported unshrunk when the
/// generators do not shrink, as the byte-string generators do not.
template <class Testable>
Test testProperty(std::string name, Testable&& testable) {
  rc::detail::Property property = rc::detail::toProperty(std::forward<Testable>(testable));
  return propertyTest(std::move(name), [property = std::move(property)](const std::string& id) {
    return detail::checkRapidCheckProperty(property, id);
  });
}

}  // namespace quillon_tests
