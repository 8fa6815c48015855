// Sample payload generator: writes one deterministic file for every row of
// the install manifest (and the extra payloads), so the project builds and
// runs without the real product files.
//
//   sample_payload --profile full|small --out DIR --font ChnBmp.bin
//                  [--program NAME.exe=PATH]...
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "install/manifest.h"

namespace {

using Bytes = std::vector<unsigned char>;

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "sample_payload: %s\n", message.c_str());
  std::exit(1);
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) Fail("cannot write " + path);
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Deterministic filler: a small xorshift generator seeded by the resource id.
Bytes Filler(int id, std::size_t size) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(id);
  Bytes bytes(size);
  for (auto& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    byte = static_cast<unsigned char>('a' + (state % 16));
  }
  return bytes;
}

// The full profile has the real product's size: the word base and the
// speech package at their real sizes (the installer's buffers are sized for
// them), the other generated files sharing the rest of the product's bytes.
constexpr std::size_t kFullProductBytes = 57958082;

std::size_t RealSize(int id) {
  switch (id) {
    case 126: return 3204640;
    case 127: return 5241999;
    case 128: return 26002372;
    case 129: return 2077522;
    case 1029: return 7652864;
    default: return 0;
  }
}

using Programs = std::map<std::string, std::string>;

// Rows whose bytes are generated rather than taken from a file.
bool IsGenerated(const ManifestRow& row, const Programs& programs) {
  if (row.content == ContentKind::kGlyphFont || row.content == ContentKind::kConfig) return false;
  return row.content != ContentKind::kExecutable || programs.count(row.fileName) == 0;
}

Bytes RowContent(const ManifestRow& row, const Programs& programs, const std::string& fontPath,
                 std::size_t generatedSize) {
  switch (row.content) {
    case ContentKind::kGlyphFont: return ReadFile(fontPath);
    case ContentKind::kConfig: return Text("[UI_STR]\r\nTitle=Tavik\r\n[Config]\r\nUseBmpFont=0\r\n\r\n");
    case ContentKind::kWordBaseIndex: {
      Bytes data = Filler(row.id, generatedSize);
      data[0] |= 0x80;
      return data;
    }
    case ContentKind::kExecutable: {
      auto found = programs.find(row.fileName);
      if (found != programs.end()) return ReadFile(found->second);
      return Filler(row.id, generatedSize);
    }
    default: return Filler(row.id, generatedSize);
  }
}

std::size_t SmallSize(const ManifestRow& row) {
  if (row.content == ContentKind::kWordBaseIndex) return 4096;
  if (row.content == ContentKind::kExecutable) return 2048;
  return 1024 + static_cast<std::size_t>(row.id);
}

}  // namespace

int main(int argc, char** argv) {
  std::string profile = "small", outDir, fontPath;
  Programs programs;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string arg = argv[i], value = argv[i + 1];
    if (arg == "--profile") profile = value;
    else if (arg == "--out") outDir = value;
    else if (arg == "--font") fontPath = value;
    else if (arg == "--program") {
      std::size_t eq = value.find('=');
      if (eq == std::string::npos) Fail("--program wants NAME=PATH");
      programs[value.substr(0, eq)] = value.substr(eq + 1);
    } else Fail("unknown option " + arg);
  }
  if (outDir.empty() || fontPath.empty()) Fail("usage: sample_payload --out DIR --font FILE");
  if (profile != "small" && profile != "full") Fail("unknown profile " + profile);
  if (std::system(("mkdir -p '" + outDir + "'").c_str()) != 0) Fail("cannot create " + outDir);

  // Full profile: what the fixed files and the real-size files leave is
  // spread evenly over the other generated files.
  const bool full = profile == "full";
  std::size_t shared = 0, sharers = 0;
  if (full) {
    std::size_t taken = 0;
    for (const ManifestRow& row : kManifest) {
      if (!IsGenerated(row, programs)) taken += RowContent(row, programs, fontPath, 0).size();
      else if (RealSize(row.id) != 0) taken += RealSize(row.id);
      else ++sharers;
    }
    if (taken >= kFullProductBytes || sharers == 0) Fail("full profile does not add up");
    shared = kFullProductBytes - taken;
  }

  std::size_t sharerIndex = 0;
  for (const ManifestRow& row : kManifest) {
    std::size_t size = SmallSize(row);
    if (full && IsGenerated(row, programs)) {
      size = RealSize(row.id);
      if (size == 0) size = shared / sharers + (sharerIndex++ < shared % sharers ? 1 : 0);
    }
    WriteFile(outDir + "/" + row.fileName, RowContent(row, programs, fontPath, size));
  }
  for (const ExtraPayload& extra : kExtraPayloads) {
    std::size_t size = full && RealSize(extra.id) != 0 ? RealSize(extra.id) : 4096;
    WriteFile(outDir + "/" + extra.fileName, Filler(extra.id, size));
  }
  std::printf("sample_payload: %s profile written to %s\n", profile.c_str(), outDir.c_str());
  return 0;
}
