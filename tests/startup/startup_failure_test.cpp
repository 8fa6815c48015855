// The start-up failure paths of the glyph font, each forced through this
// program's import table: a glyph bitmap or memory DC that cannot be made,
// a font stream that inflates cleanly but short, and a glyph buffer that
// cannot be allocated. Expected: the exit code of a font that could not be
// loaded, the memory message only where memory ran out, and every GDI
// object made so far deleted again. Compiled with GBK literals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "render/render.h"
#include "startup/startup.h"
#include "startup/startup_steps.h"
#include "tests/support/disk_test_support.h"
#include "tests/support/import_patch.h"

namespace {

constexpr std::size_t kGlyphBufferBytes = 307200;

using CreateBitmapFunction = HBITMAP(WINAPI*)(int, int, UINT, UINT, const void*);
using CreateDcFunction = HDC(WINAPI*)(HDC);
using DeleteObjectFunction = BOOL(WINAPI*)(HGDIOBJ);
using DeleteDcFunction = BOOL(WINAPI*)(HDC);
using FindResourceFunction = HRSRC(WINAPI*)(HMODULE, LPCSTR, LPCSTR);
using MallocFunction = void*(__cdecl*)(std::size_t);

// What the replacements do and saw. One test at a time uses them.
struct Injection {
  int failBitmapCall = -1;  // the 0-based call that fails; -1: none
  int failDcCall = -1;
  int bitmapCalls = 0;
  int dcCalls = 0;
  bool failGlyphBuffer = false;
  std::set<void*> live;  // made and not yet deleted
  CreateBitmapFunction createBitmap = nullptr;
  CreateDcFunction createDc = nullptr;
  DeleteObjectFunction deleteObject = nullptr;
  DeleteDcFunction deleteDc = nullptr;
  FindResourceFunction findResource = nullptr;
  MallocFunction malloc = nullptr;
};
Injection injection;

HBITMAP WINAPI InjectedCreateBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
  if (injection.bitmapCalls++ == injection.failBitmapCall) return nullptr;
  HBITMAP made = injection.createBitmap(width, height, planes, bits, data);
  if (made != nullptr) injection.live.insert(made);
  return made;
}

HDC WINAPI InjectedCreateCompatibleDc(HDC dc) {
  if (injection.dcCalls++ == injection.failDcCall) return nullptr;
  HDC made = injection.createDc(dc);
  if (made != nullptr) injection.live.insert(made);
  return made;
}

BOOL WINAPI InjectedDeleteObject(HGDIOBJ object) {
  injection.live.erase(object);
  return injection.deleteObject(object);
}

BOOL WINAPI InjectedDeleteDc(HDC dc) {
  injection.live.erase(dc);
  return injection.deleteDc(dc);
}

// The glyph font's id answered with the English licence: a whole, valid
// stream that inflates to a few kilobytes.
HRSRC WINAPI InjectedFindResource(HMODULE module, LPCSTR name, LPCSTR type) {
  if (IS_INTRESOURCE(name) && reinterpret_cast<ULONG_PTR>(name) == 110) name = MAKEINTRESOURCEA(164);
  return injection.findResource(module, name, type);
}

void* __cdecl InjectedMalloc(std::size_t size) {
  if (injection.failGlyphBuffer && size == kGlyphBufferBytes) return nullptr;
  return injection.malloc(size);
}

class StartupFailure : public testing::Test {
 protected:
  void SetUp() override {
    appInstance = GetModuleHandleA(nullptr);
    ReleaseStartupObjects();
    injection = Injection();
    injection.createBitmap = reinterpret_cast<CreateBitmapFunction>(bitmap_.original());
    injection.createDc = reinterpret_cast<CreateDcFunction>(dc_.original());
    injection.deleteObject = reinterpret_cast<DeleteObjectFunction>(deleteObject_.original());
    injection.deleteDc = reinterpret_cast<DeleteDcFunction>(deleteDc_.original());
    ASSERT_TRUE(bitmap_.patched() && dc_.patched() && deleteObject_.patched() && deleteDc_.patched());
  }

  // The run of LoadGlyphFontFromPayload and what it left.
  void ExpectFailure(bool memoryMessage) {
    MessageAnswerer answerer(IDOK);
    EXPECT_EQ(LoadGlyphFontFromPayload(), kExitNoGlyphFont);
    EXPECT_TRUE(injection.live.empty()) << injection.live.size() << " GDI objects kept";
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(glyphBitmap[k], nullptr) << k;
      EXPECT_EQ(glyphDc[k], nullptr) << k;
    }
    ASSERT_EQ(answerer.messages().size(), memoryMessage ? 1u : 0u);
    if (memoryMessage) {
      EXPECT_EQ(answerer.messages()[0].chinese, "内存不够。安装无法继续。");
      EXPECT_EQ(answerer.messages()[0].english, "Memory not enough!");
      EXPECT_EQ(answerer.messages()[0].buttons, std::vector<int>{IDOK});
    }
  }

  ImportPatch bitmap_{"gdi32.dll", "CreateBitmap", reinterpret_cast<void*>(InjectedCreateBitmap)};
  ImportPatch dc_{"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(InjectedCreateCompatibleDc)};
  ImportPatch deleteObject_{"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(InjectedDeleteObject)};
  ImportPatch deleteDc_{"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(InjectedDeleteDc)};
};

TEST_F(StartupFailure, AGlyphBitmapOrMemoryDcThatCannotBeMade) {
  for (bool bitmap : {true, false}) {
    for (int call = 0; call < 4; ++call) {
      SCOPED_TRACE(std::string(bitmap ? "bitmap " : "memory DC ") + std::to_string(call));
      injection.live.clear();
      injection.bitmapCalls = injection.dcCalls = 0;
      injection.failBitmapCall = bitmap ? call : -1;
      injection.failDcCall = bitmap ? -1 : call;
      ExpectFailure(false);
    }
  }
  // Unhindered, the same run makes all eight and keeps them.
  injection.failBitmapCall = injection.failDcCall = -1;
  injection.live.clear();
  EXPECT_EQ(LoadGlyphFontFromPayload(), kExitNormal);
  EXPECT_EQ(injection.live.size(), 8u);
  ReleaseStartupObjects();
  EXPECT_TRUE(injection.live.empty());
}

TEST_F(StartupFailure, AFontStreamThatInflatesCleanlyButShort) {
  ImportPatch find("kernel32.dll", "FindResourceA", reinterpret_cast<void*>(InjectedFindResource));
  ASSERT_TRUE(find.patched());
  injection.findResource = reinterpret_cast<FindResourceFunction>(find.original());
  ExpectFailure(false);
  EXPECT_EQ(injection.bitmapCalls, 0) << "no image is made from a short font";
}

TEST_F(StartupFailure, AGlyphBufferThatCannotBeAllocated) {
  ImportPatch allocate("msvcrt.dll", "malloc", reinterpret_cast<void*>(InjectedMalloc));
  if (!allocate.patched()) GTEST_SKIP() << "this program takes malloc from elsewhere";
  injection.malloc = reinterpret_cast<MallocFunction>(allocate.original());
  injection.failGlyphBuffer = true;
  ExpectFailure(true);
  EXPECT_EQ(injection.bitmapCalls, 0);
}

}  // namespace
