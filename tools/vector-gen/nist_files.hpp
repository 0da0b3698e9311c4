// The NIST vector files taken from Debian's python3-cryptography-vectors.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vector_gen {

// One file the generator wrote, with the number of records it holds and
// how many of them an implementation must refuse.
struct WrittenFile {
  std::string name;
  int records = 0;
  int rejections = 0;
};

// One bracketed section of a NIST file ("[ENCRYPT]"), as a complete file:
// the source's leading comment block, a comment naming the source, and the
// section's lines byte for byte.
struct NistSection {
  std::string name;
  std::string text;
};

// Splits a NIST response file at its bracketed section lines. Every line is
// kept exactly as it stands (carriage returns included); only the comment
// line that names `sourceName` is added. Throws when the text has no section.
std::vector<NistSection> splitNistSections(std::string_view text, std::string_view sourceName);

// Counts the lines that begin with `recordStartKey` followed by blanks or "=".
int countRecords(std::string_view text, std::string_view recordStartKey);

// The "NAME = value" records of one of Debian's text files (CTR, CMAC,
// ChaCha20-Poly1305), each a map from the upper-case name to its value,
// trimmed of surrounding white space (a quoted text keeps its inner
// spaces); a record starts at COUNT. Comment, bracketed and blank lines are
// skipped; any other line without "=" throws.
using KeyValueRecord = std::map<std::string, std::string>;
std::vector<KeyValueRecord> readKeyValueRecords(const std::string& path);

// The value of `key` in `record`; throws naming `context` when absent.
const std::string& recordField(const KeyValueRecord& record, const std::string& key, const std::string& context);

// Copies the SHA-1 and SHA-2 (SHA-512/224 and SHA-512/256 included)
// byte-oriented short and long message files unchanged from `vectorsDir` (the
// cryptography_vectors directory) into `outDir`.
std::vector<WrittenFile> copyShaFiles(const std::string& vectorsDir, const std::string& outDir);

// Copies the SHA-3 byte-oriented short and long message files unchanged.
std::vector<WrittenFile> copySha3Files(const std::string& vectorsDir, const std::string& outDir);

// Copies the digest Monte Carlo files ("<variant>Monte.rsp") unchanged: SHA-1
// and SHA-2 beside their message files in `shaDir`, SHA-3 in `sha3Dir`.
std::vector<WrittenFile> copyDigestMonteFiles(const std::string& vectorsDir,
                                              const std::string& shaDir,
                                              const std::string& sha3Dir);

// Splits the AES ECB, CBC, CFB128 and OFB files of `vectorsDir` into one
// encryption ("...e.rsp") and one decryption ("...d.rsp") file each.
std::vector<WrittenFile> splitAesFiles(const std::string& vectorsDir, const std::string& outDir);

}  // namespace vector_gen
