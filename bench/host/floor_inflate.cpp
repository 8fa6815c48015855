// The native floor of extraction: the packed streams of the 122 manifest
// rows, read into memory first, inflated by the same one-shot uncompress
// into one reused buffer of the install sequence's size and, with --write,
// each written to a file of its own with one write call.
//
//   floor_inflate --packed DIR [--write FOLDER]
//
// Prints "<files> <bytes> <loop seconds>".
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/manifest.h"

namespace {

using Bytes = std::vector<unsigned char>;

bool Load(const std::string& path, Bytes& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteWhole(const std::string& path, const unsigned char* data, std::size_t length) {
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (file < 0) return false;
  bool written = write(file, data, length) == static_cast<ssize_t>(length);
  return close(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  std::string packed, folder;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--packed") == 0) packed = argv[i + 1];
    else if (std::strcmp(argv[i], "--write") == 0) folder = argv[i + 1];
  }
  if (packed.empty()) {
    std::fprintf(stderr, "usage: floor_inflate --packed DIR [--write FOLDER]\n");
    return 2;
  }
  std::vector<Bytes> streams(kManifestRowCount);
  for (std::size_t row = 0; row < kManifestRowCount; ++row) {
    std::string path = packed + "/" + std::to_string(kManifest[row].id) + ".z";
    if (!Load(path, streams[row])) {
      std::fprintf(stderr, "floor_inflate: cannot read %s\n", path.c_str());
      return 1;
    }
  }
  // Left untouched, like the heap block of the Windows programs: its pages
  // are first touched inside the loop.
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[kInstallBufferSize]);
  unsigned long long bytes = 0;
  auto start = std::chrono::steady_clock::now();
  for (std::size_t row = 0; row < kManifestRowCount; ++row) {
    uLongf length = kInstallBufferSize;
    if (uncompress(buffer.get(), &length, streams[row].data(), streams[row].size()) != Z_OK) return 1;
    if (!folder.empty() && !WriteWhole(folder + "/" + kManifest[row].fileName, buffer.get(), length)) return 1;
    bytes += length;
  }
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%zu %llu %.6f\n", kManifestRowCount, bytes, seconds.count());
  return 0;
}
