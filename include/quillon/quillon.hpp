#pragma once
// The whole primitive layer.

#include <quillon/byte_string.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon/serialisation.hpp>
