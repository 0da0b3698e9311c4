#include "nist_files.hpp"

#include "bytes.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>
#include <stdexcept>

namespace vector_gen {

namespace {

// Lines with their line feeds, so that joining them gives the text back.
std::vector<std::string_view> splitKeepingNewlines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

// "[ENCRYPT]\r\n" -> "ENCRYPT".
std::string sectionName(std::string_view line) {
  std::string name;
  for (char c : line) {
    if (c != '[' && c != ']' && c != '\r' && c != '\n' && c != ' ' && c != '\t') name += c;
  }
  return name;
}

bool isComment(std::string_view line) { return !line.empty() && line.front() == '#'; }

}  // namespace

std::vector<NistSection> splitNistSections(std::string_view text, std::string_view sourceName) {
  const std::vector<std::string_view> lines = splitKeepingNewlines(text);

  std::size_t firstSection = 0;
  while (firstSection < lines.size() && lines[firstSection].substr(0, 1) != "[") ++firstSection;
  if (firstSection == lines.size()) {
    throw std::runtime_error(std::string(sourceName) + ": no bracketed section line");
  }

  // The note goes right after the source's own comment lines, before the
  // blank lines that separate them from the section.
  std::size_t commentEnd = 0;
  for (std::size_t i = 0; i < firstSection; ++i) {
    if (isComment(lines[i])) commentEnd = i + 1;
  }
  std::string head;
  for (std::size_t i = 0; i < commentEnd; ++i) head += lines[i];

  std::string tail;
  for (std::size_t i = commentEnd; i < firstSection; ++i) tail += lines[i];

  std::vector<NistSection> sections;
  for (std::size_t start = firstSection; start < lines.size();) {
    std::size_t end = start + 1;
    while (end < lines.size() && lines[end].substr(0, 1) != "[") ++end;
    NistSection section;
    section.name = sectionName(lines[start]);
    section.text = head + "# [" + section.name + "] section of " + std::string(sourceName) +
                   " from Debian's python3-cryptography-vectors; records unchanged\n" + tail;
    for (std::size_t i = start; i < end; ++i) section.text += lines[i];
    sections.push_back(std::move(section));
    start = end;
  }
  return sections;
}

namespace {

std::string trimmed(const std::string& text) {
  const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  const auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
  const auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isSpace).base();
  return std::string(begin, end);
}

}  // namespace

std::vector<KeyValueRecord> readKeyValueRecords(const std::string& path) {
  std::vector<KeyValueRecord> records;
  std::istringstream lines(readFile(path));
  for (std::string line; std::getline(lines, line);) {
    line = trimmed(line);
    if (line.empty() || line.front() == '#' || line.front() == '[') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) throw std::runtime_error(path + ": a line without \"=\": " + line);
    std::string key = trimmed(line.substr(0, equals));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    if (key == "COUNT") records.emplace_back();
    if (records.empty()) throw std::runtime_error(path + ": a field before the first COUNT");
    records.back()[key] = trimmed(line.substr(equals + 1));
  }
  return records;
}

const std::string& recordField(const KeyValueRecord& record, const std::string& key, const std::string& context) {
  const auto found = record.find(key);
  if (found == record.end()) throw std::runtime_error(context + ": no " + key);
  return found->second;
}

int countRecords(std::string_view text, std::string_view recordStartKey) {
  int count = 0;
  for (std::string_view line : splitKeepingNewlines(text)) {
    if (line.substr(0, recordStartKey.size()) != recordStartKey) continue;
    const std::string_view rest = line.substr(recordStartKey.size());
    if (!rest.empty() && (rest.front() == ' ' || rest.front() == '=')) ++count;
  }
  return count;
}

std::vector<WrittenFile> copyShaFiles(const std::string& vectorsDir, const std::string& outDir) {
  struct Source {
    const char* subdirectory;
    const char* variant;
  };
  constexpr std::array sources{Source{"SHA1", "SHA1"},         Source{"SHA2", "SHA224"},
                               Source{"SHA2", "SHA256"},       Source{"SHA2", "SHA384"},
                               Source{"SHA2", "SHA512"},       Source{"SHA2", "SHA512_224"},
                               Source{"SHA2", "SHA512_256"}};
  std::vector<WrittenFile> written;
  for (const Source& source : sources) {
    for (const char* kind : {"ShortMsg", "LongMsg"}) {
      const std::string name = std::string(source.variant) + kind + ".rsp";
      const std::string text =
          readFile(vectorsDir + "/hashes/" + source.subdirectory + "/" + name);
      writeFile(outDir + "/" + name, text);
      written.push_back({name, countRecords(text, "Len")});
    }
  }
  return written;
}

std::vector<WrittenFile> copyDigestMonteFiles(const std::string& vectorsDir,
                                              const std::string& shaDir,
                                              const std::string& sha3Dir) {
  struct Source {
    const char* subdirectory;
    const char* variant;
    const std::string* outDir;
  };
  const std::array sources{
      Source{"SHA1", "SHA1", &shaDir},         Source{"SHA2", "SHA224", &shaDir},
      Source{"SHA2", "SHA256", &shaDir},       Source{"SHA2", "SHA384", &shaDir},
      Source{"SHA2", "SHA512", &shaDir},       Source{"SHA2", "SHA512_224", &shaDir},
      Source{"SHA2", "SHA512_256", &shaDir},   Source{"SHA3", "SHA3_224", &sha3Dir},
      Source{"SHA3", "SHA3_256", &sha3Dir},    Source{"SHA3", "SHA3_384", &sha3Dir},
      Source{"SHA3", "SHA3_512", &sha3Dir}};
  std::vector<WrittenFile> written;
  for (const Source& source : sources) {
    const std::string name = std::string(source.variant) + "Monte.rsp";
    const std::string text = readFile(vectorsDir + "/hashes/" + source.subdirectory + "/" + name);
    writeFile(*source.outDir + "/" + name, text);
    written.push_back({name, countRecords(text, "COUNT")});
  }
  return written;
}

std::vector<WrittenFile> copySha3Files(const std::string& vectorsDir, const std::string& outDir) {
  std::vector<WrittenFile> written;
  for (const char* variant : {"SHA3_224", "SHA3_256", "SHA3_384", "SHA3_512"}) {
    for (const char* kind : {"ShortMsg", "LongMsg"}) {
      const std::string name = std::string(variant) + kind + ".rsp";
      const std::string text = readFile(vectorsDir + "/hashes/SHA3/" + name);
      writeFile(outDir + "/" + name, text);
      written.push_back({name, countRecords(text, "Len")});
    }
  }
  return written;
}

std::vector<WrittenFile> splitAesFiles(const std::string& vectorsDir, const std::string& outDir) {
  struct Mode {
    const char* subdirectory;
    const char* filePrefix;
  };
  // CFB1 and CFB8 are left out: the suite runs full-block (128-bit) feedback.
  constexpr std::array modes{Mode{"ECB", "ECB"}, Mode{"CBC", "CBC"}, Mode{"CFB", "CFB128"},
                             Mode{"OFB", "OFB"}};
  constexpr std::array tests{"GFSbox", "KeySbox", "VarKey", "VarTxt", "MMT"};
  constexpr std::array keyBits{"128", "192", "256"};

  std::vector<WrittenFile> written;
  for (const Mode& mode : modes) {
    for (const char* test : tests) {
      for (const char* bits : keyBits) {
        const std::string stem = std::string(mode.filePrefix) + test + bits;
        const std::string sourceName = stem + ".rsp";
        const std::string text =
            readFile(vectorsDir + "/ciphers/AES/" + mode.subdirectory + "/" + sourceName);
        const std::vector<NistSection> sections = splitNistSections(text, sourceName);
        if (sections.size() != 2 || sections[0].name != "ENCRYPT" ||
            sections[1].name != "DECRYPT") {
          throw std::runtime_error(sourceName +
                                   ": expected an [ENCRYPT] and a [DECRYPT] section, in order");
        }
        // The suite reads the direction from the last character of the stem.
        for (const auto& [section, direction] : {std::pair{&sections[0], "e"},
                                                 std::pair{&sections[1], "d"}}) {
          const std::string name = stem + direction + ".rsp";
          writeFile(outDir + "/" + name, section->text);
          written.push_back({name, countRecords(section->text, "COUNT")});
        }
      }
    }
  }
  return written;
}

}  // namespace vector_gen
