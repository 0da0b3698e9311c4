#pragma once
// Internals of the known-answer suites that their tests and benchmarks
// look at: how file names map to kinds.

#include <optional>
#include <string>
#include <string_view>

#include <quillon_tests/detail/block_cipher_kat.hpp>

namespace quillon_tests::detail {

/// The key text of an AES file name: its first three characters (all of it
/// when shorter) and the last character of its stem. Nothing when the stem
/// is empty.
std::optional<std::string> aesKeyText(std::string_view fileName);

/// The call an AES file name's tests make (encryptBlock for "ECBe",
/// unCbc for "CBCd", ...); nothing for a name of no supported kind.
std::optional<ModeCall> aesFileKind(std::string_view fileName);

}  // namespace quillon_tests::detail
