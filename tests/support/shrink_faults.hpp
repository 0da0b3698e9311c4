#pragma once
// The planted faults whose failures the shrinker is judged on, each with the
// one property that must fail, the bound every shrunk case must meet and the
// smallest case that fails at all. Shared by the tests (a few fixed seeds)
// and bench/shrink_bench.cpp (many).

#include <cstddef>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <quillon_tests/block_cipher_properties.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/mode_consistency.hpp>
#include <quillon_tests/test_tree.hpp>

#include "block_cipher/faulty_ciphers.hpp"
#include "block_cipher/faulty_modes.hpp"
#include "suites/faulty_digests.hpp"

namespace test_support {

/// The case a failure report starts with ("smallest failing case: message
/// of 32 bytes in chunks [16, 16]; split at 16; ..."), read back.
struct ShrunkCase {
  std::size_t bytes = 0;
  std::vector<std::size_t> chunks;  // empty for a contiguous message
  std::optional<std::size_t> split;
  std::string line;  // the report's first line
};

inline std::optional<ShrunkCase> shrunkCaseOf(const std::string& report) {
  static const std::regex first(
      R"(smallest failing case: message of (\d+) bytes?( in chunks \[([0-9, ]*)\])?(; split at (\d+))?[^\n]*)");
  std::smatch match;
  if (!std::regex_search(report, match, first)) return std::nullopt;
  ShrunkCase shrunk;
  shrunk.line = match.str();
  shrunk.bytes = std::stoul(match[1].str());
  std::istringstream lengths(match[3].str());
  for (std::string length; std::getline(lengths, length, ',');) shrunk.chunks.push_back(std::stoul(length));
  if (match[5].matched) shrunk.split = std::stoul(match[5].str());
  return shrunk;
}

/// The leaf named `name` anywhere in `tests`.
inline quillon_tests::Test leafNamed(const std::vector<quillon_tests::Test>& tests, const std::string& name) {
  for (const quillon_tests::Test& test : tests) {
    if (test.kind() != quillon_tests::TestKind::group) {
      if (test.name() == name) return test;
      continue;
    }
    try {
      return leafNamed(test.children(), name);
    } catch (const std::out_of_range&) {
    }
  }
  throw std::out_of_range("no leaf named " + name);
}

struct ShrinkFault {
  std::string name;                                  // the fault and the property that catches it
  std::function<quillon_tests::Test()> leaf;         // that property
  std::size_t maxBytes, maxChunks;                   // every shrunk case within these
  std::string minimum;                               // the smallest failing case, in words
  std::function<bool(const ShrunkCase&)> atMinimum;  // whether a case is that small
  std::string says;                                  // what its report says differed
};

inline const std::vector<ShrinkFault>& shrinkFaults() {
  using namespace quillon_tests;
  using faulty_digests::ChunkFault;
  using faulty_digests::MisChunkedMD5;
  constexpr std::size_t anyChunks = 100;
  constexpr std::size_t threeBlocks = 48;
  auto ofLength = [](std::size_t bytes) { return [bytes](const ShrunkCase& c) { return c.bytes == bytes; }; };
  auto twoChunksOf = [](std::size_t bytes) {
    return [bytes](const ShrunkCase& c) { return c.bytes == bytes && c.chunks.size() == 2; };
  };
  auto splitAt = [](std::size_t bytes, std::size_t split) {
    return [bytes, split](const ShrunkCase& c) { return c.bytes == bytes && c.split == split; };
  };
  static const std::vector<ShrinkFault> faults{
      {"digest losing a byte at a chunk boundary: LazyStrictEqual",
       [] { return leafNamed({makeHashPropTests<MisChunkedMD5<ChunkFault::losesByteAtBoundary>>()}, "LazyStrictEqual"); },
       16, 3, "2 one-byte chunks", twoChunksOf(2), "hash over the chunks gave"},
      {"digest hashing its chunks in reverse: LazyStrictEqual",
       [] { return leafNamed({makeHashPropTests<MisChunkedMD5<ChunkFault::chunksInReverse>>()}, "LazyStrictEqual"); },
       16, 3, "2 one-byte chunks", twoChunksOf(2), "hashStrict of the bytes gave"},
      {"CBC returning the first block as IV: CBCContinuation",
       [] { return leafNamed(makeModeConsistencyTests<faulty::CbcReturnsFirstBlockAsIV>(), "CBCContinuation"); },
       threeBlocks, anyChunks, "2 blocks split at 16", splitAt(32, 16),
       "cbc continued from its returned IV: the returned IV differs"},
      {"CBC returning the first block as IV: CBCMatchesBlockFunction",
       [] { return leafNamed(makeModeConsistencyTests<faulty::CbcReturnsFirstBlockAsIV>(), "CBCMatchesBlockFunction"); },
       threeBlocks, anyChunks, "2 blocks", ofLength(32), "cbc: the returned IV differs"},
      {"OFB never advancing: OFBContinuation",
       [] { return leafNamed(makeModeConsistencyTests<faulty::OfbNeverAdvancesIV>(), "OFBContinuation"); },
       threeBlocks, anyChunks, "17 bytes split at 16", splitAt(17, 16),
       "ofb continued from its returned IV: the output differs"},
      {"OFB never advancing: OFBMatchesBlockFunction",
       [] { return leafNamed(makeModeConsistencyTests<faulty::OfbNeverAdvancesIV>(), "OFBMatchesBlockFunction"); },
       threeBlocks, anyChunks, "1 byte", ofLength(1), "ofb: the returned IV differs"},
      {"little-endian CTR: CTRMatchesBlockFunction",
       [] { return leafNamed(makeModeConsistencyTests<faulty::LittleEndianCtr>(), "CTRMatchesBlockFunction"); },
       threeBlocks, anyChunks, "1 byte", ofLength(1),
       "expected (the generic mode over encryptBlock/decryptBlock)"},
      {"CFB keeping its IV after a partial block: CFBMatchesBlockFunction",
       [] { return leafNamed(makeModeConsistencyTests<faulty::CfbPartialBlockKeepsIV>(), "CFBMatchesBlockFunction"); },
       threeBlocks, anyChunks, "1 byte", ofLength(1), "actual (cfb as the cipher runs it)"},
      {"lazy CTR restarting per chunk: CTRStrictLazyEq",
       [] { return leafNamed(makeBlockCipherPropTests<faulty::CtrLazyRestartsPerChunk>(), "CTRStrictLazyEq"); },
       threeBlocks, anyChunks, "16 bytes in 2 chunks", twoChunksOf(16),
       "the lazy encryption's output differs from the contiguous one"},
      {"lazy CBC returning the first chunk's IV: CBCStrictLazyEq",
       [] { return leafNamed(makeBlockCipherPropTests<faulty::LazyCbcFirstChunkIV>(), "CBCStrictLazyEq"); },
       threeBlocks, anyChunks, "16 bytes in 2 chunks", twoChunksOf(16),
       "the lazy encryption returned a different IV from the contiguous one"},
      {"unEcb damaging a pad byte: ECBEncDecID",
       [] { return leafNamed(makeBlockCipherPropTests<faulty::UnEcbDamagesPadByte>(), "ECBEncDecID"); },
       threeBlocks, anyChunks, "1 byte", ofLength(1), "unpadESP found no valid padding"},
  };
  return faults;
}

}  // namespace test_support
