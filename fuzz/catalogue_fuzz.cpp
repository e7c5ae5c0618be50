// Fuzz target of the analyzer's catalogue as the File Transfer window reads it: the input is a
// ":MMEM:CAT:DIR?" reply, then (behind the first NUL) a ":MMEM:CAT:FILE?" reply. Every name taken
// must be whole, and every name accepted for a PC path must give a path directly in the PC folder.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "link/file_transfer.h"

namespace {

std::string gFolder;  // the PC folder, with a trailing "/"

void RequireAt(bool condition, int line) {
  if (!condition) {
    std::fprintf(stderr, "catalogue_fuzz: check at line %d failed\n", line);
    std::abort();
  }
}
#define Require(condition) RequireAt(condition, __LINE__)

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gFolder = "/dev/shm/vqfuzz_catalogue_" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(gFolder);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(gFolder, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string_view folders = input.substr(0, split);
  const std::string_view files = split == std::string_view::npos ? "" : input.substr(split + 1);
  // A small limit lets the fuzzer reach the cut as well.
  const size_t limit = 1 + (size % 64);
  std::vector<vq::TransferEntry> entries;
  const size_t taken = vq::ParseCatalogue(folders, vq::kTransferFolder, entries, limit) +
                       vq::ParseCatalogue(files, vq::kTransferFile, entries, limit);
  Require(taken == entries.size() && entries.size() <= limit);
  for (const vq::TransferEntry& e : entries) {
    Require(e.name.size() <= vq::kTransferNameChars);
    Require(e.name.find_first_of(",\r\n") == std::string::npos);
    Require(!e.typeText.empty());
    std::string remote, local;
    if (vq::RemotePath("INT:\\DATA", e.name, remote)) Require(remote.size() < 259);
    if (vq::LocalPath(gFolder, e.name, local)) {
      Require(vq::SafeAnalyzerName(e.name));
      Require(local.size() < 259 && local.compare(0, gFolder.size(), gFolder) == 0);
      Require(local.find('/', gFolder.size()) == std::string::npos);
      Require(local.find('\\') == std::string::npos);
    }
  }
  vq::SortTransferEntries(entries);
  for (size_t i = 1; i < entries.size(); ++i) {
    Require(!(entries[i].kind == vq::kTransferFolder && entries[i - 1].kind == vq::kTransferFile));
  }
  Require(vq::AnalyzerDateText(input).size() <= 19);
  return 0;
}
