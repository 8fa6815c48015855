// The install manifest: the 122 files of the product in installation order.
// This table is the one source of truth: the installer walks it at run time
// and the host-side packer walks the same table to build the resource list,
// so a file can never be packed under one id and installed under another.
// No Windows header here: the host tools compile this file natively.
#pragma once

#include <cstddef>

enum class FailureRule { kStop, kContinue };
enum class RowCondition { kAlways, kWordBaseReplaced };

// What a payload file is; only the sample-payload generator and the tests
// look at it, the installer treats every file as opaque bytes.
enum class ContentKind {
  kData, kText, kExecutable, kHtml, kBmp, kPng, kHelp,
  kConfig,         // dodazaze.ini, rewritten after install
  kGlyphFont,      // ChnBmp.bin, also the installer's own font
  kLicenceCn,      // GB2312 licence, also shown by the wizard
  kLicenceEn,      // English licence, also shown by the wizard
  kWordBaseIndex,  // pycizudic.idx, carries the modification mark
  kPackage,        // the speech-engine package (not installed)
};

struct ManifestRow {
  int id;                  // payload resource id (type "TEXT")
  const char* fileName;    // name in the install folder
  int readOnly;            // attribute flags handed to ExtractPayload
  int hidden;
  FailureRule onFailure;
  RowCondition condition;
  int progress;            // progress position set before the row; 0 = none
  ContentKind content;
};

constexpr std::size_t kManifestRowCount = 122;
extern const ManifestRow kManifest[kManifestRowCount];

// The longest install folder in which every row's path, folder '\' name,
// fits a buffer of pathBufferSize bytes: a deeper one would lose the rows
// with the longest names.
std::size_t LongestInstallFolder(std::size_t pathBufferSize);

// Payload resources outside the manifest that the program reads.
struct ExtraPayload {
  int id;
  const char* fileName;
  ContentKind content;
};
constexpr std::size_t kExtraPayloadCount = 1;
extern const ExtraPayload kExtraPayloads[kExtraPayloadCount];

// Capacity of the install sequence's one decompression buffer; bounds the
// largest installable file.
constexpr unsigned long kInstallBufferSize = 30408704;  // 0x1D00000
// A licence text inflates into this much and needs one byte more for its
// terminator: a text that fills the buffer is as good as damaged.
constexpr unsigned long kLicenceBufferBytes = 65536;
// The speech package's buffer; the sample one inflates to about 7.3 MiB.
constexpr unsigned long kPackageBufferBytes = 12582912;
