// The built setup program as an older Windows loader sees it: its machine
// type, the header versions the loader compares with its own, and the
// manifest linked into it, read back through the resource functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstring>
#include <string>

#include "tests/support/disk_test_support.h"

namespace {

// What each machine type must carry. The manifest's architecture must name
// the image's own, or Windows refuses to start the program with a
// side-by-side error; the header versions are those of the oldest Windows
// the build runs on (XP for x86; XP x64 / Server 2003 for x64).
struct MachineCase {
  WORD machine;
  const char* manifestArchitecture;
  WORD oldestMajor;
  WORD oldestMinor;
};
const MachineCase kMachines[] = {
    {IMAGE_FILE_MACHINE_I386, "x86", 5, 1},
    {IMAGE_FILE_MACHINE_AMD64, "amd64", 5, 2},
};

struct HeaderFacts {
  WORD machine = 0;
  WORD subsystemMajor = 0, subsystemMinor = 0;
  WORD systemMajor = 0, systemMinor = 0;
};

template <typename NtHeaders>
bool ReadNtHeaders(const std::string& bytes, size_t offset, HeaderFacts* facts) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(NtHeaders)) return false;
  NtHeaders headers;
  std::memcpy(&headers, bytes.data() + offset, sizeof headers);
  if (headers.Signature != IMAGE_NT_SIGNATURE) return false;
  facts->machine = headers.FileHeader.Machine;
  facts->subsystemMajor = headers.OptionalHeader.MajorSubsystemVersion;
  facts->subsystemMinor = headers.OptionalHeader.MinorSubsystemVersion;
  facts->systemMajor = headers.OptionalHeader.MajorOperatingSystemVersion;
  facts->systemMinor = headers.OptionalHeader.MinorOperatingSystemVersion;
  return true;
}

bool ReadHeaderFacts(const std::string& bytes, HeaderFacts* facts) {
  IMAGE_DOS_HEADER dos;
  if (bytes.size() < sizeof dos) return false;
  std::memcpy(&dos, bytes.data(), sizeof dos);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) return false;
  size_t nt = static_cast<size_t>(dos.e_lfanew);
  size_t magicAt = nt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader.Magic);
  if (magicAt + sizeof(WORD) > bytes.size()) return false;
  WORD magic;
  std::memcpy(&magic, bytes.data() + magicAt, sizeof magic);
  if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) return ReadNtHeaders<IMAGE_NT_HEADERS32>(bytes, nt, facts);
  if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) return ReadNtHeaders<IMAGE_NT_HEADERS64>(bytes, nt, facts);
  return false;
}

// The manifest resource (RT_MANIFEST, id 1) of an image loaded as data.
std::string ReadManifest(const char* path) {
  HMODULE image = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return "";
  std::string text;
  // Resource 1 of type 24: CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST.
  HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = found != nullptr ? LoadResource(image, found) : nullptr;
  const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (bytes != nullptr) text.assign(bytes, SizeofResource(image, found));
  FreeLibrary(image);
  return text;
}

// The start tag of the first element named tag ("<tag ... >"), or "".
std::string StartTag(const std::string& xml, const std::string& tag) {
  size_t start = xml.find("<" + tag);
  while (start != std::string::npos) {
    char next = xml[start + 1 + tag.size()];
    if (next == ' ' || next == '\n' || next == '\r' || next == '\t' || next == '>' || next == '/') {
      return xml.substr(start, xml.find('>', start) - start + 1);
    }
    start = xml.find("<" + tag, start + 1);
  }
  return "";
}

// The value of attribute name="..." in a start tag, or "" when absent.
std::string Attribute(const std::string& startTag, const std::string& name) {
  const std::string key = name + "=\"";
  for (size_t at = startTag.find(key); at != std::string::npos; at = startTag.find(key, at + 1)) {
    if (at > 0 && std::isspace(static_cast<unsigned char>(startTag[at - 1]))) {
      size_t value = at + key.size();
      return startTag.substr(value, startTag.find('"', value) - value);
    }
  }
  return "";
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

const MachineCase* CaseOf(WORD machine) {
  for (const MachineCase& c : kMachines)
    if (c.machine == machine) return &c;
  return nullptr;
}

}  // namespace

TEST(SetupImage, HeaderAndManifestFitTheOldestWindowsOfItsArchitecture) {
  HeaderFacts facts;
  ASSERT_TRUE(ReadHeaderFacts(ReadBytes(TAVIK_SETUP_EXE), &facts)) << TAVIK_SETUP_EXE;
  // The build's own pointer size says which machine the image must be.
  EXPECT_EQ(facts.machine, sizeof(void*) == 4 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64);
  const MachineCase* expected = CaseOf(facts.machine);
  ASSERT_NE(expected, nullptr) << "machine 0x" << std::hex << facts.machine;

  EXPECT_EQ(facts.subsystemMajor, expected->oldestMajor);
  EXPECT_EQ(facts.subsystemMinor, expected->oldestMinor);
  EXPECT_EQ(facts.systemMajor, expected->oldestMajor);
  EXPECT_EQ(facts.systemMinor, expected->oldestMinor);

  std::string manifest = ReadManifest(TAVIK_SETUP_EXE);
  ASSERT_FALSE(manifest.empty());
  std::string identity = StartTag(manifest, "assemblyIdentity");
  ASSERT_FALSE(identity.empty()) << manifest;
  EXPECT_EQ(Attribute(identity, "processorArchitecture"), expected->manifestArchitecture);
}

// Windows XP's parser rejects trustInfo in the default (asm.v1) namespace
// and an unpatched XP SP2 can stop on an element that declares one
// namespace twice; the asm.v2 form, declared once, is read by XP and by
// the systems with UAC alike.
TEST(SetupImage, ManifestIsInTheFormWindowsXpParses) {
  std::string manifest = ReadManifest(TAVIK_SETUP_EXE);
  ASSERT_FALSE(manifest.empty());
  std::string trust = StartTag(manifest, "trustInfo");
  ASSERT_FALSE(trust.empty()) << manifest;
  EXPECT_EQ(Attribute(trust, "xmlns"), "urn:schemas-microsoft-com:asm.v2");
  EXPECT_EQ(Count(trust, "xmlns"), 1u) << trust;
  EXPECT_EQ(Count(manifest, "<trustInfo"), 1u);
  EXPECT_NE(StartTag(manifest, "requestedExecutionLevel").find("level=\"highestAvailable\""),
            std::string::npos);
  EXPECT_EQ(Attribute(StartTag(manifest, "compatibility"), "xmlns"),
            "urn:schemas-microsoft-com:compatibility.v1");
}
