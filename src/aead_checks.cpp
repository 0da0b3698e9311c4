#include "aead_checks.hpp"

#include <vector>

namespace quillon_tests::detail {

using quillon::Byte;
using quillon::ByteString;
using quillon::ByteView;

KeyUnderTest keyFor(const AeadUnderTest& aead, const AeadCase& value) {
  KeyUnderTest key = aead.buildKey(value.key);
  if (!key) RC_DISCARD("buildKey refused the key bytes");
  if (!aead.acceptsAadLength(value.aad.size()) ||
      !aead.acceptsTextLength(value.nonce.size(), value.plaintext.size()))
    RC_DISCARD("the type does not take AAD or plaintext of these lengths");
  return key;
}

ByteString flipped(ByteView bytes, std::size_t at, unsigned bit) {
  std::vector<Byte> out(bytes.begin(), bytes.end());
  out.at(at) = static_cast<Byte>(out.at(at) ^ (1u << bit));
  return ByteString(std::move(out));
}

ByteString joined(ByteView a, ByteView b) {
  std::vector<Byte> out(a.begin(), a.end());
  out.insert(out.end(), b.begin(), b.end());
  return ByteString(std::move(out));
}

std::optional<ByteString> sealCase(const AeadKeyUnderTest& key, const AeadCase& value) {
  std::optional<ByteString> sealed = key.seal(value.nonce, value.aad, value.plaintext, value.tagBytes);
  if (!sealed) {
    RC_LOG() << "seal gave nothing, though the type accepts a " << value.nonce.size() << "-byte nonce and a "
             << value.tagBytes << "-byte tag\n";
  } else if (sealed->size() < value.tagBytes) {
    RC_LOG() << "seal gave " << shortHex(*sealed) << ", shorter than the " << value.tagBytes << "-byte tag\n";
    return std::nullopt;
  }
  return sealed;
}

bool givesNothing(const std::optional<ByteString>& result, const std::string& call) {
  if (!result) return true;
  RC_LOG() << call << " should give nothing, but gave " << shortHex(*result) << '\n';
  return false;
}

std::string resultText(const std::optional<ByteString>& result) {
  return result ? shortHex(*result) : "nothing";
}

std::vector<Test> failingLeaves(const std::vector<const char*>& names, const std::string& message) {
  std::vector<Test> leaves;
  for (const char* name : names) {
    leaves.push_back(propertyTest(name, [message](const std::string& /*id*/) {
      return PropertyReport{PropertyVerdict::failed, message};
    }));
  }
  return leaves;
}

}  // namespace quillon_tests::detail
