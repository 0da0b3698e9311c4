// Runs a fuzz target's entry function over corpus files without libFuzzer,
// so that the corpus is an ordinary test (under the sanitizers of a
// sanitizer build). Arguments are files or directories of files. A few
// large inputs that would bloat the repository are made here instead.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run(const std::string& input) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string repeated(std::string_view piece, std::size_t count) {
  std::string out;
  out.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += piece;
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path argument = argv[i];
    if (fs::is_directory(argument)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(argument))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.push_back(argument);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "no corpus files given\n");
    return 1;
  }
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    run(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  // A megabyte line, a file of only "[" lines and one of only "=" lines.
  const std::vector<std::string> generated = {
      "\x05Msg = " + std::string(1 << 20, 'a') + "\r\n",
      std::string(1 << 20, 'f'),
      "\x04" + repeated("[\n", 100000),
      "\x04" + repeated("=\n", 100000),
  };
  for (const std::string& input : generated) run(input);
  std::printf("replayed %zu corpus files and %zu generated inputs\n", files.size(), generated.size());
  return 0;
}
