// Sample payload generator: writes one deterministic file for every row of
// the install manifest and for the extra payloads, shaped like the product's
// own files, so the project builds, installs and runs without them: texts in
// GB2312, Big5 or UTF-8 with CR LF line ends, HTML pages, valid BMP and PNG
// pictures, the real glyph font, real (stub) Windows programs, and binary
// dictionaries that compress about as well as real ones.
//
//   sample_payload --profile full|small --out DIR --font ChnBmp.bin --texts DIR
//                  [--package SPEECH.msi] [--program NAME.exe=PATH]...
//
// full:  the product's sizes: the word base at its real sizes, 57,958,082
//        bytes over the 122 manifest files, the speech package 7,652,864.
// small: the same shapes in a few hundred kilobytes, for fast tests.
// Every file is seeded from its resource id and the profile, never from the
// time, so the same build always writes the same bytes. A manifest
// executable takes the program given as NAME.exe (the stem of its name with
// ".exe"); a missing one fails, naming it. The speech package is the
// installer package given with --package, brought to the profile's size.
// The fixed texts (configuration, licences) and the word material come from
// the texts folder given with --texts (tools/sample_payload/texts).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "base/manifest.h"
#include "tools/sample_payload/bytes.h"
#include "tools/sample_payload/dictionaries.h"
#include "tools/sample_payload/language.h"
#include "tools/sample_payload/pictures.h"
#include "tools/sample_payload/random.h"
#include "tools/sample_payload/texts.h"

namespace {

// ---- Sizes ----------------------------------------------------------------------

constexpr unsigned long long kFullManifestBytes = 57958082;
constexpr unsigned long kFullPackageBytes = 7652864;
constexpr int kSmallDivisor = 64;  // small profile: sizes of the full one / 64

// Exact sizes of the word base (both profiles keep the ratio between them).
struct FixedSize {
  int id;
  unsigned long bytes;
};
constexpr FixedSize kWordBaseSizes[] = {
    {127, 5241999}, {126, 3204640}, {128, 26002372}, {129, 2077522}};

// Weights for the files whose size is free: the full profile shares what the
// fixed-size files leave of the manifest total out in these proportions
// (kilobytes of a plausible product). Rows not listed weigh by their kind.
constexpr FixedSize kWeights[] = {
    {106, 180}, {131, 420},  {143, 95},   {111, 48},   {153, 260},  {123, 1100}, {118, 30},
    {137, 140}, {114, 12},   {115, 9},    {203, 8},    {204, 7},    {165, 15},   {130, 600},
    {191, 900}, {192, 700},  {132, 1300}, {144, 200},  {162, 48},   {189, 28},   {173, 350},
    {241, 500}, {240, 450},  {248, 60},   {249, 800},  {250, 300},  {251, 150},  {252, 400},
    {254, 90},  {257, 900},  {1022, 10},  {187, 40},   {188, 40},   {145, 2400}, {146, 3500},
    {271, 350}, {272, 120},
};

unsigned long WeightOf(const ManifestRow& row) {
  for (const FixedSize& weight : kWeights)
    if (weight.id == row.id) return weight.bytes;
  return row.content == ContentKind::kHtml ? 24 : 100;
}

// ---- The payload ---------------------------------------------------------------------

struct Options {
  bool full = true;
  std::string outDir, fontPath, packagePath, textsDir;
  std::map<std::string, std::string> programs;  // "NAME.exe" -> path
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) Fail("missing value after " + arg);
    std::string value = argv[++i];
    if (arg == "--profile") {
      if (value != "full" && value != "small") Fail("--profile wants full or small");
      options.full = value == "full";
    } else if (arg == "--out") {
      options.outDir = value;
    } else if (arg == "--font") {
      options.fontPath = value;
    } else if (arg == "--texts") {
      options.textsDir = value;
    } else if (arg == "--package") {
      options.packagePath = value;
    } else if (arg == "--program") {
      std::size_t eq = value.find('=');
      if (eq == std::string::npos) Fail("--program wants NAME.exe=PATH");
      options.programs[value.substr(0, eq)] = value.substr(eq + 1);
    } else {
      Fail("unknown option " + arg);
    }
  }
  if (options.outDir.empty() || options.fontPath.empty() || options.textsDir.empty())
    Fail("usage: sample_payload --profile full|small --out DIR --font FILE --texts DIR [--package FILE.msi] "
         "[--program NAME.exe=PATH]...");
  return options;
}

bool IsWordBase(int id) {
  for (const FixedSize& fixed : kWordBaseSizes)
    if (fixed.id == id) return true;
  return false;
}

// Files whose size follows from their content; the others are cut to the
// size that the budget gives them.
bool HasOwnSize(const ManifestRow& row) {
  switch (row.content) {
    case ContentKind::kData: case ContentKind::kText: case ContentKind::kHtml: case ContentKind::kHelp:
      return IsWordBase(row.id) || std::strcmp(row.fileName, "dodazaze_en.ini") == 0;
    default: return true;
  }
}

Bytes ProgramFile(const Options& options, const std::string& fileName) {
  std::string stem = fileName.substr(0, fileName.rfind('.'));
  auto found = options.programs.find(stem + ".exe");
  if (found == options.programs.end()) Fail("no stub program given for " + fileName + " (--program " + stem + ".exe=PATH)");
  return ReadFile(found->second);
}

Bytes PictureFile(const Options& options, Random& random, const ManifestRow& row) {
  int scale = options.full ? 1 : 4;
  std::string name = row.fileName;
  if (row.content == ContentKind::kBmp) {
    if (Contains(name, "Welcome")) return BmpFile(WelcomePicture(random, 500 / scale, 312 / scale), 24);
    int width = (560 + 16 * (row.id % 7)) / scale, height = (220 + 8 * (row.id % 5)) / scale;
    return BmpFile(KeyboardPicture(random, width, height), 8);
  }
  int width = (320 + 40 * (row.id % 9)) / scale, height = (200 + 30 * (row.id % 7)) / scale;
  return PngFile(ScreenshotPicture(random, width, height));
}

Bytes OwnSizeFile(const Options& options, const Language& language, const ManifestRow& row) {
  Random random(static_cast<std::uint64_t>(row.id) * 2 + (options.full ? 1 : 0));
  switch (row.content) {
    case ContentKind::kGlyphFont: return ReadFile(options.fontPath);
    case ContentKind::kConfig: return FixedText(options.textsDir + "/config_cn.ini", true);
    case ContentKind::kLicenceCn: return FixedText(options.textsDir + "/licence_cn.txt", true);
    case ContentKind::kLicenceEn: return FixedText(options.textsDir + "/licence_en.txt", false);
    case ContentKind::kExecutable: return ProgramFile(options, row.fileName);
    case ContentKind::kBmp: case ContentKind::kPng: return PictureFile(options, random, row);
    default: break;
  }
  if (std::strcmp(row.fileName, "dodazaze_en.ini") == 0) return FixedText(options.textsDir + "/config_en.ini", false);
  for (const FixedSize& fixed : kWordBaseSizes)
    if (fixed.id == row.id)
      return WordBaseFile(language, random, row, options.full ? fixed.bytes : fixed.bytes / kSmallDivisor);
  return Bytes();
}

Bytes SizedFile(const Options& options, const Language& language, const ManifestRow& row, std::size_t size) {
  Random random(static_cast<std::uint64_t>(row.id) * 2 + (options.full ? 1 : 0));
  switch (row.content) {
    case ContentKind::kHtml: return HtmlPage(language, random, row.fileName, size);
    case ContentKind::kText: return TextFile(language, random, row.fileName, size);
    case ContentKind::kHelp: return PackedContainer(random, size, {'I', 'T', 'S', 'F', 3, 0, 0, 0});
    default: return DataFile(language, random, row.id, size, "TVKDAT");
  }
}

// Files with a size of their own first; the rest share what is left of the
// manifest total (full profile) in proportion to their weights, the last
// one taking the rounding, so the total is exact.
std::map<int, Bytes> MakeManifestFiles(const Options& options, const Language& language) {
  std::map<int, Bytes> files;
  unsigned long long ownBytes = 0, weightSum = 0;
  const ManifestRow* lastSized = nullptr;
  for (const ManifestRow& row : kManifest) {
    if (HasOwnSize(row)) {
      files[row.id] = OwnSizeFile(options, language, row);
      ownBytes += files[row.id].size();
    } else {
      weightSum += WeightOf(row);
      lastSized = &row;
    }
  }
  if (options.full && ownBytes >= kFullManifestBytes) Fail("fixed files exceed the manifest total");
  unsigned long long budget = options.full ? kFullManifestBytes - ownBytes : weightSum * 1024 / kSmallDivisor;
  unsigned long long given = 0, weightSoFar = 0;
  for (const ManifestRow& row : kManifest) {
    if (HasOwnSize(row)) continue;
    weightSoFar += WeightOf(row);
    unsigned long long upTo = &row == lastSized ? budget : budget * weightSoFar / weightSum;
    files[row.id] = SizedFile(options, language, row, static_cast<std::size_t>(upTo - given));
    given = upTo;
  }
  return files;
}

// The speech-engine package. Given a real installer package, that package
// followed by bytes that do not compress up to the profile's size: the
// installer reads only the sectors that its compound document names, so
// the padding changes nothing but the size and the packed size. Without
// one, a compound document signature over a cabinet that does not compress.
Bytes PackageFile(const Options& options, int id) {
  Random random(static_cast<std::uint64_t>(id) * 2 + (options.full ? 1 : 0));
  std::size_t size = options.full ? kFullPackageBytes : kFullPackageBytes / kSmallDivisor;
  if (options.packagePath.empty())
    return PackedContainer(random, size, {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1});
  Bytes package = ReadFile(options.packagePath);
  if (package.size() > size) Fail(options.packagePath + " is larger than the speech package's size");
  Bytes padding = PackedContainer(random, size - package.size(), {});
  package.insert(package.end(), padding.begin(), padding.end());
  return package;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  if (std::system(("mkdir -p '" + options.outDir + "'").c_str()) != 0) Fail("cannot create " + options.outDir);
  Language language(options.textsDir);

  std::map<int, Bytes> files = MakeManifestFiles(options, language);
  unsigned long long manifestBytes = 0;
  for (const ManifestRow& row : kManifest) {
    WriteFile(options.outDir + "/" + row.fileName, files[row.id]);
    manifestBytes += files[row.id].size();
  }
  unsigned long long extraBytes = 0;
  for (const ExtraPayload& extra : kExtraPayloads) {
    Bytes package = PackageFile(options, extra.id);
    WriteFile(options.outDir + "/" + extra.fileName, package);
    extraBytes += package.size();
  }
  std::printf("sample_payload: %s profile in %s: %zu manifest files, %llu bytes; %zu extra, %llu bytes\n",
              options.full ? "full" : "small", options.outDir.c_str(), kManifestRowCount, manifestBytes,
              kExtraPayloadCount, extraBytes);
  return 0;
}
