// The floor of extraction under Wine: the same payload resources installed
// by nothing but FindResource, uncompress into one reused buffer and one
// fwrite per file, with no attributes, temporary names or progress bar. The
// suite holds the install sequence's extraction time against this loop.
//
//   bare_extract.exe FOLDER RESULT_FILE
//
// RESULT_FILE gets "<files> <bytes> <loop seconds> <peak working set bytes>".
#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

#include "base/bounded_format.h"
#include "base/manifest.h"

namespace {

struct LoopResult {
  int files = 0;
  unsigned long long bytes = 0;
};

bool ExtractAll(const char* folder, unsigned char* buffer, LoopResult& result) {
  for (const ManifestRow& row : kManifest) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(row.id), "TEXT");
    HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    if (loaded == nullptr) return false;
    auto* source = static_cast<const Bytef*>(LockResource(loaded));
    uLongf length = kInstallBufferSize;
    if (uncompress(buffer, &length, source, SizeofResource(nullptr, resource)) != Z_OK) return false;
    char path[MAX_PATH];
    if (!FormatBounded(path, sizeof path, "%s\\%s", folder, row.fileName)) return false;
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(buffer, 1, length, file) == length;
    if (std::fclose(file) != 0 || !written) return false;
    ++result.files;
    result.bytes += length;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bare_extract.exe FOLDER RESULT_FILE\n");
    return 2;
  }
  auto* buffer = static_cast<unsigned char*>(std::malloc(kInstallBufferSize));
  if (buffer == nullptr) return 1;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  LoopResult result;
  bool ok = ExtractAll(argv[1], buffer, result);
  QueryPerformanceCounter(&end);
  std::free(buffer);

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  FILE* out = std::fopen(argv[2], "w");
  if (out == nullptr) return 1;
  double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::fprintf(out, "%d %llu %.6f %llu\n", result.files, result.bytes, seconds,
               static_cast<unsigned long long>(memory.PeakWorkingSetSize));
  std::fclose(out);
  return ok ? 0 : 1;
}
