// The sample payload generator's plumbing (see bytes.h).
#include "tools/sample_payload/bytes.h"

#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

void Fail(const std::string& message) {
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

std::vector<std::string> ReadLines(const std::string& path) {
  Bytes bytes = ReadFile(path);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') Fail(path + " has CR LF line breaks; it wants LF");
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ReadWords(const std::string& path) {
  Bytes bytes = ReadFile(path);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.empty()) Fail(path + " holds no words");
  return words;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void PutLe16(Bytes& out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}

void PutLe32(Bytes& out, unsigned long value) {
  PutLe16(out, static_cast<unsigned>(value & 0xFFFF));
  PutLe16(out, static_cast<unsigned>(value >> 16));
}

bool EndsWith(const std::string& text, const char* suffix) {
  std::size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string Convert(const std::string& text, const char* to, const char* from) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) Fail(std::string("iconv cannot convert to ") + to);
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  char* outPtr = &out[0];
  size_t inLeft = text.size(), outLeft = out.size();
  size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || inLeft != 0) return std::string();
  out.resize(out.size() - outLeft);
  return out;
}

std::string Gb(const std::string& utf8) {
  std::string gb = Convert(utf8, "GB2312", "UTF-8");
  if (gb.empty() && !utf8.empty()) Fail("text is not GB2312: " + utf8);
  return gb;
}
