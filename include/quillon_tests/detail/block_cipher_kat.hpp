#pragma once
// Pieces shared by the AES and TwoFish known-answer suites: the comparison
// that reports a wrong cipher output, and hex decoding of the fields that are
// decoded while the test list is built.

#include <cstddef>
#include <string>
#include <string_view>

#include <quillon/byte_string.hpp>

namespace quillon_tests::detail {

/// What a failure report says about a known-answer test besides the values.
/// Only views: the text is put together when a test fails, not before.
struct CipherCheck {
  /// The test's name is namePrefix followed by nameIndex.
  std::string_view namePrefix;
  std::string_view nameIndex;
  /// The vector file and the record's position in it (from 1, across the
  /// file's categories).
  std::string_view path;
  std::size_t record;
  /// What the cipher computed and what the vector gives, e.g.
  /// "cbc(KEY, IV, PLAINTEXT)" and "CIPHERTEXT".
  std::string_view operation;
  std::string_view expectedField;
  int blockSizeBits;
};

/// Passes when `computed` equals `expected`. Otherwise fails through
/// assertEqual(test name, computed, expected, note): the cipher's output is
/// the value shown as expected and the vector's value the one shown as got,
/// the order every known-answer suite uses. The note names the vector file
/// and record, says what each value is, and gives the first differing byte
/// and the block it lies in.
void checkCipherOutput(const quillon::ByteString& computed, const quillon::ByteString& expected,
                       const CipherCheck& check);

/// hexStringToBS for a field that is decoded while the list is built (an IV,
/// an AES key): the HexDecodeError it raises also names the field, the file
/// and the record, since it ends the whole builder.
quillon::ByteString decodeFieldWhileBuilding(std::string_view text, std::string_view field,
                                             std::string_view path, std::size_t record);

/// The reason of a record skipped for a missing field: `missing "KEY"`.
std::string missingField(std::string_view key);

}  // namespace quillon_tests::detail
