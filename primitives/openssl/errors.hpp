#pragma once
// OpenSSL's error queue as exceptions, for the OpenSSL bindings.

#include <string>

namespace quillon::openssl::detail {

/// Throws std::runtime_error("OpenSSL: <what>: <reason>"), the reason being
/// the first error in OpenSSL's queue of this thread, which it clears.
[[noreturn]] void throwOpenSSLError(const std::string& what);

}  // namespace quillon::openssl::detail
