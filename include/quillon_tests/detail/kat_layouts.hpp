#pragma once
// The layouts of the known-answer suites (defined in src/, one file per
// suite): their vector directories, file kinds, fields and naming.

#include <string>
#include <string_view>

#include <quillon_tests/detail/kat_selection.hpp>

namespace quillon_tests::detail {

/// How the summaries name a digest: "SHA1" gives "SHA-1", "SHA512_224"
/// "SHA-512/224", "SHA3_256" "SHA3-256".
std::string digestTitle(std::string_view variant);

const KatLayout& aesLayout();
const KatLayout& twoFishLayout();
/// The NIST message files owned by `prefix` ("SHA1" ... "SHA512", "SHA3_224" ...) in `directory`.
KatLayout shaLayout(std::string_view prefix, std::string_view directory = "Test/KAT_SHA");
/// The categories of the HMAC files whose "L" is that of `algorithm` ("SHA1" ... "SHA512").
KatLayout hmacLayout(std::string_view algorithm);
/// Every file of "Test/KAT_AES_CTR", the direction from each category header.
const KatLayout& aesCtrLayout();
/// The ECBMCT, CBCMCT, CFB128MCT and OFBMCT files of "Test/KAT_AES_MCT".
const KatLayout& aesMonteLayout();
/// The CMACGenAES and CMACGenTwofish files of "Test/KAT_CMAC".
const KatLayout& cmacLayout();
const KatLayout& twoFishCmacLayout();

}  // namespace quillon_tests::detail
