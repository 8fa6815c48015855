// Payload packer: compresses every file of the install manifest (and the
// extra payloads) into exactly one zlib stream with maximum compression
// (header 78 DA) and writes the resource script that links each stream as a
// resource of type "TEXT" under its id.
//
//   payload_pack --payload DIR --out DIR --rc FILE [--quiet]
//                [--compressor zlib|libdeflate]
//                [--omit ID]... [--damage ID]... [--truncate ID]...
//                [--add ID=FILE]... [--copy NEW=ID]... [--zeros ID=SIZE]...
//                [--flip ID:OFFSET[:BIT]]... [--cut ID:LENGTH]...
//
// --compressor picks who writes the streams: libdeflate at its highest
// level, 12 (the default), whose streams are about 7% smaller for a few
// more seconds of packing, or zlib at level 9. Both write 78 DA streams that
// zlib's uncompress reads, so the setup program does not change.
// --omit leaves an id out of the resource list, --damage flips a bit of the
// Adler-32 trailer and --truncate cuts the stream in half: test builds use
// them to make payload sets with chosen faults. --add packs one more file
// under an id of its own (test builds: an empty file, say). --copy packs the
// file of a packed id once more under a new id, so that a fault can be put
// on the copy while the original stays sound. --zeros packs a stream of
// SIZE zero bytes (one that inflates past a buffer). --flip flips bit BIT
// (default 0) of the stream byte at OFFSET, --cut keeps the first LENGTH
// bytes of the stream; a negative OFFSET or LENGTH counts from the end (-1
// is the last byte; --cut ID:-4 drops the trailer, --cut ID:0 leaves an
// empty resource), and one written as N% is that percentage of the
// stream's size. Faults on one id apply in the order given. A manifest file
// missing from the payload folder fails the build, naming the id and the
// file; so does a fault option naming an id that is not packed, or a byte
// outside the stream. Before anything is packed, every payload file is held
// against the buffer the setup program reads it into: a file that could
// only fail on the user's machine (too large to install, a licence the
// wizard cannot show, a glyph font of the wrong size) fails the build,
// naming the file and the limit. A file of the folder that no row names is
// reported: it would not be installed.
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/manifest.h"
#include "base/glyph_locate.h"

namespace {

enum class Compressor { kZlib, kLibdeflate };

// One finer fault on a packed stream.
struct Edit {
  enum Kind { kFlip, kCut } kind;
  int id;
  long position;  // byte offset (flip) or length kept (cut); negative: from the end
  int bit;
  bool percent;   // position is a percentage of the stream's size
};

struct Options {
  Compressor compressor = Compressor::kLibdeflate;
  std::string payloadDir;
  std::string outDir;
  std::string rcPath;
  bool quiet = false;
  std::set<int> omit;
  std::set<int> damage;
  std::set<int> truncate;
  std::vector<std::pair<int, std::string>> added;
  std::vector<std::pair<int, int>> copies;           // new id, id copied
  std::vector<std::pair<int, unsigned long>> zeros;
  std::vector<Edit> edits;                           // --flip and --cut, in order
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

long ParseSigned(const std::string& text, const std::string& what) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') Fail("bad " + what + " " + text);
  return value;
}

// "ID=VALUE" of --add, --copy and --zeros.
std::pair<int, std::string> SplitAssignment(const std::string& option, const std::string& spec) {
  std::size_t eq = spec.find('=');
  if (eq == std::string::npos) Fail(option + " wants ID=VALUE, got " + spec);
  return {ParseId(spec.substr(0, eq).c_str()), spec.substr(eq + 1)};
}

// "ID:OFFSET[:BIT]" of --flip, "ID:LENGTH" of --cut.
Edit ParseEdit(Edit::Kind kind, const std::string& spec) {
  std::size_t colon = spec.find(':');
  if (colon == std::string::npos) Fail("fault wants ID:NUMBER, got " + spec);
  Edit edit{kind, ParseId(spec.substr(0, colon).c_str()), 0, 0, false};
  std::string rest = spec.substr(colon + 1);
  std::size_t second = rest.find(':');
  if (kind == Edit::kFlip && second != std::string::npos) {
    edit.bit = static_cast<int>(ParseSigned(rest.substr(second + 1), "bit"));
    if (edit.bit < 0 || edit.bit > 7) Fail("bit out of range in " + spec);
    rest = rest.substr(0, second);
  }
  if (!rest.empty() && rest.back() == '%') {
    edit.percent = true;
    rest.pop_back();
  }
  edit.position = ParseSigned(rest, kind == Edit::kFlip ? "offset" : "length");
  if (edit.percent && (edit.position < 0 || edit.position > 100)) Fail("bad percentage in " + spec);
  return edit;
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
    else if (arg == "--add") options.added.push_back(SplitAssignment(arg, value()));
    else if (arg == "--copy") {
      auto [id, from] = SplitAssignment(arg, value());
      options.copies.emplace_back(id, ParseId(from.c_str()));
    } else if (arg == "--zeros") {
      auto [id, size] = SplitAssignment(arg, value());
      long count = ParseSigned(size, "size");
      if (count < 0) Fail("negative size in --zeros");
      options.zeros.emplace_back(id, static_cast<unsigned long>(count));
    }
    else if (arg == "--flip") options.edits.push_back(ParseEdit(Edit::kFlip, value()));
    else if (arg == "--cut") options.edits.push_back(ParseEdit(Edit::kCut, value()));
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

// Applies the faults asked for on id, in the order given.
void ApplyFaults(const Options& options, int id, std::vector<unsigned char>& stream) {
  if (options.damage.count(id) && !stream.empty()) stream.back() ^= 0x01;
  if (options.truncate.count(id)) stream.resize(stream.size() / 2);
  for (const Edit& edit : options.edits) {
    if (edit.id != id) continue;
    long size = static_cast<long>(stream.size());
    long at = edit.percent ? size * edit.position / 100
                           : edit.position < 0 ? size + edit.position : edit.position;
    if (edit.kind == Edit::kFlip) {
      if (at < 0 || at >= size) Fail("--flip outside the stream of id " + std::to_string(id));
      stream[static_cast<std::size_t>(at)] ^= static_cast<unsigned char>(1u << edit.bit);
    } else {
      if (at < 0 || at > size) Fail("--cut outside the stream of id " + std::to_string(id));
      stream.resize(static_cast<std::size_t>(at));
    }
  }
}

Packed PackStream(const Options& options, int id, const std::string& fileName, unsigned long size,
                  std::vector<unsigned char> stream, std::string& rc) {
  ApplyFaults(options, id, stream);
  std::string target = options.outDir + "/" + std::to_string(id) + ".z";
  WriteFile(target, stream);
  if (!options.omit.count(id)) rc += std::to_string(id) + " TEXT " + RcQuote(target) + "\n";
  return {id, fileName, size, static_cast<unsigned long>(stream.size())};
}

std::vector<unsigned char> ReadSource(int id, const std::string& fileName,
                                      const std::string& source) {
  std::vector<unsigned char> data;
  if (!ReadFile(source, data))
    Fail("payload file missing: id " + std::to_string(id) + " \"" + fileName +
         "\" (looked for " + source + ")");
  return data;
}

Packed PackOne(const Options& options, int id, const std::string& fileName, const std::string& source,
               std::string& rc) {
  std::vector<unsigned char> data = ReadSource(id, fileName, source);
  return PackStream(options, id, fileName, static_cast<unsigned long>(data.size()),
                    Compress(data, options.compressor), rc);
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string Grouped(unsigned long long value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

// What the setup program can take of one payload file; empty when the size
// is fine. The limits are the program's own buffers.
std::string SizeProblem(ContentKind content, unsigned long long size) {
  switch (content) {
    case ContentKind::kGlyphFont:
      if (size != static_cast<unsigned long long>(kGlyphFontBytes))
        return "a glyph font must be exactly " + Grouped(kGlyphFontBytes) + " bytes";
      break;
    case ContentKind::kLicenceCn:
    case ContentKind::kLicenceEn:
      if (size >= kLicenceBufferBytes)
        return "a licence text must be shorter than " + Grouped(kLicenceBufferBytes) +
               " bytes (the wizard's licence buffer, with room for the terminator)";
      break;
    case ContentKind::kPackage:
      if (size > kPackageBufferBytes)
        return "the speech package may be at most " + Grouped(kPackageBufferBytes) + " bytes (its buffer)";
      break;
    default:
      break;
  }
  return "";
}

// Every file of the payload folder before any is packed: a missing file or
// one that the program's buffers cannot take fails the build at once.
void CheckPayloadFolder(const Options& options) {
  namespace fs = std::filesystem;
  std::set<std::string> named;
  auto check = [&](int id, const char* fileName, ContentKind content, bool installed) {
    named.insert(fileName);
    std::string source = options.payloadDir + "/" + fileName;
    std::error_code error;
    unsigned long long size = fs::file_size(source, error);
    if (error)
      Fail("payload file missing: id " + std::to_string(id) + " \"" + fileName + "\" (looked for " + source + ")");
    std::string problem = SizeProblem(content, size);
    if (problem.empty() && installed && size > kInstallBufferSize)
      problem = "an installed file may be at most " + Grouped(kInstallBufferSize) + " bytes (the install's buffer)";
    if (!problem.empty())
      Fail(source + " (id " + std::to_string(id) + ") is " + Grouped(size) + " bytes: " + problem);
  };
  for (const ManifestRow& row : kManifest) check(row.id, row.fileName, row.content, true);
  for (const ExtraPayload& extra : kExtraPayloads) check(extra.id, extra.fileName, extra.content, false);
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(options.payloadDir, error)) {
    std::string name = entry.path().filename().string();
    // Dot files are the build's own stamps, never product files.
    if (name.empty() || name[0] == '.' || named.count(name)) continue;
    std::fprintf(stderr, "payload_pack: warning: %s is named by no manifest row and is not packed\n",
                 entry.path().string().c_str());
  }
  if (error) Fail("cannot list " + options.payloadDir + ": " + error.message());
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  CheckPayloadFolder(options);
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
  // Sources by id, for --copy.
  std::map<int, std::pair<std::string, std::string>> sources;  // id -> name, path
  for (const ManifestRow& row : kManifest)
    sources[row.id] = {row.fileName, options.payloadDir + "/" + row.fileName};
  for (const ExtraPayload& extra : kExtraPayloads)
    sources[extra.id] = {extra.fileName, options.payloadDir + "/" + extra.fileName};
  auto claim = [&seen](const char* option, int id) {
    if (!seen.insert(id).second)
      Fail(std::string(option) + ": id " + std::to_string(id) + " is already packed");
  };
  for (const auto& [id, source] : options.added) {
    claim("--add", id);
    sources[id] = {BaseName(source), source};
    packed.push_back(PackOne(options, id, BaseName(source), source, rc));
  }
  for (const auto& [id, from] : options.copies) {
    auto found = sources.find(from);
    if (found == sources.end()) Fail("--copy: no payload has id " + std::to_string(from));
    claim("--copy", id);
    packed.push_back(PackOne(options, id, found->second.first, found->second.second, rc));
  }
  for (const auto& [id, size] : options.zeros) {
    claim("--zeros", id);
    std::vector<unsigned char> data(size, 0);
    packed.push_back(PackStream(options, id, "zeros", size, Compress(data, options.compressor), rc));
  }
  for (const std::set<int>* faults : {&options.omit, &options.damage, &options.truncate})
    for (int id : *faults)
      if (!seen.count(id)) Fail("no payload has id " + std::to_string(id));
  for (const Edit& edit : options.edits)
    if (!seen.count(edit.id)) Fail("no payload has id " + std::to_string(edit.id));
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
