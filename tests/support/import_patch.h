// Fault injection through the test program's own import table: while an
// ImportPatch lives, every call that the program (and the product code
// linked into it) makes to one imported function goes to a replacement.
#pragma once

#include <windows.h>

class ImportPatch {
 public:
  // Replaces dll!function in this program's import table; patched() tells
  // whether any slot held it.
  ImportPatch(const char* dll, const char* function, void* replacement);
  ~ImportPatch();  // puts the original back
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool patched() const { return slotCount_ > 0; }
  void* original() const { return original_; }  // the real function, for pass-through

 private:
  static constexpr int kMaxSlots = 8;
  void* original_ = nullptr;
  void** slots_[kMaxSlots] = {};
  int slotCount_ = 0;
};
