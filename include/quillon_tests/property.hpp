#pragma once
// testProperty: a property leaf from a RapidCheck testable, and the words a
// property uses to name the inputs of a failing case.

#include <rapidcheck.h>  // the testables' RC_ASSERT, RC_PRE, RC_LOG, *gen::...

#include <memory>
#include <string>

#include <quillon/byte_string.hpp>
#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

/// A property leaf. `testable` is anything RapidCheck accepts: a callable
/// whose arguments are generated with rc::Arbitrary, returning bool or void
/// (using RC_ASSERT / RC_PRE). A failure is shrunk before it is reported:
/// the report starts with the smallest failing case found, its inputs named
/// by role when the property notes them (noteMessage and the others:
/// "smallest failing case: message of 16 bytes in chunks [1, 15]"), then
/// the property's own messages, the number of shrink steps, and ends with
/// the RC_PARAMS setting that replays exactly that case. It stays under
/// 4,000 characters. Shrinking stops after 500 smaller failing cases or
/// 10,000 candidates tried, whichever comes first; the report then says
/// that the case shown fails but may not be the smallest.
template <class Testable>
Test testProperty(std::string name, Testable&& testable);

/// While alive, property checks on this thread read `rcParams` (the syntax
/// of the RC_PARAMS environment variable, e.g. the setting a failure report
/// prints) over the environment's own setting: a replay without a new
/// process. Throws RapidCheck's configuration error (a std::exception) for
/// text it cannot read.
class ScopedPropertyParams {
 public:
  explicit ScopedPropertyParams(const std::string& rcParams);
  ~ScopedPropertyParams();
  ScopedPropertyParams(const ScopedPropertyParams&) = delete;
  ScopedPropertyParams& operator=(const ScopedPropertyParams&) = delete;

 private:
  struct Scope;
  std::unique_ptr<Scope> scope_;
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

}  // namespace quillon_tests

#include <quillon_tests/detail/property.hpp>
