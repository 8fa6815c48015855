// The [Config] rewrite of the installed configuration file, on an open
// stream. No Windows header here (also built natively).
#pragma once

#include <cstdio>

// Writes "UseBmpFont=<useBmpFont>" and "ForceLanguage=<forceLanguage>" over
// the start of every line holding those keys until both have been seen, and
// appends at the end of the file whatever is missing (the "[Config]" header,
// then each missing key). When both keys turn up before any "[Config]" line
// the header is not added: the keys already live where the product reads
// them, and a header written further down would only start an empty section.
//
// file must be open for update. The installer opens it in text mode, so
// "\n" reads and writes as CR LF on disk; lines are read in pieces of at
// most kConfigLinePiece characters, each piece treated as a line.
void RewriteConfigKeys(std::FILE* file, char useBmpFont, int forceLanguage);

constexpr int kConfigLinePiece = 255;
