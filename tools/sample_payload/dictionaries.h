// The sample payload's binary files: word base and dictionary files whose
// records compress about as well as real ones, and compressed containers.
#pragma once

#include <cstddef>

#include "base/manifest.h"
#include "tools/sample_payload/bytes.h"
#include "tools/sample_payload/language.h"
#include "tools/sample_payload/random.h"

// A data file of exactly size bytes after magic and its size; id picks the
// kind of records.
Bytes DataFile(const Language& language, Random& random, int id, std::size_t size, const char* magic);
// One of the word base's files, of exactly size bytes; the index carries
// the mark of a word base this setup program installed.
Bytes WordBaseFile(const Language& language, Random& random, const ManifestRow& row, std::size_t size);
// Compressed containers (help file, installer package): mostly bytes that
// no compressor can shrink, with some directory structure between them.
Bytes PackedContainer(Random& random, std::size_t size, const Bytes& signature);
