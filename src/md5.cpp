#include <stdexcept>
#include <quillon_tests/md5.hpp>

namespace quillon_tests::detail {

quillon::LazyByteString md5Message(std::string_view text) {
  const quillon::ByteString bytes(text);
  return quillon::LazyByteString({bytes.take(32), bytes.drop(32)});
}

void throwUndecodableMd5Digest(std::size_t vectorNumber) {
  throw DigestDecodeError("makeMD5Tests: md5KAT" + std::to_string(vectorNumber) +
                          ": the digest type's get could not read the expected digest from its "
                          "16 bytes (it failed or asked for more input)");
}

}  // namespace quillon_tests::detail
