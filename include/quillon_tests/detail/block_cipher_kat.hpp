#pragma once
// Pieces shared by the AES and TwoFish known-answer suites: where a vector
// came from, the comparison that reports a wrong cipher output, and hex
// decoding of the fields that are decoded while the test list is built.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include <quillon/byte_string.hpp>

namespace quillon_tests::detail {

/// The vector file a record came from and the record's position in it. The
/// path is shared by all tests of a file; the text of a failure note is only
/// made when a test fails.
struct VectorOrigin {
  std::shared_ptr<const std::string> path;
  /// Counts the file's records from 1, across its categories.
  std::size_t record = 0;
};

/// Passes when `computed` equals `expected`. Otherwise fails through
/// assertEqual(testName, computed, expected, note): the cipher's output is
/// the value shown as expected and the vector's value the one shown as got,
/// the order every known-answer suite uses. The note names the vector file
/// and record, says what each value is (`operation`, e.g.
/// "cbc(KEY, IV, PLAINTEXT)", and `expectedField`, e.g. "CIPHERTEXT"), and
/// gives the first differing byte and the block it lies in.
void checkCipherOutput(std::string_view testName, const quillon::ByteString& computed,
                       const quillon::ByteString& expected, const VectorOrigin& origin,
                       std::string_view operation, std::string_view expectedField,
                       int blockSizeBits);

/// hexStringToBS for a field that is decoded while the list is built (an IV,
/// an AES key): the HexDecodeError it raises also names the field, the file
/// and the record, since it ends the whole builder.
quillon::ByteString decodeFieldWhileBuilding(std::string_view text, std::string_view field,
                                             const VectorOrigin& origin);

/// The reason of a record skipped for a missing field: `missing "KEY"`.
std::string missingField(std::string_view key);

}  // namespace quillon_tests::detail
