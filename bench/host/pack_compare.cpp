// Packs the whole payload (the manifest files and the extra payloads, as the
// setup program holds them) with one zlib-format compressor and reports the
// packed sizes and the time it took. Every stream is checked afterwards:
// header 78 DA, and zlib's own uncompress gives the file back.
//
//   pack_compare --payload DIR --compressor zlib|libdeflate|zopfli [--threads N]
//
// zlib: compress2 at level 9, as the packer does; libdeflate: its highest
// level, 12; zopfli: its default 15 iterations. Files are handed to N
// threads, largest first. Prints
// "<wall seconds> <cpu seconds> <manifest packed> <all packed> <manifest bytes> <all bytes>".
#include <libdeflate.h>
#include <zlib.h>
#include <zopfli/zopfli.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/manifest.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Item {
  std::string name;
  bool inManifest;
  Bytes data;
  Bytes packed;
};

bool Load(const std::string& path, Bytes& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

Bytes CompressZlib(const Bytes& data) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  Bytes packed(bound);
  if (compress2(packed.data(), &bound, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    return {};
  packed.resize(bound);
  return packed;
}

Bytes CompressLibdeflate(const Bytes& data) {
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(12);
  if (compressor == nullptr) return {};
  Bytes packed(libdeflate_zlib_compress_bound(compressor, data.size()));
  std::size_t size = libdeflate_zlib_compress(compressor, data.data(), data.size(), packed.data(), packed.size());
  libdeflate_free_compressor(compressor);
  packed.resize(size);
  return packed;
}

Bytes CompressZopfli(const Bytes& data) {
  ZopfliOptions options;
  ZopfliInitOptions(&options);
  unsigned char* out = nullptr;
  std::size_t size = 0;
  ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, data.data(), data.size(), &out, &size);
  Bytes packed(out, out + size);
  std::free(out);
  return packed;
}

bool Verify(const Item& item) {
  if (item.packed.size() < 6 || item.packed[0] != 0x78 || item.packed[1] != 0xDA) return false;
  Bytes back(item.data.size() + 1);
  uLongf length = static_cast<uLongf>(back.size());
  return uncompress(back.data(), &length, item.packed.data(), static_cast<uLong>(item.packed.size())) == Z_OK &&
         length == item.data.size() && std::equal(item.data.begin(), item.data.end(), back.begin());
}

double CpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool LoadPayload(const std::string& folder, std::vector<Item>& items) {
  for (const ManifestRow& row : kManifest) items.push_back({row.fileName, true, {}, {}});
  for (const ExtraPayload& extra : kExtraPayloads) items.push_back({extra.fileName, false, {}, {}});
  for (Item& item : items) {
    if (!Load(folder + "/" + item.name, item.data)) {
      std::fprintf(stderr, "pack_compare: cannot read %s/%s\n", folder.c_str(), item.name.c_str());
      return false;
    }
  }
  // Largest first, so no thread is left with a big file at the end.
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return a.data.size() > b.data.size(); });
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder, compressorName;
  unsigned threads = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--payload") == 0) folder = argv[i + 1];
    else if (std::strcmp(argv[i], "--compressor") == 0) compressorName = argv[i + 1];
    else if (std::strcmp(argv[i], "--threads") == 0) threads = static_cast<unsigned>(std::atoi(argv[i + 1]));
  }
  Bytes (*compress)(const Bytes&) = compressorName == "zlib"         ? CompressZlib
                                    : compressorName == "libdeflate" ? CompressLibdeflate
                                    : compressorName == "zopfli"     ? CompressZopfli
                                                                     : nullptr;
  if (folder.empty() || compress == nullptr || threads < 1) {
    std::fprintf(stderr, "usage: pack_compare --payload DIR --compressor zlib|libdeflate|zopfli [--threads N]\n");
    return 2;
  }
  std::vector<Item> items;
  if (!LoadPayload(folder, items)) return 1;

  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < items.size(); i = next++) items[i].packed = compress(items[i].data);
  };
  double cpuStart = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
  for (std::thread& thread : pool) thread.join();
  std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  double cpu = CpuSeconds() - cpuStart;

  unsigned long long manifestPacked = 0, allPacked = 0, manifestBytes = 0, allBytes = 0;
  for (const Item& item : items) {
    if (!Verify(item)) {
      std::fprintf(stderr, "pack_compare: %s stream of %s is not a 78 DA stream of the file\n",
                   compressorName.c_str(), item.name.c_str());
      return 1;
    }
    allPacked += item.packed.size();
    allBytes += item.data.size();
    if (item.inManifest) {
      manifestPacked += item.packed.size();
      manifestBytes += item.data.size();
    }
  }
  std::printf("%.3f %.3f %llu %llu %llu %llu\n", wall.count(), cpu, manifestPacked, allPacked, manifestBytes,
              allBytes);
  return 0;
}
