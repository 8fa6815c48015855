// Patching this program's import address table (see import_patch.h).
#include "tests/support/import_patch.h"

namespace {

void WriteSlot(void** slot, void* value) {
  DWORD previous = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement) {
  HMODULE target = GetModuleHandleA(dll);
  if (target == nullptr) return;
  original_ = reinterpret_cast<void*>(GetProcAddress(target, function));
  if (original_ == nullptr) return;
  auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  // The slots are matched by the address they hold, which also finds a
  // function imported through a forwarder or under another DLL's name.
  for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    for (auto* slot = reinterpret_cast<void**>(base + descriptor->FirstThunk); *slot != nullptr; ++slot) {
      if (*slot != original_ || slotCount_ == kMaxSlots) continue;
      WriteSlot(slot, replacement);
      slots_[slotCount_++] = slot;
    }
  }
}

ImportPatch::~ImportPatch() {
  for (int i = 0; i < slotCount_; ++i) WriteSlot(slots_[i], original_);
}
