// What a failure costs: the digest property suite over an MD5 that loses
// the first byte of every chunk after the first, from the first case to the
// shrunk report. Passing runs pay nothing for shrinking (the trees are
// lazy); this measures the failing side. The counters give the shrink steps
// and the candidates run per failure.

#include <regex>
#include <string>

#include <primitives/openssl/digests.hpp>
#include <quillon_tests/hash_properties.hpp>
#include <quillon_tests/runner.hpp>

#include "ratio_reporter.hpp"

namespace {

using quillon::ByteString;
using quillon::ByteView;
using quillon::LazyByteString;

/// MD5 whose chunked hash drops the first byte of every chunk but the first.
class LosesByteAtChunkBoundary {
  using Real = quillon::openssl::MD5;

 public:
  static int outputLength() { return Real::outputLength(); }
  static int blockLength() { return Real::blockLength(); }
  static LosesByteAtChunkBoundary hash(const LazyByteString& message) {
    std::vector<ByteString> chunks = message.chunks();
    for (std::size_t i = 1; i < chunks.size(); ++i) chunks[i] = chunks[i].drop(1);
    return LosesByteAtChunkBoundary(Real::hash(LazyByteString(std::move(chunks))).encode());
  }
  static LosesByteAtChunkBoundary hashStrict(ByteView message) {
    return LosesByteAtChunkBoundary(Real::hashStrict(message).encode());
  }
  [[nodiscard]] ByteString encode() const { return bytes_; }
  static quillon::GetResult<LosesByteAtChunkBoundary> get(ByteView bytes) {
    if (bytes.size() < 16) return quillon::Partial{};
    return quillon::Done<LosesByteAtChunkBoundary>{LosesByteAtChunkBoundary(ByteString(bytes.first(16))), 16};
  }
  friend bool operator==(const LosesByteAtChunkBoundary&, const LosesByteAtChunkBoundary&) = default;
  friend std::ostream& operator<<(std::ostream& os, const LosesByteAtChunkBoundary& d) {
    return os << d.bytes_;
  }

 private:
  explicit LosesByteAtChunkBoundary(ByteString bytes) : bytes_(std::move(bytes)) {}
  ByteString bytes_;
};

double numberAfter(const std::string& report, const char* pattern) {
  std::smatch match;
  return std::regex_search(report, match, std::regex(pattern)) ? std::stod(match[1].str()) : -1;
}

void chunkBoundaryFailureShrunk(benchmark::State& state) {
  const quillon_tests::Test tests = quillon_tests::makeHashPropTests<LosesByteAtChunkBoundary>();
  const quillon_tests::Test& lazyStrictEqual = tests.children().front();
  std::string report;
  for (auto _ : state) {
    const auto result = quillon_tests::runLeaf(lazyStrictEqual, {"LazyStrictEqual"});
    if (result.outcome != quillon_tests::Outcome::failed) state.SkipWithError("the fault went unnoticed");
    report = result.report;
  }
  state.counters["shrink_steps"] = numberAfter(report, R"(shrunk in (\d+) step)");
  state.counters["candidates"] = numberAfter(report, R"(\((\d+) candidates? tried\))");
  state.counters["smallest_bytes"] = numberAfter(report, R"(smallest failing case: (\d+) byte)");
}

BENCHMARK(chunkBoundaryFailureShrunk)->Unit(benchmark::kMillisecond)->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) { return quillon_bench::runWithRatios(argc, argv, {}); }
