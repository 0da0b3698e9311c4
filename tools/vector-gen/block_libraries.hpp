// AES (and TwoFish for CMAC) through four independent libraries, in the
// shapes the CTR, Monte Carlo and CMAC files need: a counter-mode call, a
// mode stream fed one block at a time, and a CMAC tag. Every generated value
// is computed by one library and compared with two others.
#pragma once

#include "bytes.hpp"

#include <memory>
#include <string>
#include <string_view>

namespace vector_gen {

enum class Library { openssl, nettle, gcrypt, botan };

std::string_view libraryName(Library library);

// AES-CTR with the whole 16-byte block as a big-endian counter, starting at
// `counter`; `input` of any length.
Bytes aesCtr(Library library, const Bytes& key, const Bytes& counter, const Bytes& input);

enum class StreamMode { ecb, cbc, cfb128, ofb };

// One AES key and direction in a chaining mode, fed one block per call; the
// library carries the chaining state (IV, feedback register) from call to
// call, as a long message would.
class BlockStream {
 public:
  virtual ~BlockStream() = default;
  virtual Bytes next(const Bytes& block) = 0;
};

// `iv` is ignored for ECB. Libraries: OpenSSL, nettle, libgcrypt.
std::unique_ptr<BlockStream> aesStream(Library library, StreamMode mode, bool encrypt,
                                       const Bytes& key, const Bytes& iv);

enum class CmacCipher { aes, twofish };

// The full 16-byte CMAC tag. AES: OpenSSL, nettle, libgcrypt. TwoFish:
// Botan, nettle, libgcrypt (OpenSSL has no TwoFish).
Bytes cmac(Library library, CmacCipher cipher, const Bytes& key, const Bytes& message);

}  // namespace vector_gen
