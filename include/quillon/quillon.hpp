#pragma once
// The whole primitive layer.

#include <quillon/aead.hpp>
#include <quillon/block_cipher.hpp>
#include <quillon/byte_string.hpp>
#include <quillon/ccm.hpp>
#include <quillon/cmac.hpp>
#include <quillon/gcm.hpp>
#include <quillon/hash.hpp>
#include <quillon/hmac.hpp>
#include <quillon/iv.hpp>
#include <quillon/mode_driver.hpp>
#include <quillon/mode_names.hpp>
#include <quillon/mode_table.hpp>
#include <quillon/modes.hpp>
#include <quillon/padding.hpp>
#include <quillon/serialisation.hpp>
