#pragma once
// Hex text to bytes, as the vector files write them.

#include <string_view>

#include <quillon/byte_string.hpp>
#include <quillon_tests/errors.hpp>

namespace quillon_tests {

/// Decodes hex text, two characters per byte, high digit first; both letter
/// cases are accepted. Nothing is skipped (blanks, "0x" and signs are
/// ordinary characters). Rules, checked in this order:
///  - an odd number of characters raises HexDecodeError with the text
///    "Not an even number of hex characters in input to hexStringToBS!",
///    whatever the characters are;
///  - a pair whose first character is not a hex digit raises HexDecodeError;
///  - a pair whose second character is not a hex digit is read as its first
///    digit alone ("0g" is the byte 0x00, "7x" is 0x07).
/// The result is complete or an exception is thrown; never a partial result.
quillon::ByteString hexStringToBS(std::string_view text);

}  // namespace quillon_tests
