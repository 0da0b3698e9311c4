// Every AEAD type of the kit, the library bindings and the generic GCM and
// CCM: published records, agreement with a reference over a grid of
// lengths, and the inputs each must refuse without crashing.

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <quillon/quillon.hpp>
#include <quillon_tests/hex.hpp>

#include <primitives/botan/aead.hpp>
#include <primitives/nettle/aead.hpp>
#include <primitives/nettle/twofish.hpp>
#include <primitives/openssl/aead.hpp>
#include <primitives/openssl/aes.hpp>

#include "aead/published_records.hpp"
#include "support/bytes.hpp"
#include "toy_cipher.hpp"

namespace {

using aead_test::Family;
using quillon::ByteString;
using quillon::LazyByteString;
using quillon_tests::hexStringToBS;
using test_support::pattern;

/// A type under test, its family, and the type it must agree with (void: none).
template <class A, Family F, class Reference = void>
struct Case {
  using Type = A;
  using ReferenceType = Reference;
  static constexpr Family family = F;
};
/// Names a case in the test list after its struct, e.g. "openssl_AES128GCM".
struct CaseNames {
  template <class C>
  static std::string GetName(int) {
    const std::string name = ::testing::internal::GetTypeName<C>();
    return name.substr(name.rfind(':') + 1);
  }
};

namespace ossl = quillon::openssl;
namespace nttl = quillon::nettle;
namespace btn = quillon::botan;
template <class K>
using Gcm = quillon::Gcm<K>;
template <class K>
using Ccm = quillon::Ccm<K>;

constexpr Family gcm = Family::aesGcm, ccm = Family::aesCcm, chacha = Family::chacha20Poly1305;
constexpr Family twofishGcm = Family::twofishGcm, twofishCcm = Family::twofishCcm;

// TwoFish has no published GCM or CCM records: Botan's modes over its
// TwoFish are the reference for the generic ones over nettle's.
struct openssl_AES128GCM : Case<ossl::AES128GCM, gcm, Gcm<ossl::AES128>> {};
struct openssl_AES192GCM : Case<ossl::AES192GCM, gcm, Gcm<ossl::AES192>> {};
struct openssl_AES256GCM : Case<ossl::AES256GCM, gcm, Gcm<ossl::AES256>> {};
struct nettle_AES128GCM : Case<nttl::AES128GCM, gcm, Gcm<ossl::AES128>> {};
struct nettle_AES192GCM : Case<nttl::AES192GCM, gcm, Gcm<ossl::AES192>> {};
struct nettle_AES256GCM : Case<nttl::AES256GCM, gcm, Gcm<ossl::AES256>> {};
struct botan_AES128GCM : Case<btn::AES128GCM, gcm, Gcm<ossl::AES128>> {};
struct botan_AES192GCM : Case<btn::AES192GCM, gcm, Gcm<ossl::AES192>> {};
struct botan_AES256GCM : Case<btn::AES256GCM, gcm, Gcm<ossl::AES256>> {};
struct Gcm_openssl_AES128 : Case<Gcm<ossl::AES128>, gcm> {};
struct Gcm_openssl_AES192 : Case<Gcm<ossl::AES192>, gcm> {};
struct Gcm_openssl_AES256 : Case<Gcm<ossl::AES256>, gcm> {};
struct Gcm_nettle_TwoFish : Case<Gcm<nttl::TwoFish>, twofishGcm, btn::TwoFishGCM> {};
struct botan_TwoFishGCM : Case<btn::TwoFishGCM, twofishGcm> {};
struct openssl_AES128CCM : Case<ossl::AES128CCM, ccm, Ccm<ossl::AES128>> {};
struct openssl_AES192CCM : Case<ossl::AES192CCM, ccm, Ccm<ossl::AES192>> {};
struct openssl_AES256CCM : Case<ossl::AES256CCM, ccm, Ccm<ossl::AES256>> {};
struct nettle_AES128CCM : Case<nttl::AES128CCM, ccm, Ccm<ossl::AES128>> {};
struct nettle_AES192CCM : Case<nttl::AES192CCM, ccm, Ccm<ossl::AES192>> {};
struct nettle_AES256CCM : Case<nttl::AES256CCM, ccm, Ccm<ossl::AES256>> {};
struct botan_AES128CCM : Case<btn::AES128CCM, ccm, Ccm<ossl::AES128>> {};
struct botan_AES192CCM : Case<btn::AES192CCM, ccm, Ccm<ossl::AES192>> {};
struct botan_AES256CCM : Case<btn::AES256CCM, ccm, Ccm<ossl::AES256>> {};
struct Ccm_openssl_AES128 : Case<Ccm<ossl::AES128>, ccm> {};
struct Ccm_openssl_AES192 : Case<Ccm<ossl::AES192>, ccm> {};
struct Ccm_openssl_AES256 : Case<Ccm<ossl::AES256>, ccm> {};
struct Ccm_nettle_TwoFish : Case<Ccm<nttl::TwoFish>, twofishCcm, btn::TwoFishCCM> {};
struct botan_TwoFishCCM : Case<btn::TwoFishCCM, twofishCcm> {};
struct openssl_ChaCha20Poly1305 : Case<ossl::ChaCha20Poly1305, chacha> {};
struct nettle_ChaCha20Poly1305 : Case<nttl::ChaCha20Poly1305, chacha, ossl::ChaCha20Poly1305> {};
struct botan_ChaCha20Poly1305 : Case<btn::ChaCha20Poly1305, chacha, ossl::ChaCha20Poly1305> {};
template <class... Cases>
struct CaseList {};
using AllCases = CaseList<
    openssl_AES128GCM, openssl_AES192GCM, openssl_AES256GCM, nettle_AES128GCM, nettle_AES192GCM,
    nettle_AES256GCM, botan_AES128GCM, botan_AES192GCM, botan_AES256GCM, Gcm_openssl_AES128,
    Gcm_openssl_AES192, Gcm_openssl_AES256, Gcm_nettle_TwoFish, botan_TwoFishGCM, openssl_AES128CCM,
    openssl_AES192CCM, openssl_AES256CCM, nettle_AES128CCM, nettle_AES192CCM, nettle_AES256CCM,
    botan_AES128CCM, botan_AES192CCM, botan_AES256CCM, Ccm_openssl_AES128, Ccm_openssl_AES192,
    Ccm_openssl_AES256, Ccm_nettle_TwoFish, botan_TwoFishCCM, openssl_ChaCha20Poly1305,
    nettle_ChaCha20Poly1305, botan_ChaCha20Poly1305>;

template <class C>
struct HasReference : std::bool_constant<!std::is_void_v<typename C::ReferenceType>> {};
template <class C>
struct HasPublishedRecords : std::bool_constant<C::family == gcm || C::family == ccm || C::family == chacha> {};
template <class C>
struct AnyCase : std::true_type {};

/// The cases of a CaseList that Keep holds for, as GoogleTest's type list.
template <template <class> class Keep, class List>
struct Select;
template <template <class> class Keep>
struct Select<Keep, CaseList<>> {
  using type = ::testing::Types<>;
};
template <template <class> class Keep, class First, class... Rest>
struct Select<Keep, CaseList<First, Rest...>> {
  template <class Types>
  struct Prepend;
  template <class... Kept>
  struct Prepend<::testing::Types<Kept...>> {
    using type = ::testing::Types<First, Kept...>;
  };
  using Others = typename Select<Keep, CaseList<Rest...>>::type;
  using type = std::conditional_t<Keep<First>::value, typename Prepend<Others>::type, Others>;
};

bool isGcm(Family family) { return family == Family::aesGcm || family == Family::twofishGcm; }
bool isCcm(Family family) { return family == Family::aesCcm || family == Family::twofishCcm; }
std::size_t usualNonceBytes(Family family) { return isCcm(family) ? 13 : 12; }

/// `bytes` in uneven chunks (1, 15, 17, 3, 64, ...) that cross block edges.
LazyByteString unevenChunks(const ByteString& bytes) {
  static constexpr std::size_t sizes[] = {1, 15, 17, 3, 64};
  std::vector<ByteString> chunks;
  for (std::size_t at = 0, i = 0; at < bytes.size(); at += sizes[i++ % 5])
    chunks.push_back(bytes.drop(at).take(sizes[i % 5]));
  return LazyByteString(std::move(chunks));
}

/// seal, and sealLazy over uneven chunks when A has it, which must agree.
template <class A>
std::optional<ByteString> seal(const A& key, const ByteString& nonce, const ByteString& aad,
                               const ByteString& plaintext, std::size_t tagBytes) {
  std::optional<ByteString> sealed = key.seal(nonce, aad, plaintext, tagBytes);
  if constexpr (quillon::LazyAead<A>) {
    EXPECT_EQ(key.sealLazy(nonce, unevenChunks(aad), unevenChunks(plaintext), tagBytes), sealed)
        << "sealLazy differs from seal";
  }
  return sealed;
}

/// open, and openLazy likewise.
template <class A>
std::optional<ByteString> open(const A& key, const ByteString& nonce, const ByteString& aad,
                               const ByteString& input, std::size_t tagBytes) {
  std::optional<ByteString> opened = key.open(nonce, aad, input, tagBytes);
  if constexpr (quillon::LazyAead<A>) {
    EXPECT_EQ(key.openLazy(nonce, unevenChunks(aad), unevenChunks(input), tagBytes), opened)
        << "openLazy differs from open";
  }
  return opened;
}

template <class A>
A keyOf(const ByteString& bytes) {
  std::optional<A> key = A::buildKey(bytes);
  if (!key) throw std::invalid_argument("buildKey refused " + test_support::hex(bytes));
  return *key;
}

template <class C>
class AeadPublishedRecords : public ::testing::Test {};
using AeadPublishedRecordsCases = Select<HasPublishedRecords, AllCases>::type;
TYPED_TEST_SUITE(AeadPublishedRecords, AeadPublishedRecordsCases, CaseNames);
template <class C>
class AeadAgreement : public ::testing::Test {};
using AeadAgreementCases = Select<HasReference, AllCases>::type;
TYPED_TEST_SUITE(AeadAgreement, AeadAgreementCases, CaseNames);
template <class C>
class AeadRefusals : public ::testing::Test {};
using AeadRefusalsCases = Select<AnyCase, AllCases>::type;
TYPED_TEST_SUITE(AeadRefusals, AeadRefusalsCases, CaseNames);

// Records of a length the type does not accept (Botan's 4-byte GCM tags)
// must be refused, not passed.
TYPED_TEST(AeadPublishedRecords, MatchesEachRecord) {
  using A = typename TypeParam::Type;
  int ran = 0;
  for (const aead_test::PublishedRecord& record : aead_test::publishedRecords) {
    if (record.family != TypeParam::family || record.keyBits != A::keyLength()) continue;
    SCOPED_TRACE(record.source);
    const A key = keyOf<A>(hexStringToBS(record.key));
    const ByteString nonce = hexStringToBS(record.nonce), aad = hexStringToBS(record.aad);
    const ByteString tag = hexStringToBS(record.tag);
    const ByteString sealed = quillon::concat({hexStringToBS(record.ciphertext), tag});
    ++ran;
    if (!A::acceptsNonceLength(nonce.size()) || !A::acceptsTagLength(tag.size())) {
      EXPECT_EQ(key.seal(nonce, aad, hexStringToBS(record.plaintext), tag.size()), std::nullopt);
      EXPECT_EQ(open(key, nonce, aad, sealed, tag.size()), std::nullopt);
    } else if (record.valid) {
      EXPECT_EQ(seal(key, nonce, aad, hexStringToBS(record.plaintext), tag.size()), sealed);
      EXPECT_EQ(open(key, nonce, aad, sealed, tag.size()), hexStringToBS(record.plaintext));
    } else {
      EXPECT_EQ(open(key, nonce, aad, sealed, tag.size()), std::nullopt);
    }
  }
  EXPECT_GT(ran, 0) << "no published record for this type";
}

/// Every AAD and text length of the grid, under every nonce length (with a
/// 16-byte tag) and every tag length (with the usual nonce) that both the
/// type and its reference accept.
template <class C>
void expectAgreementOnGrid() {
  using A = typename C::Type;
  using R = typename C::ReferenceType;
  const ByteString keyBytes = pattern(static_cast<std::size_t>(A::keyLength() / 8), 1);
  const A key = keyOf<A>(keyBytes);
  const R reference = keyOf<R>(keyBytes);
  std::vector<std::pair<std::size_t, std::size_t>> nonceAndTag;
  for (std::size_t nonceBytes : {1, 2, 7, 8, 11, 12, 13, 14, 15, 16, 17, 60, 128})
    nonceAndTag.emplace_back(nonceBytes, 16);
  for (std::size_t tagBytes = 1; tagBytes <= 16; ++tagBytes)
    nonceAndTag.emplace_back(usualNonceBytes(C::family), tagBytes);
  int compared = 0;
  const auto compare = [&](std::size_t nonceBytes, std::size_t tagBytes, std::size_t aadBytes,
                           std::size_t textBytes) {
    SCOPED_TRACE(::testing::Message() << "nonce " << nonceBytes << ", tag " << tagBytes << ", AAD "
                                      << aadBytes << ", text " << textBytes << " bytes");
    const ByteString nonce = pattern(nonceBytes, 2), aad = pattern(aadBytes, 3);
    const ByteString plaintext = pattern(textBytes, 4);
    if (!A::acceptsAadLength(aadBytes)) {  // Botan's CCM from 0xFF00 bytes on
      EXPECT_EQ(seal(key, nonce, aad, plaintext, tagBytes), std::nullopt);
      return;
    }
    if (!R::acceptsAadLength(aadBytes)) return;
    const std::optional<ByteString> expected = reference.seal(nonce, aad, plaintext, tagBytes);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(seal(key, nonce, aad, plaintext, tagBytes), expected);
    EXPECT_EQ(open(key, nonce, aad, *expected, tagBytes), plaintext);
    ++compared;
  };
  for (const auto& [nonceBytes, tagBytes] : nonceAndTag) {
    if (!A::acceptsNonceLength(nonceBytes) || !R::acceptsNonceLength(nonceBytes) ||
        !A::acceptsTagLength(tagBytes) || !R::acceptsTagLength(tagBytes))
      continue;
    for (std::size_t aadBytes : {0, 1, 15, 16, 17, 64, 65})
      for (std::size_t textBytes : {0, 1, 15, 16, 17, 64, 65}) compare(nonceBytes, tagBytes, aadBytes, textBytes);
  }
  EXPECT_GT(compared, 0) << "no length both accept";
  // CCM's AAD length: two bytes up to 0xFEFF, 0xFFFE and four bytes from
  // 0xFF00 (where the generic Ccm is the only reference Botan's TwoFish has).
  if (isCcm(C::family))
    for (std::size_t aadBytes : {0xFEFF, 0xFF00}) compare(13, 16, aadBytes, 17);
}

TYPED_TEST(AeadAgreement, MatchesReferenceOnLengthGrid) { expectAgreementOnGrid<TypeParam>(); }

/// The refusals every type owes: lengths outside its set (each tried with
/// the real tag cut or padded to that length, so a library that checks
/// only a prefix shows it), forged tags and text, input shorter than the
/// tag, and for CCM a message too long for q = 2. Nothing comes back, and
/// nothing crashes.
template <class C>
void expectRefusals() {
  using A = typename C::Type;
  const Family family = C::family;
  const A key = keyOf<A>(pattern(static_cast<std::size_t>(A::keyLength() / 8), 5));
  const std::size_t usualNonce = usualNonceBytes(family);
  const ByteString aad = pattern(5, 6);

  struct Lengths {
    std::size_t nonceBytes, tagBytes;
  };
  std::vector<Lengths> refused = {{0, 16}, {usualNonce, 0}, {usualNonce, 1}, {usualNonce, 3},
                                  {usualNonce, 17}, {usualNonce, 32}};
  if (isGcm(family))
    for (std::size_t tagBytes : {5, 6, 7, 9, 10, 11}) refused.push_back({12, tagBytes});
  if (isCcm(family))
    for (Lengths lengths : {Lengths{6, 16}, {14, 16}, {15, 16}, {13, 2}, {13, 5}, {13, 15}})
      refused.push_back(lengths);
  if (family == Family::chacha20Poly1305)
    for (Lengths lengths : {Lengths{8, 16}, {11, 16}, {13, 16}, {24, 16}, {12, 4}, {12, 12}, {12, 15}})
      refused.push_back(lengths);

  for (std::size_t textBytes : {0, 17}) {
    const ByteString plaintext = pattern(textBytes, 7);
    const ByteString nonce = pattern(usualNonce, 8);
    const ByteString sealed = *key.seal(nonce, aad, plaintext, 16);
    const ByteString ciphertext = sealed.take(textBytes), tag = sealed.drop(textBytes);
    for (const Lengths& lengths : refused) {
      SCOPED_TRACE(::testing::Message() << "nonce " << lengths.nonceBytes << ", tag " << lengths.tagBytes
                                        << ", text " << textBytes << " bytes");
      EXPECT_FALSE(A::acceptsNonceLength(lengths.nonceBytes) && A::acceptsTagLength(lengths.tagBytes));
      const ByteString otherNonce = pattern(lengths.nonceBytes, 8);
      const ByteString cutTag = quillon::concat({tag, ByteString(16, 0)}).take(lengths.tagBytes);
      EXPECT_EQ(seal(key, otherNonce, aad, plaintext, lengths.tagBytes), std::nullopt);
      EXPECT_EQ(open(key, otherNonce, aad, quillon::concat({ciphertext, cutTag}), lengths.tagBytes),
                std::nullopt);
    }
    const auto flipped = [&](std::size_t at) {
      std::vector<quillon::Byte> bytes(sealed.begin(), sealed.end());
      bytes[at] ^= 0x01;
      return ByteString(std::move(bytes));
    };
    std::vector<std::pair<const char*, ByteString>> forged = {
        {"tag missing its last byte", sealed.take(sealed.size() - 1)},
        {"input shorter than the tag", tag.take(15)},
        {"first tag bit flipped", flipped(textBytes)},
        {"last tag bit flipped", flipped(sealed.size() - 1)},
        {"one byte appended", quillon::concat({sealed, ByteString(1, 0)})},
    };
    if (textBytes > 0) forged.emplace_back("first text bit flipped", flipped(0));
    for (const auto& [what, input] : forged) {
      SCOPED_TRACE(::testing::Message() << what << ", text " << textBytes << " bytes");
      EXPECT_EQ(open(key, nonce, aad, input, 16), std::nullopt);
    }
    EXPECT_EQ(open(key, nonce, pattern(5, 9), sealed, 16), std::nullopt) << "other AAD";
  }

  if (isCcm(family)) {  // q = 2: at most 65,535 bytes of text
    const ByteString nonce = pattern(13, 10), longest(65535, 0xab), tooLong(65536, 0xab);
    const std::optional<ByteString> sealed = key.seal(nonce, aad, longest, 16);
    ASSERT_TRUE(sealed.has_value());
    EXPECT_EQ(key.open(nonce, aad, *sealed, 16), longest);
    EXPECT_EQ(seal(key, nonce, aad, tooLong, 16), std::nullopt);
    EXPECT_EQ(open(key, nonce, aad, quillon::concat({*sealed, ByteString(1, 0)}), 16), std::nullopt);
  }
  EXPECT_EQ(A::buildKey(pattern(static_cast<std::size_t>(A::keyLength() / 8) + 1, 5)), std::nullopt);
}

TYPED_TEST(AeadRefusals, RefusesWhatItMust) { expectRefusals<TypeParam>(); }

TEST(GenericAead, GivesNoKeyOverBlocksOtherThan128Bits) {
  ASSERT_EQ(ToyXorCipher::blockSize(), 64);
  EXPECT_FALSE(quillon::Gcm<ToyXorCipher>::buildKey(pattern(16)).has_value());
  EXPECT_FALSE(quillon::Ccm<ToyXorCipher>::buildKey(pattern(16)).has_value());
}

}  // namespace
