// Payload packer: compresses every file of the install manifest (and the
// extra payloads) into exactly one zlib stream with maximum compression
// (header 78 DA) and writes the resource script that links each stream as a
// resource of type "TEXT" under its id.
//
//   payload_pack --payload DIR --out DIR --rc FILE [--quiet]
//                [--compressor zlib|libdeflate]
//                [--omit ID]... [--damage ID]... [--truncate ID]...
//                [--add ID=FILE]...
//
// --compressor picks who writes the streams: zlib at level 9 (the default)
// or libdeflate at its highest level, 12, whose streams are about 7% smaller
// for a few more seconds of packing. Both write 78 DA streams that zlib's
// uncompress reads, so the setup program does not change.
// --omit leaves an id out of the resource list, --damage flips a bit of the
// Adler-32 trailer and --truncate cuts the stream in half: test builds use
// them to make payload sets with chosen faults. --add packs one more file
// under an id of its own (test builds: an empty file, say). A manifest file
// missing from the payload folder fails the build, naming the id and the
// file; so does a fault option naming an id that is not packed.
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "install/manifest.h"

namespace {

enum class Compressor { kZlib, kLibdeflate };

struct Options {
  Compressor compressor = Compressor::kZlib;
  std::string payloadDir;
  std::string outDir;
  std::string rcPath;
  bool quiet = false;
  std::set<int> omit;
  std::set<int> damage;
  std::set<int> truncate;
  std::vector<std::pair<int, std::string>> added;
};

struct Packed {
  int id;
  std::string name;
  unsigned long size;
  unsigned long packedSize;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "payload_pack: %s\n", message.c_str());
  std::exit(1);
}

bool ReadFile(const std::string& path, std::vector<unsigned char>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) Fail("cannot write " + path);
}

std::vector<unsigned char> CompressZlib(const std::vector<unsigned char>& data) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  std::vector<unsigned char> packed(bound);
  int result = compress2(packed.data(), &bound, data.data(), static_cast<uLong>(data.size()),
                         Z_BEST_COMPRESSION);
  if (result != Z_OK) Fail("zlib compress2 failed with " + std::to_string(result));
  packed.resize(bound);
  return packed;
}

std::vector<unsigned char> CompressLibdeflate(const std::vector<unsigned char>& data) {
  constexpr int kHighestLevel = 12;  // writes the 78 DA header, as zlib's level 9 does
  libdeflate_compressor* compressor = libdeflate_alloc_compressor(kHighestLevel);
  if (compressor == nullptr) Fail("libdeflate: out of memory");
  std::vector<unsigned char> packed(libdeflate_zlib_compress_bound(compressor, data.size()));
  std::size_t size = libdeflate_zlib_compress(compressor, data.data(), data.size(), packed.data(), packed.size());
  libdeflate_free_compressor(compressor);
  if (size == 0) Fail("libdeflate_zlib_compress failed");
  packed.resize(size);
  return packed;
}

// The setup program reads every stream with zlib's uncompress and the
// streams are what the program is judged by, so each one is read back here.
void CheckStream(const std::vector<unsigned char>& data, const std::vector<unsigned char>& packed) {
  if (packed.size() < 6 || packed[0] != 0x78 || packed[1] != 0xDA) Fail("unexpected zlib header");
  std::vector<unsigned char> back(data.size() + 1);
  uLongf length = static_cast<uLongf>(back.size());
  if (uncompress(back.data(), &length, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      length != data.size() || !std::equal(data.begin(), data.end(), back.begin()))
    Fail("a packed stream does not inflate back to its file");
}

std::vector<unsigned char> Compress(const std::vector<unsigned char>& data, Compressor compressor) {
  std::vector<unsigned char> packed =
      compressor == Compressor::kLibdeflate ? CompressLibdeflate(data) : CompressZlib(data);
  CheckStream(data, packed);
  return packed;
}

int ParseId(const char* text) {
  char* end = nullptr;
  long id = std::strtol(text, &end, 10);
  if (*end != '\0' || id < 1 || id > 65535) Fail(std::string("bad resource id ") + text);
  return static_cast<int>(id);
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) Fail("missing value after " + arg);
      return argv[++i];
    };
    if (arg == "--payload") options.payloadDir = value();
    else if (arg == "--out") options.outDir = value();
    else if (arg == "--rc") options.rcPath = value();
    else if (arg == "--quiet") options.quiet = true;
    else if (arg == "--compressor") {
      std::string name = value();
      if (name == "zlib") options.compressor = Compressor::kZlib;
      else if (name == "libdeflate") options.compressor = Compressor::kLibdeflate;
      else Fail("unknown compressor " + name + " (zlib or libdeflate)");
    }
    else if (arg == "--omit") options.omit.insert(ParseId(value()));
    else if (arg == "--damage") options.damage.insert(ParseId(value()));
    else if (arg == "--truncate") options.truncate.insert(ParseId(value()));
    else if (arg == "--add") {
      std::string spec = value();
      std::size_t eq = spec.find('=');
      if (eq == std::string::npos) Fail("--add wants ID=FILE");
      options.added.emplace_back(ParseId(spec.substr(0, eq).c_str()), spec.substr(eq + 1));
    }
    else Fail("unknown option " + arg);
  }
  if (options.payloadDir.empty() || options.outDir.empty() || options.rcPath.empty())
    Fail("usage: payload_pack --payload DIR --out DIR --rc FILE");
  return options;
}

// Resource scripts take C-like string literals.
std::string RcQuote(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

Packed PackOne(const Options& options, int id, const std::string& fileName, const std::string& source,
               std::string& rc) {
  std::vector<unsigned char> data;
  if (!ReadFile(source, data))
    Fail("payload file missing: id " + std::to_string(id) + " \"" + fileName +
         "\" (looked for " + source + ")");
  std::vector<unsigned char> packed = Compress(data, options.compressor);
  if (options.damage.count(id)) packed.back() ^= 0x01;
  if (options.truncate.count(id)) packed.resize(packed.size() / 2);
  std::string target = options.outDir + "/" + std::to_string(id) + ".z";
  WriteFile(target, packed);
  if (!options.omit.count(id)) rc += std::to_string(id) + " TEXT " + RcQuote(target) + "\n";
  return {id, fileName, static_cast<unsigned long>(data.size()),
          static_cast<unsigned long>(packed.size())};
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  std::string mkdir = "mkdir -p '" + options.outDir + "'";
  if (std::system(mkdir.c_str()) != 0) Fail("cannot create " + options.outDir);

  std::string rc = "// Generated by payload_pack: one zlib stream per installed file.\n";
  std::vector<Packed> packed;
  std::set<int> seen;
  for (const ManifestRow& row : kManifest) {
    if (!seen.insert(row.id).second) Fail("duplicate id " + std::to_string(row.id));
    packed.push_back(PackOne(options, row.id, row.fileName, options.payloadDir + "/" + row.fileName, rc));
  }
  for (const ExtraPayload& extra : kExtraPayloads) {
    if (!seen.insert(extra.id).second) Fail("duplicate id " + std::to_string(extra.id));
    packed.push_back(PackOne(options, extra.id, extra.fileName, options.payloadDir + "/" + extra.fileName, rc));
  }
  for (const auto& [id, source] : options.added) {
    if (!seen.insert(id).second) Fail("--add: id " + std::to_string(id) + " is already packed");
    packed.push_back(PackOne(options, id, source.substr(source.find_last_of('/') + 1), source, rc));
  }
  for (const std::set<int>* faults : {&options.omit, &options.damage, &options.truncate})
    for (int id : *faults)
      if (!seen.count(id)) Fail("no payload has id " + std::to_string(id));
  WriteFile(options.rcPath, std::vector<unsigned char>(rc.begin(), rc.end()));

  // The summary goes to the console and, for `make run`, beside the streams.
  std::string summary;
  char line[256];
  unsigned long long manifestSize = 0, manifestPacked = 0, allSize = 0, allPacked = 0;
  for (std::size_t i = 0; i < packed.size(); ++i) {
    if (i < kManifestRowCount) {
      manifestSize += packed[i].size;
      manifestPacked += packed[i].packedSize;
    }
    allSize += packed[i].size;
    allPacked += packed[i].packedSize;
    std::snprintf(line, sizeof line, "%5d  %-36s %10lu -> %10lu\n", packed[i].id,
                  packed[i].name.c_str(), packed[i].size, packed[i].packedSize);
    summary += line;
  }
  std::snprintf(line, sizeof line, "manifest: %zu files, %llu bytes -> %llu bytes (%.1f%%)\n",
                kManifestRowCount, manifestSize, manifestPacked,
                manifestSize ? 100.0 * manifestPacked / manifestSize : 0.0);
  summary += line;
  std::snprintf(line, sizeof line, "all payload: %zu resources, %llu bytes -> %llu bytes (%.1f%%), %s\n",
                packed.size(), allSize, allPacked, allSize ? 100.0 * allPacked / allSize : 0.0,
                options.compressor == Compressor::kLibdeflate ? "libdeflate level 12" : "zlib level 9");
  summary += line;
  WriteFile(options.outDir + "/summary.txt", std::vector<unsigned char>(summary.begin(), summary.end()));
  std::fputs(options.quiet ? line : summary.c_str(), stdout);
  return 0;
}
