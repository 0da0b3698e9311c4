// Parsing throughput of the whole vector set against the limit of merely
// finding its line ends, the throughput of hex decoding the parsed values,
// and the peak memory of loading every vector file at once.
//
// The vector set is every file under <data dir>/Test, or, when that holds
// none, the source tree's data/Test, or Debian's copies of the NIST SHA and
// AES files. --vectors=DIR (given
// any number of times) names other roots; each directory below a root that
// holds files is one vector directory.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <quillon_tests/data_files.hpp>
#include <quillon_tests/hex.hpp>
#include <quillon_tests/kat_parser.hpp>

#include "ratio_reporter.hpp"

namespace {

namespace fs = std::filesystem;

struct VectorDirectory {
  fs::path root;
  std::string relative;  // from the root, as loadKATFiles takes it
};

std::vector<fs::path> vectorRoots;
std::vector<VectorDirectory> directories;
std::vector<std::string> fileNames;
std::vector<std::string> fileTexts;
std::vector<std::string> hexValues;
std::size_t totalBytes = 0;
std::size_t totalHexBytes = 0;

// The record-start key of the suite a directory belongs to.
std::string startKeyFor(const std::string& path) {
  if (path.find("SHA") != std::string::npos && path.find("HMAC") == std::string::npos) return "Len";
  if (path.find("HMAC") != std::string::npos) return "Count";
  if (path.find("TWOFISH") != std::string::npos) return "I";
  return "COUNT";
}

void findVectorDirectories() {
  for (const fs::path& root : vectorRoots) {
    std::vector<fs::path> found;
    if (!fs::is_directory(root)) continue;
    found.push_back(root);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
      if (entry.is_directory()) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    for (const fs::path& directory : found) {
      bool hasFile = false;
      for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        hasFile = hasFile || entry.is_regular_file();
      if (hasFile) directories.push_back({root, fs::relative(directory, root).string()});
    }
  }
}

void readVectorFiles() {
  for (const VectorDirectory& directory : directories) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory.root / directory.relative))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      std::ifstream in(file, std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      fileNames.push_back(file.string());
      fileTexts.push_back(std::move(text).str());
      totalBytes += fileTexts.back().size();
    }
  }
}

// Every value of the parsed files that decodes: the suites' hex fields.
void collectHexValues() {
  for (std::size_t i = 0; i < fileTexts.size(); ++i)
    for (const quillon_tests::KatCategory& category :
         quillon_tests::parseCategories(startKeyFor(fileNames[i]), fileTexts[i]))
      for (const quillon_tests::KatRecord& record : category.records)
        for (const auto& [key, value] : record)
          if (value.size() % 2 == 0 && value.size() >= 2 &&
              value.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
            totalHexBytes += value.size();
            hexValues.push_back(value);
          }
}

long statusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field));
  return -1;
}

// Loads every vector directory through loadKATFiles and keeps all results;
// run first, in a fresh process, so that the peak is this load's own.
void reportLoadPeakMemory() {
  if (::setenv("quillon_tests_datadir", "", 1) != 0) return;
  const long before = statusKilobytes("VmRSS:");
  std::size_t bytes = 0;
  std::vector<quillon_tests::KatFiles> loaded;
  for (const VectorDirectory& directory : directories) {
    const std::string path = (directory.root / directory.relative).string();
    for (const fs::directory_entry& entry : fs::directory_iterator(path))
      if (entry.is_regular_file()) bytes += entry.file_size();
    loaded.push_back(quillon_tests::loadKATFiles(path, startKeyFor(path)));
  }
  const long peak = statusKilobytes("VmHWM:");
  std::printf("Loading every vector file at once: %.1f MB of files, peak memory growth %.1f MB "
              "(%.2f times the files' size)\n\n",
              static_cast<double>(bytes) / 1e6, static_cast<double>(peak - before) * 1024 / 1e6,
              static_cast<double>(peak - before) * 1024 / static_cast<double>(bytes));
}

void BM_MemchrLineEnds(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t lines = 0;
    for (const std::string& text : fileTexts) {
      const char* at = text.data();
      const char* const end = at + text.size();
      while (const void* newline = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
        ++lines;
        at = static_cast<const char*>(newline) + 1;
      }
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes));
}

void BM_ParseCategories(benchmark::State& state) {
  std::vector<std::string> keys;
  for (const std::string& name : fileNames) keys.push_back(startKeyFor(name));
  for (auto _ : state) {
    for (std::size_t i = 0; i < fileTexts.size(); ++i) {
      auto parsed = quillon_tests::parseCategories(keys[i], fileTexts[i]);
      benchmark::DoNotOptimize(parsed.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes));
}

// The same work with the results freed outside the timed region: how much
// of the cost above is the allocator taking the results apart.
void BM_ParseCategoriesWithoutFree(benchmark::State& state) {
  std::vector<std::string> keys;
  for (const std::string& name : fileNames) keys.push_back(startKeyFor(name));
  std::vector<std::vector<quillon_tests::KatCategory>> results;
  results.reserve(fileTexts.size());
  for (auto _ : state) {
    for (std::size_t i = 0; i < fileTexts.size(); ++i)
      results.push_back(quillon_tests::parseCategories(keys[i], fileTexts[i]));
    state.PauseTiming();
    results.clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes));
}

void BM_HexStringToBS(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& value : hexValues) {
      auto bytes = quillon_tests::hexStringToBS(value);
      benchmark::DoNotOptimize(bytes.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalHexBytes));
}

}  // namespace

BENCHMARK(BM_MemchrLineEnds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseCategories)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseCategoriesWithoutFree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HexStringToBS)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with("--vectors="))
      vectorRoots.emplace_back(argument.substr(10));
    else
      arguments.push_back(argv[i]);
  }
  if (vectorRoots.empty()) {
    // The data directory's vector set, else the one in the source tree,
    // else Debian's NIST files.
    std::vector<std::vector<fs::path>> candidates = {{fs::path(quillon_tests::getDataDir()) / "Test"}};
#ifdef QUILLON_BENCH_SOURCE_DATADIR
    candidates.push_back({fs::path(QUILLON_BENCH_SOURCE_DATADIR) / "Test"});
#endif
    const fs::path debian = "/usr/lib/python3/dist-packages/cryptography_vectors";
    candidates.push_back({debian / "hashes/SHA1", debian / "hashes/SHA2", debian / "ciphers/AES"});
    for (const std::vector<fs::path>& roots : candidates) {
      vectorRoots = roots;
      findVectorDirectories();
      if (!directories.empty()) break;
    }
  } else {
    findVectorDirectories();
  }
  if (directories.empty()) {
    std::fprintf(stderr, "no vector files found\n");
    return 1;
  }

  for (const fs::path& root : vectorRoots) std::printf("vector files under %s\n", root.c_str());
  reportLoadPeakMemory();
  readVectorFiles();
  collectHexValues();
  std::printf("%zu files, %.1f MB; %zu hex values, %.1f MB\n\n", fileTexts.size(),
              static_cast<double>(totalBytes) / 1e6, hexValues.size(),
              static_cast<double>(totalHexBytes) / 1e6);

  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
  quillon_bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto megabytesPerSecond = [&reporter](const char* name) {
    return reporter.bytesPerSecond(name) / 1e6;
  };
  const double parse = megabytesPerSecond("BM_ParseCategories");
  const double parseOnly = megabytesPerSecond("BM_ParseCategoriesWithoutFree");
  const double limit = megabytesPerSecond("BM_MemchrLineEnds");
  auto share = [limit](double rate) { return limit > 0 ? rate / limit : 0.0; };
  std::printf("\nmemchr line-end limit %.0f MB/s\n", limit);
  std::printf("parseCategories %.0f MB/s, %.3f of the limit (1/%.1f)\n", parse, share(parse),
              parse > 0 ? limit / parse : 0.0);
  std::printf("parseCategories, freeing untimed %.0f MB/s, %.3f of the limit (1/%.1f)\n", parseOnly,
              share(parseOnly), parseOnly > 0 ? limit / parseOnly : 0.0);
  std::printf("hexStringToBS %.0f MB/s\n", megabytesPerSecond("BM_HexStringToBS"));
  benchmark::Shutdown();
  return 0;
}
