// import_gate: fails when a Windows executable imports a function that the
// oldest supported Windows does not export, or calls through an import
// slot that nothing fills.
//   import_gate EXE [EXPORTS_DIR]
// EXPORTS_DIR holds one file per system DLL, <dll name in lower case>.txt,
// one exported name per line ('#' starts a comment). Every import of EXE,
// from the import table and from the delay-load descriptors, must be listed
// there; an import by ordinal always fails, since the lists hold names.
// Without EXPORTS_DIR only the slots are checked.
// Every import slot that the code calls, jumps or loads through must be
// filled at load (a slot of an import descriptor) or on first use (a slot
// of a delay-load descriptor holding the address of code in the image that
// calls the delay-load helper, relocated with the image when it can move).
// Prints each import that is missing and each slot that fails and exits 1;
// exits 0 when all pass, 2 when EXE cannot be read as a PE image.
// Reads the file itself (no Windows header): it runs on the build machine.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Import {
  std::string dll;
  std::string name;  // empty for an import by ordinal
  uint32_t ordinal = 0;
  bool delayed = false;
  uint64_t slot = 0;  // RVA of its address slot
};

struct Section {
  uint32_t virtualAddress;
  uint32_t virtualSize;
  uint32_t rawOffset;
  uint32_t rawSize;
  bool executable;
};

class Image {
 public:
  explicit Image(Bytes bytes) : bytes_(std::move(bytes)) {}

  template <typename T>
  std::optional<T> At(size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return std::nullopt;
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value |= T(bytes_[offset + i]) << (8 * i);
    return value;
  }

  // The file offset of an RVA, when a section's raw data holds it.
  std::optional<size_t> Offset(uint64_t rva) const {
    for (const Section& s : sections_) {
      uint32_t extent = std::max(s.virtualSize, s.rawSize);
      if (rva >= s.virtualAddress && rva - s.virtualAddress < extent &&
          rva - s.virtualAddress < s.rawSize) {
        return size_t(s.rawOffset + (rva - s.virtualAddress));
      }
    }
    return std::nullopt;
  }

  // A pointer-sized value at an RVA.
  std::optional<uint64_t> WordAt(uint64_t rva) const {
    auto offset = Offset(rva);
    if (!offset) return std::nullopt;
    if (pe32plus_) return At<uint64_t>(*offset);
    auto value = At<uint32_t>(*offset);
    return value ? std::optional<uint64_t>(*value) : std::nullopt;
  }

  bool InCode(uint64_t rva) const {
    for (const Section& s : sections_) {
      if (s.executable && rva >= s.virtualAddress && rva - s.virtualAddress < s.virtualSize) return true;
    }
    return false;
  }

  const Bytes& Data() const { return bytes_; }

  std::optional<std::string> StringAt(uint64_t rva) const {
    auto offset = Offset(rva);
    if (!offset) return std::nullopt;
    std::string text;
    for (size_t i = *offset; i < bytes_.size() && text.size() < 512; ++i) {
      if (bytes_[i] == 0) return text;
      text += char(bytes_[i]);
    }
    return std::nullopt;  // unterminated or absurdly long
  }

  std::vector<Section> sections_;
  bool pe32plus_ = false;
  bool relocatable_ = false;  // base relocations kept, so it can be moved
  uint64_t imageBase_ = 0;

 private:
  Bytes bytes_;
};

constexpr uint16_t kPe32 = 0x10b;
constexpr uint16_t kPe32Plus = 0x20b;
constexpr int kImportDirectory = 1;
constexpr int kRelocationDirectory = 5;
constexpr int kIatDirectory = 12;
constexpr int kDelayImportDirectory = 13;
constexpr uint16_t kRelocsStripped = 0x0001;
constexpr uint32_t kSectionCode = 0x00000020;
constexpr uint32_t kSectionExecute = 0x20000000;

// Fills the header facts and the section table; false when it is no PE.
bool ReadHeaders(Image& image, uint32_t directories[16][2]) {
  auto peOffset = image.At<uint32_t>(0x3c);
  if (image.At<uint16_t>(0) != uint16_t(0x5a4d) || !peOffset ||
      image.At<uint32_t>(*peOffset) != uint32_t(0x4550)) {
    return false;
  }
  size_t coff = *peOffset + 4;
  auto machine = image.At<uint16_t>(coff);
  auto sectionCount = image.At<uint16_t>(coff + 2);
  auto optionalSize = image.At<uint16_t>(coff + 16);
  auto characteristics = image.At<uint16_t>(coff + 18);
  size_t optional = coff + 20;
  auto magic = image.At<uint16_t>(optional);
  if (!machine || !sectionCount || !optionalSize || !characteristics || !magic) return false;
  if (*magic != kPe32 && *magic != kPe32Plus) return false;
  image.pe32plus_ = *magic == kPe32Plus;
  auto base = image.pe32plus_ ? image.At<uint64_t>(optional + 24)
                              : std::optional<uint64_t>(image.At<uint32_t>(optional + 28).value_or(0));
  size_t directoryTable = optional + (image.pe32plus_ ? 112 : 96);
  auto directoryCount = image.At<uint32_t>(directoryTable - 4);
  if (!base || !directoryCount) return false;
  image.imageBase_ = *base;
  for (uint32_t i = 0; i < 16; ++i) {
    bool present = i < *directoryCount;
    directories[i][0] = present ? image.At<uint32_t>(directoryTable + 8 * i).value_or(0) : 0;
    directories[i][1] = present ? image.At<uint32_t>(directoryTable + 8 * i + 4).value_or(0) : 0;
  }
  image.relocatable_ = !(*characteristics & kRelocsStripped) && directories[kRelocationDirectory][1] != 0;
  size_t table = optional + *optionalSize;
  for (uint16_t i = 0; i < *sectionCount; ++i) {
    size_t entry = table + 40 * size_t(i);
    auto virtualSize = image.At<uint32_t>(entry + 8);
    auto virtualAddress = image.At<uint32_t>(entry + 12);
    auto rawSize = image.At<uint32_t>(entry + 16);
    auto rawOffset = image.At<uint32_t>(entry + 20);
    auto flags = image.At<uint32_t>(entry + 36);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset || !flags) return false;
    bool executable = (*flags & (kSectionCode | kSectionExecute)) != 0;
    image.sections_.push_back({*virtualAddress, *virtualSize, *rawOffset, *rawSize, executable});
  }
  return true;
}

// Walks one lookup table (names or ordinals) of a DLL, whose address slots
// start at slotsRva; false when damaged.
bool ReadThunks(const Image& image, uint64_t tableRva, uint64_t slotsRva, const std::string& dll,
                bool delayed, std::vector<Import>& imports) {
  size_t width = image.pe32plus_ ? 8 : 4;
  uint64_t ordinalFlag = image.pe32plus_ ? (uint64_t(1) << 63) : (uint64_t(1) << 31);
  for (uint64_t index = 0;; ++index) {
    auto thunk = image.WordAt(tableRva + index * width);
    if (!thunk) return false;
    if (*thunk == 0) return true;
    Import import{dll, "", 0, delayed, slotsRva + index * width};
    if (*thunk & ordinalFlag) {
      import.ordinal = uint32_t(*thunk & 0xffff);
    } else {
      auto name = image.StringAt((*thunk & 0x7fffffff) + 2);  // after the 2-byte hint
      if (!name) return false;
      import.name = *name;
    }
    imports.push_back(import);
  }
}

bool ReadImports(const Image& image, uint32_t rva, std::vector<Import>& imports) {
  for (uint64_t entry = rva; rva != 0; entry += 20) {
    auto offset = image.Offset(entry);
    if (!offset) return false;
    uint32_t lookup = image.At<uint32_t>(*offset).value_or(0);
    uint32_t name = image.At<uint32_t>(*offset + 12).value_or(0);
    uint32_t addresses = image.At<uint32_t>(*offset + 16).value_or(0);
    if (name == 0 && addresses == 0) return true;
    auto dll = image.StringAt(name);
    if (!dll || !ReadThunks(image, lookup != 0 ? lookup : addresses, addresses, *dll, false, imports)) {
      return false;
    }
  }
  return true;
}

bool LooksLikeDllName(const std::string& name) {
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ending != ".dll") return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
  });
}

// One delay-load descriptor at a file offset; false when the bytes there
// are not one. Descriptors hold RVAs when bit 0 of their attributes is set,
// virtual addresses otherwise (the older form).
bool ReadDelayDescriptor(const Image& image, size_t offset, std::vector<Import>& imports) {
  uint32_t attributes = image.At<uint32_t>(offset).value_or(0);
  uint64_t name = image.At<uint32_t>(offset + 4).value_or(0);
  uint64_t slots = image.At<uint32_t>(offset + 12).value_or(0);
  uint64_t names = image.At<uint32_t>(offset + 16).value_or(0);
  uint64_t bias = (attributes & 1) ? 0 : image.imageBase_;
  if (name < bias || names < bias || slots < bias) return false;
  auto dll = image.StringAt(name - bias);
  if (!dll || dll->size() < 5 || !LooksLikeDllName(*dll)) return false;
  std::vector<Import> found;
  if (!ReadThunks(image, names - bias, slots - bias, *dll, true, found) || found.empty()) return false;
  imports.insert(imports.end(), found.begin(), found.end());
  return true;
}

bool ReadDelayImports(const Image& image, uint32_t rva, std::vector<Import>& imports) {
  for (uint64_t entry = rva; rva != 0; entry += 32) {
    auto offset = image.Offset(entry);
    if (!offset) return false;
    if (image.At<uint32_t>(*offset + 4).value_or(0) == 0) return true;
    if (!ReadDelayDescriptor(image, *offset, imports)) return false;
  }
  return true;
}

// GNU ld (2.40) links the delay-load descriptors that dlltool makes but
// leaves the image's delay-import directory empty, so the descriptors are
// searched for: RVA form (attributes 1), a DLL name, a valid name table.
void ScanDelayImports(const Image& image, std::vector<Import>& imports) {
  for (const Section& section : image.sections_) {
    for (uint32_t at = 0; at + 32 <= section.rawSize; at += 4) {
      size_t offset = size_t(section.rawOffset) + at;
      if (image.At<uint32_t>(offset) != uint32_t(1)) continue;
      ReadDelayDescriptor(image, offset, imports);
    }
  }
}

// The RVAs that base relocations of the pointer width patch.
std::set<uint64_t> ReadRelocations(const Image& image, const uint32_t directory[2]) {
  std::set<uint64_t> patched;
  uint16_t wanted = image.pe32plus_ ? 10 : 3;  // DIR64, HIGHLOW
  for (uint64_t block = directory[0]; block + 8 <= uint64_t(directory[0]) + directory[1];) {
    auto offset = image.Offset(block);
    if (!offset) break;
    uint32_t page = image.At<uint32_t>(*offset).value_or(0);
    uint32_t size = image.At<uint32_t>(*offset + 4).value_or(0);
    if (size < 8) break;
    for (uint32_t at = 8; at + 2 <= size; at += 2) {
      uint16_t entry = image.At<uint16_t>(*offset + at).value_or(0);
      if (entry >> 12 == wanted) patched.insert(uint64_t(page) + (entry & 0xfff));
    }
    block += size;
  }
  return patched;
}

// Where code reads a pointer from memory to call or jump through it, or to
// load it into a register: call/jmp [m] (FF 15, FF 25) and mov r, [m]
// (8B with an address operand, A1 on i686; 48 or 4C 8B on x86_64, which
// address relative to the next instruction). Each hit on a slot (isSlot)
// maps the slot to the RVAs of its uses. Bytes are read as they come, not
// decoded: only a hit on an import slot counts.
std::map<uint64_t, std::vector<uint64_t>> FindSlotUses(const Image& image,
                                                       const std::function<bool(uint64_t)>& isSlot) {
  std::map<uint64_t, std::vector<uint64_t>> uses;
  const Bytes& bytes = image.Data();
  for (const Section& section : image.sections_) {
    if (!section.executable) continue;
    if (section.rawOffset > bytes.size()) continue;
    uint32_t end = uint32_t(std::min<uint64_t>({section.rawSize, section.virtualSize,
                                                 bytes.size() - section.rawOffset}));
    for (uint32_t at = 0; at + 6 <= end; ++at) {
      const unsigned char* code = bytes.data() + section.rawOffset + at;
      size_t operand = 0;  // offset of the address operand, 0: none
      if (code[0] == 0xff && (code[1] == 0x15 || code[1] == 0x25)) operand = 2;
      else if (!image.pe32plus_ && code[0] == 0x8b && (code[1] & 0xc7) == 0x05) operand = 2;
      else if (!image.pe32plus_ && code[0] == 0xa1) operand = 1;
      else if (image.pe32plus_ && at + 7 <= end && (code[0] == 0x48 || code[0] == 0x4c) &&
               code[1] == 0x8b && (code[2] & 0xc7) == 0x05) operand = 3;
      if (operand == 0) continue;
      uint32_t field = uint32_t(code[operand]) | uint32_t(code[operand + 1]) << 8 |
                       uint32_t(code[operand + 2]) << 16 | uint32_t(code[operand + 3]) << 24;
      uint64_t rva = uint64_t(section.virtualAddress) + at;
      uint64_t target = image.pe32plus_ ? rva + operand + 4 + int64_t(int32_t(field))
                                        : uint64_t(field) - image.imageBase_;
      if (isSlot(target)) uses[target].push_back(rva);
    }
  }
  return uses;
}

// Why a delay-load slot would not be filled on first use; empty when it is.
std::string DelaySlotFault(const Image& image, uint64_t slot, const std::set<uint64_t>& relocated) {
  char text[96];
  uint64_t value = image.WordAt(slot).value_or(0);
  if (value == 0) return "zero in the file";
  if (value < image.imageBase_ || !image.InCode(value - image.imageBase_)) {
    std::snprintf(text, sizeof text, "holds 0x%llx, no code of the image", (unsigned long long)value);
    return text;
  }
  if (image.relocatable_ && !relocated.count(slot)) {
    std::snprintf(text, sizeof text, "holds 0x%llx without a base relocation", (unsigned long long)value);
    return text;
  }
  return "";
}

std::string ImportName(const Import& import) {
  return import.dll + "!" + (import.name.empty() ? "#" + std::to_string(import.ordinal) : import.name);
}

// Checks every slot that code uses: filled at load or on first use.
// Prints each failure; returns their number.
int CheckSlotUses(const Image& image, const uint32_t directories[16][2],
                  const std::vector<Import>& imports) {
  std::map<uint64_t, const Import*> bySlot;
  for (const Import& import : imports) bySlot[import.slot] = &import;
  uint64_t iatStart = directories[kIatDirectory][0];
  uint64_t iatEnd = iatStart + directories[kIatDirectory][1];
  size_t width = image.pe32plus_ ? 8 : 4;
  auto isSlot = [&](uint64_t rva) {
    return bySlot.count(rva) || (rva >= iatStart && rva < iatEnd && (rva - iatStart) % width == 0);
  };
  std::set<uint64_t> relocated = ReadRelocations(image, directories[kRelocationDirectory]);
  auto uses = FindSlotUses(image, isSlot);
  int faults = 0;
  size_t sites = 0;
  for (const auto& [slot, at] : uses) {
    sites += at.size();
    auto found = bySlot.find(slot);
    const Import* import = found == bySlot.end() ? nullptr : found->second;
    if (import && !import->delayed) continue;  // the loader fills it
    std::string fault = import ? DelaySlotFault(image, slot, relocated) : "in no import descriptor";
    if (fault.empty()) continue;
    ++faults;
    std::string what = import ? ImportName(*import) + ", delay-loaded" : "no import";
    std::printf("slot 0x%llx (%s), %zu use(s), the first at 0x%llx: %s\n",
                (unsigned long long)(image.imageBase_ + slot), what.c_str(),
                at.size(), (unsigned long long)(image.imageBase_ + at.front()), fault.c_str());
  }
  std::printf("import_gate: %zu uses of %zu import slots in the code, %d of them not filled at load or on first use\n",
              sites, uses.size(), faults);
  return faults;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// The names of one DLL's export list; nullopt when there is no list.
std::optional<std::set<std::string>> LoadExports(const std::string& dir, const std::string& dll) {
  std::ifstream file(dir + "/" + Lower(dll.substr(0, dll.rfind('.'))) + ".txt");
  if (!file) return std::nullopt;
  std::set<std::string> names;
  for (std::string line; std::getline(file, line);) {
    line = line.substr(0, line.find('#'));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    if (!line.empty()) names.insert(line);
  }
  return names;
}

// Every import that no export list holds; prints each, returns their number.
int CheckExportLists(const char* exe, const std::string& dir, const std::vector<Import>& imports) {
  std::map<std::string, std::optional<std::set<std::string>>> lists;
  int missing = 0;
  for (const Import& import : imports) {
    std::string key = Lower(import.dll);
    if (!lists.count(key)) lists[key] = LoadExports(dir, key);
    const auto& names = lists[key];
    if (names && !import.name.empty() && names->count(import.name)) continue;
    ++missing;
    std::printf("not in the export list: %s!%s%s%s\n", import.dll.c_str(),
                import.name.empty() ? "#" : import.name.c_str(),
                import.name.empty() ? std::to_string(import.ordinal).c_str() : "",
                import.delayed ? " (delay-loaded)" : "");
  }
  std::printf("import_gate: %s: %zu imports from %zu DLLs, %d not in the lists of %s\n", exe,
              imports.size(), lists.size(), missing, dir.c_str());
  return missing;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: import_gate EXE [EXPORTS_DIR]\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  Image image(Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
  uint32_t directories[16][2] = {};
  std::vector<Import> imports;
  if (!ReadHeaders(image, directories) ||
      !ReadImports(image, directories[kImportDirectory][0], imports) ||
      !ReadDelayImports(image, directories[kDelayImportDirectory][0], imports)) {
    std::fprintf(stderr, "import_gate: %s is not a readable PE image\n", argv[1]);
    return 2;
  }
  if (directories[kDelayImportDirectory][0] == 0) ScanDelayImports(image, imports);
  int faults = CheckSlotUses(image, directories, imports);
  if (argc == 3) faults += CheckExportLists(argv[1], argv[2], imports);
  return faults == 0 ? 0 : 1;
}
