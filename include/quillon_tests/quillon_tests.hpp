#pragma once
// The whole test library (without the GoogleTest adapter, which is
// quillon_tests/gtest.hpp).

#include <quillon_tests/assert_equal.hpp>
#include <quillon_tests/generators.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/md5.hpp>
#include <quillon_tests/property.hpp>
#include <quillon_tests/runner.hpp>
#include <quillon_tests/test_tree.hpp>
