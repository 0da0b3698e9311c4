#include <stdexcept>
#include <quillon_tests/md5.hpp>

namespace quillon_tests::detail {

quillon::LazyByteString md5Message(std::string_view text) {
  const quillon::ByteString bytes(text);
  return quillon::LazyByteString({bytes.take(32), bytes.drop(32)});
}

void throwUndecodableMd5Digest(std::size_t vectorNumber) {
  throw std::runtime_error("Test/MD5:38:3-25|function fromRight: the digest type's get could not "
                           "read the expected digest of md5KAT" +
                           std::to_string(vectorNumber) +
                           " from its 16 bytes (it failed or asked for more input)");
}

}  // namespace quillon_tests::detail
