#pragma once
// Internals of the known-answer suites that their tests and benchmarks
// look at: how file names map to kinds.

#include <optional>
#include <string>
#include <string_view>

#include <quillon_tests/aes.hpp>
#include <quillon_tests/twofish.hpp>

namespace quillon_tests::detail {

/// The AES file kinds, in the order of the AES table.
enum class AesFileKind { ecbEncrypt, ecbDecrypt, cbcEncrypt, cbcDecrypt, cfbEncrypt, cfbDecrypt,
                         ofbEncrypt, ofbDecrypt };

/// The TwoFish file kinds, in the order of the TwoFish table.
enum class TwoFishFileKind { cbcDecrypt, cbcEncrypt, ecbDecrypt, ecbEncrypt, ecbTable,
                             ecbVariableKey, ecbVariableText };

/// The key text of an AES file name: its first three characters (all of it
/// when shorter) and the last character of its stem. Nothing when the stem
/// is empty.
std::optional<std::string> aesKeyText(std::string_view fileName);

/// The kind an AES file name selects; nothing for a name of no supported kind.
std::optional<AesFileKind> aesFileKind(std::string_view fileName);

/// The row of the AES table for `kind`: its fields and texts.
const KatKind& aesKind(AesFileKind kind) noexcept;

/// The kind a TwoFish file stem names, or nothing.
std::optional<TwoFishFileKind> twoFishFileKind(std::string_view stem);

}  // namespace quillon_tests::detail
