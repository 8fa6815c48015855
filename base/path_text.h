// Path text helpers shared by the wizard, the install engine and the shell
// code. Paths are ANSI bytes; in a double-byte code page the second byte of
// a character may equal '\\', so "the last character" has to be found by
// walking characters, never by looking at the last byte.
// No Windows header here (also built natively).
#pragma once

#include <cstddef>

// Tells whether a byte starts a two-byte character in the active code
// page. Null stands for a single-byte code page.
using LeadByteTest = bool (*)(unsigned char byte);

bool EndsWithBackslash(const char* path, LeadByteTest isLeadByte);

// Removes one trailing backslash: a drive root "D:\" becomes "D:".
void DropTrailingBackslash(char* path, LeadByteTest isLeadByte);

// The last backslash that is a character of its own, or null.
char* FindLastBackslash(char* path, LeadByteTest isLeadByte);
const char* FindLastBackslash(const char* path, LeadByteTest isLeadByte);

// out = folder, a backslash unless folder already ends with one, name.
// False (out empty) when the result does not fit into out[0..size).
bool JoinPath(char* out, std::size_t size, const char* folder, const char* name,
              LeadByteTest isLeadByte);

// Whether a typed install folder names one folder wherever the program
// runs and keeps every name as written: "X:\..." or "\\server\share\...",
// no empty component, none ending in a space or a dot, no character that
// names may not hold, no device name (CON, NUL, COM1, ...). One trailing
// backslash is allowed; "\\?\" and "\\.\" are refused by the same rules.
bool IsPlainFullPath(const char* path, LeadByteTest isLeadByte);
