#pragma once
// The whole test library (without the GoogleTest adapter, which is
// quillon_tests/gtest.hpp).

#include <quillon_tests/aead_kat.hpp>
#include <quillon_tests/aes.hpp>
#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/data_files.hpp>
#include <quillon_tests/diagnostics.hpp>
#include <quillon_tests/differential.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/hmac.hpp>
#include <quillon_tests/kat_parser.hpp>
#include <quillon_tests/kat_records.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/mode_kat.hpp>
#include <quillon_tests/monte.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/sha.hpp>
#include <quillon_tests/test_tree.hpp>
#include <quillon_tests/twofish.hpp>
