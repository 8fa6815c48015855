// Makes an installer package that wixl wrote the same on every build: wixl
// puts a fresh package code and the build's clock into the package's
// summary information, so two builds of the same sources differ. This
// rewrites those three properties in place with fixed values.
//
//   msi_stamp --package FILE --code {GUID} --time UNIX_SECONDS
//
// The summary information is a property set stream; wixl stores it whole
// in the package's mini stream, so its bytes are contiguous in the file.
// Every offset is checked against the file before anything is written, and
// a package laid out otherwise fails the build rather than being patched
// wrongly.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPidRevision = 9;   // the package code, a string
constexpr unsigned kPidCreated = 12;   // FILETIME
constexpr unsigned kPidSaved = 13;     // FILETIME
constexpr unsigned kTypeString = 30;   // VT_LPSTR
constexpr unsigned kTypeFiletime = 64; // VT_FILETIME
// FMTID_SummaryInformation as stored (little-endian GUID).
constexpr unsigned char kSummaryFormat[16] = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                              0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::size_t kFormatOffsetInHeader = 28;  // byte order, version, system, class id, count

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "msi_stamp: %s\n", message.c_str());
  std::exit(1);
}

unsigned long Le32(const std::vector<unsigned char>& data, std::size_t at) {
  if (at + 4 > data.size()) Fail("summary information runs past the end of the file");
  return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (static_cast<unsigned long>(data[at + 3]) << 24);
}

void PutLe32(std::vector<unsigned char>& data, std::size_t at, unsigned long value) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

int main(int argc, char** argv) {
  std::string path, code;
  long long seconds = -1;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--package") path = argv[i + 1];
    else if (option == "--code") code = argv[i + 1];
    else if (option == "--time") seconds = std::atoll(argv[i + 1]);
    else Fail("unknown option " + option);
  }
  if (path.empty() || code.size() != 38 || code.front() != '{' || code.back() != '}' || seconds < 0)
    Fail("usage: msi_stamp --package FILE --code {GUID} --time UNIX_SECONDS");

  std::vector<unsigned char> data;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // The one property set whose format is the summary information's.
  std::size_t found = data.size();
  for (std::size_t at = kFormatOffsetInHeader; at + sizeof kSummaryFormat <= data.size(); ++at) {
    if (std::memcmp(&data[at], kSummaryFormat, sizeof kSummaryFormat) != 0) continue;
    if (data[at - kFormatOffsetInHeader] != 0xFE || data[at - kFormatOffsetInHeader + 1] != 0xFF) continue;
    if (found != data.size()) Fail("more than one summary information in " + path);
    found = at;
  }
  if (found == data.size()) Fail("no summary information in " + path);
  std::size_t stream = found - kFormatOffsetInHeader;
  std::size_t section = stream + Le32(data, found + 16);
  unsigned long count = Le32(data, section + 4);
  if (count > 64) Fail("implausible property count in " + path);

  unsigned long long filetime = (static_cast<unsigned long long>(seconds) + 11644473600ULL) * 10000000ULL;
  int patched = 0;
  for (unsigned long i = 0; i < count; ++i) {
    unsigned long pid = Le32(data, section + 8 + 8 * i);
    std::size_t value = section + Le32(data, section + 12 + 8 * i);
    unsigned long type = Le32(data, value);
    if (pid == kPidRevision) {
      // A counted string: length with its terminator, then the bytes.
      if (type != kTypeString || Le32(data, value + 4) != code.size() + 1 || value + 8 + code.size() >= data.size())
        Fail("the package code is not a GUID string in " + path);
      std::memcpy(&data[value + 8], code.data(), code.size());
      ++patched;
    } else if (pid == kPidCreated || pid == kPidSaved) {
      if (type != kTypeFiletime || value + 12 > data.size()) Fail("a summary date is not a FILETIME in " + path);
      PutLe32(data, value + 4, static_cast<unsigned long>(filetime & 0xFFFFFFFFu));
      PutLe32(data, value + 8, static_cast<unsigned long>(filetime >> 32));
      ++patched;
    }
  }
  if (patched != 3) Fail("expected the package code and two dates in " + path + ", found " + std::to_string(patched));

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) Fail("cannot write " + path);
  return 0;
}
