// The [Config] rewrite of the installed configuration file, on an open
// stream. No Windows header here (also built natively).
#pragma once

#include <cstdio>

// Writes <useBmpFont> and <forceLanguage> over the old values of
// "UseBmpFont=" and "ForceLanguage=" on every line holding those keys until
// both have been seen, and appends at the end of the file whatever is missing
// (the "[Config]" header, then each missing key). Only the old value's
// characters change; a key whose old value is shorter than the new one
// (empty, say) would have its line end overwritten, so that line stays as
// it is and the key is appended as if it were missing. When both keys turn
// up before any "[Config]" line the header is not added: written in place
// it would overwrite the lines that follow, and appended at the end it
// would only start an empty section.
//
// file must be open for update in byte mode. The file's lines end in CR LF
// and what is appended ends its lines in CR LF too. Byte mode rather than
// text mode: the runtime's position query in text mode assumes every line
// end is CR LF, so on a file edited to bare LF line ends the remembered line
// starts would be wrong and the keys written over other lines. Lines are
// read in pieces of at most kConfigLinePiece bytes, each piece treated as a
// line.
void RewriteConfigKeys(std::FILE* file, char useBmpFont, int forceLanguage);

constexpr int kConfigLinePiece = 255;
