#pragma once
// What the AEAD properties and differential tests share: the suite's
// type-erased AEADs and drawn cases, the key of a case, and the checks that
// log for the report.

#include <rapidcheck.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <quillon/byte_string.hpp>
#include <quillon_tests/detail/aead_inputs.hpp>
#include <quillon_tests/detail/aead_under_test.hpp>
#include <quillon_tests/test_tree.hpp>
#include <string>
#include <vector>

namespace quillon_tests::detail {

using KeyUnderTest = std::unique_ptr<const AeadKeyUnderTest>;

/// The key bytes a case gets: keyLength() / 8 (none for a length under a byte).
inline std::size_t keyBytesOf(const AeadUnderTest& aead) {
  return aead.keyLength >= 8 ? static_cast<std::size_t>(aead.keyLength / 8) : 0;
}

/// The key of `aead` for the case; discards the case when buildKey refuses
/// its bytes or the type refuses its AAD or text length.
KeyUnderTest keyFor(const AeadUnderTest& aead, const AeadCase& value);

/// `bytes` with bit `bit` (0 for 0x01) of byte `at` flipped.
quillon::ByteString flipped(quillon::ByteView bytes, std::size_t at, unsigned bit);

/// `a` followed by `b`.
quillon::ByteString joined(quillon::ByteView a, quillon::ByteView b);

/// The case sealed by `key`; logs and gives nothing when seal gives nothing.
std::optional<quillon::ByteString> sealCase(const AeadKeyUnderTest& key, const AeadCase& value);

/// Whether `result` is nothing; otherwise logs that `call` should have
/// given nothing, and what it gave.
bool givesNothing(const std::optional<quillon::ByteString>& result, const std::string& call);

/// "nothing", or the bytes (shortHex).
std::string resultText(const std::optional<quillon::ByteString>& result);

/// Leaves named `names` that fail, each with `message`: for a type the
/// suite cannot test (no length it accepts), which must not pass.
std::vector<Test> failingLeaves(const std::vector<const char*>& names, const std::string& message);

}  // namespace quillon_tests::detail
