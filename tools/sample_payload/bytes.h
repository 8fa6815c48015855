// The sample payload generator's plumbing: byte buffers, whole files, the
// text files it reads its literal texts from, and code page conversion.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Ends the generator with message on stderr: a payload is made whole or not at all.
[[noreturn]] void Fail(const std::string& message);

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& data);
// The lines of a UTF-8 text file, without their line breaks.
std::vector<std::string> ReadLines(const std::string& path);
// The blank-separated words of a UTF-8 text file, in order.
std::vector<std::string> ReadWords(const std::string& path);
// Every line followed by CR LF.
std::string CrLf(const std::vector<std::string>& lines);

void Append(Bytes& out, const std::string& text);
void Append(Bytes& out, const Bytes& more);
void PutLe16(Bytes& out, unsigned value);
void PutLe32(Bytes& out, unsigned long value);

bool EndsWith(const std::string& text, const char* suffix);
bool Contains(const std::string& text, const char* part);

// Text conversion through iconv; a text that does not convert completely
// yields an empty result (Big5 lacks some simplified characters).
std::string Convert(const std::string& text, const char* to, const char* from);
// GB2312 of a UTF-8 text that must have it.
std::string Gb(const std::string& utf8);
