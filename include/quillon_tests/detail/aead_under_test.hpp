#pragma once
// An AEAD type as the AEAD suites see it: its static answers as function
// pointers and its keys behind virtual calls. The suites' properties are
// compiled once, in the library; a builder instantiates only this adapter
// for its type, which keeps the cost of one more AEAD type in a test
// program to a few small functions.

#include <concepts>
#include <cstddef>
#include <memory>
#include <optional>
#include <quillon/aead.hpp>
#include <quillon/byte_string.hpp>
#include <stdexcept>
#include <utility>

namespace quillon_tests::detail {

/// One key of the AEAD under test.
class AeadKeyUnderTest {
 public:
  virtual ~AeadKeyUnderTest() = default;
  [[nodiscard]] virtual std::optional<quillon::ByteString> seal(quillon::ByteView nonce,
                                                                quillon::ByteView aad,
                                                                quillon::ByteView plaintext,
                                                                std::size_t tagBytes) const = 0;
  [[nodiscard]] virtual std::optional<quillon::ByteString> open(quillon::ByteView nonce,
                                                                quillon::ByteView aad,
                                                                quillon::ByteView ciphertextAndTag,
                                                                std::size_t tagBytes) const = 0;
  /// Only for a type with the lazy members (AeadUnderTest::lazy).
  [[nodiscard]] virtual std::optional<quillon::ByteString> sealLazy(quillon::ByteView nonce,
                                                                    const quillon::LazyByteString& aad,
                                                                    const quillon::LazyByteString& plaintext,
                                                                    std::size_t tagBytes) const = 0;
  [[nodiscard]] virtual std::optional<quillon::ByteString> openLazy(
      quillon::ByteView nonce, const quillon::LazyByteString& aad,
      const quillon::LazyByteString& ciphertextAndTag, std::size_t tagBytes) const = 0;
};

/// What the suites know of an AEAD type: its static members, and how to
/// make a key (nothing when buildKey refuses the bytes).
struct AeadUnderTest {
  int keyLength = 0;  // bits
  bool lazy = false;
  bool (*acceptsNonceLength)(std::size_t) = nullptr;
  bool (*acceptsTagLength)(std::size_t) = nullptr;
  /// Every length, for a type without the optional member.
  bool (*acceptsAadLength)(std::size_t) = nullptr;
  bool (*acceptsTextLength)(std::size_t nonceBytes, std::size_t textBytes) = nullptr;
  std::unique_ptr<const AeadKeyUnderTest> (*buildKey)(quillon::ByteView) = nullptr;
};

template <class A>
class AeadKeyAdapter final : public AeadKeyUnderTest {
 public:
  explicit AeadKeyAdapter(A key) : key_(std::move(key)) {}

  std::optional<quillon::ByteString> seal(quillon::ByteView nonce, quillon::ByteView aad,
                                          quillon::ByteView plaintext, std::size_t tagBytes) const override {
    return key_.seal(nonce, aad, plaintext, tagBytes);
  }
  std::optional<quillon::ByteString> open(quillon::ByteView nonce, quillon::ByteView aad,
                                          quillon::ByteView ciphertextAndTag,
                                          std::size_t tagBytes) const override {
    return key_.open(nonce, aad, ciphertextAndTag, tagBytes);
  }
  std::optional<quillon::ByteString> sealLazy(quillon::ByteView nonce, const quillon::LazyByteString& aad,
                                              const quillon::LazyByteString& plaintext,
                                              std::size_t tagBytes) const override {
    if constexpr (quillon::LazyAead<A>) {
      return key_.sealLazy(nonce, aad, plaintext, tagBytes);
    } else {
      throw std::logic_error("quillon_tests: sealLazy asked of an AEAD without lazy members");
    }
  }
  std::optional<quillon::ByteString> openLazy(quillon::ByteView nonce, const quillon::LazyByteString& aad,
                                              const quillon::LazyByteString& ciphertextAndTag,
                                              std::size_t tagBytes) const override {
    if constexpr (quillon::LazyAead<A>) {
      return key_.openLazy(nonce, aad, ciphertextAndTag, tagBytes);
    } else {
      throw std::logic_error("quillon_tests: openLazy asked of an AEAD without lazy members");
    }
  }

 private:
  A key_;
};

template <quillon::Aead A>
AeadUnderTest aeadUnderTest() {
  AeadUnderTest aead;
  aead.keyLength = A::keyLength();
  aead.lazy = quillon::LazyAead<A>;
  aead.acceptsNonceLength = [](std::size_t bytes) -> bool { return A::acceptsNonceLength(bytes); };
  aead.acceptsTagLength = [](std::size_t bytes) -> bool { return A::acceptsTagLength(bytes); };
  aead.acceptsAadLength = [](std::size_t bytes) -> bool {
    if constexpr (requires {
                    { A::acceptsAadLength(bytes) } -> std::same_as<bool>;
                  })
      return A::acceptsAadLength(bytes);
    else
      return true;
  };
  aead.acceptsTextLength = [](std::size_t nonceBytes, std::size_t textBytes) -> bool {
    if constexpr (requires {
                    { A::acceptsTextLength(nonceBytes, textBytes) } -> std::same_as<bool>;
                  })
      return A::acceptsTextLength(nonceBytes, textBytes);
    else
      return true;
  };
  aead.buildKey = [](quillon::ByteView bytes) -> std::unique_ptr<const AeadKeyUnderTest> {
    std::optional<A> key = A::buildKey(bytes);
    if (!key) return nullptr;
    return std::make_unique<const AeadKeyAdapter<A>>(std::move(*key));
  };
  return aead;
}

}  // namespace quillon_tests::detail
