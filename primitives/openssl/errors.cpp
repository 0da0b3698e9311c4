#include <primitives/openssl/errors.hpp>

#include <openssl/err.h>

#include <stdexcept>

namespace quillon::openssl::detail {

void throwOpenSSLError(const std::string& what) {
  char reason[256] = "no reason given";
  if (unsigned long code = ERR_get_error(); code != 0) ERR_error_string_n(code, reason, sizeof reason);
  ERR_clear_error();
  throw std::runtime_error("OpenSSL: " + what + ": " + reason);
}

}  // namespace quillon::openssl::detail
