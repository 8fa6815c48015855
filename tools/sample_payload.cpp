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

}  // namespace

int main(int argc, char** argv) {
  std::string profile = "small", outDir, fontPath;
  std::map<std::string, std::string> programs;
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
  if (std::system(("mkdir -p '" + outDir + "'").c_str()) != 0) Fail("cannot create " + outDir);

  for (const ManifestRow& row : kManifest) {
    Bytes data;
    switch (row.content) {
      case ContentKind::kGlyphFont: data = ReadFile(fontPath); break;
      case ContentKind::kConfig:
        data = Text("[UI_STR]\r\nTitle=Tavik\r\n[Config]\r\nUseBmpFont=0\r\n\r\n");
        break;
      case ContentKind::kWordBaseIndex: data = Filler(row.id, 4096); data[0] |= 0x80; break;
      case ContentKind::kExecutable: {
        auto found = programs.find(row.fileName);
        data = found != programs.end() ? ReadFile(found->second) : Filler(row.id, 2048);
        break;
      }
      default: data = Filler(row.id, 1024 + static_cast<std::size_t>(row.id)); break;
    }
    WriteFile(outDir + "/" + row.fileName, data);
  }
  for (const ExtraPayload& extra : kExtraPayloads)
    WriteFile(outDir + "/" + extra.fileName, Filler(extra.id, 4096));
  std::printf("sample_payload: %s profile written to %s\n", profile.c_str(), outDir.c_str());
  return 0;
}
