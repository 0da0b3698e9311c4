#pragma once
// Registers test trees with GoogleTest.
//
// Each leaf becomes one GoogleTest test. Its test suite name is `suite`
// followed by the names of the groups above it, joined with "/"; its test
// name is the leaf's own name (duplicates are allowed and all run). Failures
// and errors become GoogleTest failures carrying the full report, which ends
// with the command line that reruns just that test (for a property, just
// that case). Properties are checked
// by RapidCheck under the id "<suite name>/<test name>", as RapidCheck's own
// GoogleTest integration does, so RC_PARAMS (seed, max_success, reproduce)
// applies to them.
//
// A leaf's location (Test::location()) becomes the GoogleTest test's file
// and line, so the JSON and XML reports and IDE test explorers show the
// vector record of a known-answer test, and its failures are reported at
// that file and line. Leaves without a location have no file ("unknown
// file"). A property's failure report ends with one shell line that reruns
// exactly its shrunk case: the RC_PARAMS setting, this program and the
// filter. Registration follows the tree's order, which the suites keep the
// same on every machine: GoogleTest's sharding (GTEST_TOTAL_SHARDS,
// GTEST_SHARD_INDEX) splits a run by position, so that is what lets shards
// run on different machines.
//
// Call before RUN_ALL_TESTS(), typically from main() after InitGoogleTest.
// What the registered tests hold (keys, vectors) is released when the
// program exits, before the static objects that existed when registerTests
// was called are destroyed, so keys living in a library's own memory pool
// (Botan's) do not outlive it.

#include <string>
#include <string_view>
#include <vector>

#include <quillon_tests/test_tree.hpp>

namespace quillon_tests {

void registerTests(std::string_view suite, const std::vector<Test>& tests);
void registerTests(std::string_view suite, const Test& test);

/// Ends the run of RUN_ALL_TESTS() with a summary on standard output: one
/// line per GoogleTest suite, split by the known-answer builder call its
/// tests came from, with the tests passed and failed and the vector records
/// that call skipped, by reason; then the totals. For example
///   MyAES128 AES known answers: 2,352 passed; 6,200 records skipped: key refused (192-bit 2,880, 256-bit 3,320)
///   MyAES128/Block Cipher tests (ident): 5 passed  (ECBEncDecID, CBCEncDecID, CFBEncDecID, OFBEncDecID, CTREncDecID)
/// Call before RUN_ALL_TESTS(); calling it again changes nothing.
void installSummary();

/// A --gtest_filter pattern that selects exactly the tests named
/// `suiteName`.`testName`: characters that the filter syntax gives a
/// meaning to (":", "-", "*", "?", and blanks) are matched with "?".
std::string gtestFilterFor(std::string_view suiteName, std::string_view testName);

}  // namespace quillon_tests
