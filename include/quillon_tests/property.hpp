#pragma once
// testProperty: a property leaf from a RapidCheck testable.

#include <rapidcheck.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

/// One input of a property case, named by its role, as a failure report
/// shows it: `summary` in the report's first line ("key 000102...0f (16
/// bytes)"; empty to leave the input out of it) and `detail` on a line of its
/// own ("000102030405060708090a0b0c0d0e0f (16 bytes)").
struct NotedInput {
  std::string role;
  std::string summary;
  std::string detail;
};

/// Names an input of the property case that is running on this thread, in
/// the words of its role: "message", "key", "IV", "split at", "HMAC key".
/// When a property notes its inputs, its failure report shows them in the
/// order noted, and nothing else of the generated values (no key material,
/// no C++ types); a property that notes none is reported with the engine's
/// own view of its arguments. Note each input before the checks that can
/// fail on it. Outside a check run through testProperty these do nothing.
void noteInput(NotedInput input);
/// Bytes such as a key: "key 000102...0f (16 bytes)", all of them (up to 48)
/// on the detail line.
void noteBytes(std::string role, quillon::ByteView bytes);
/// A message: "message of 32 bytes in chunks [16, 16]", and its bytes.
void noteMessage(std::string role, const quillon::ByteString& message);
void noteMessage(std::string role, const quillon::LazyByteString& message);
/// Any other value, as text: noteValue("split at", "16") shows "split at 16".
void noteValue(std::string role, std::string text);

namespace detail {
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

/// A property leaf. `testable` is anything RapidCheck accepts: a callable
/// whose arguments are generated with rc::Arbitrary, returning bool or void
/// (using RC_ASSERT / RC_PRE). A failure is shrunk before it is reported:
/// the report starts with the smallest failing case found, its inputs named
/// by role when the property notes them (noteMessage and the others:
/// "smallest failing case: message of 16 bytes in chunks [1, 15]"), then
/// the property's own messages, the number of shrink steps, and ends with
/// the RC_PARAMS setting that replays exactly that case. It stays under
/// 4,000 characters.
template <class Testable>
Test testProperty(std::string name, Testable&& testable) {
  rc::detail::Property property = rc::detail::toProperty(std::forward<Testable>(testable));
  return propertyTest(std::move(name), [property = std::move(property)](const std::string& id) {
    return detail::checkRapidCheckProperty(property, id);
  });
}

}  // namespace quillon_tests
