// Helpers shared by the payload tests (see payload_test_support.h).
#include "tests/install/payload_test_support.h"

#include "base/bounded_format.h"
#include "install/install.h"
#include "base/manifest.h"
#include "startup/startup.h"
#include "wizard/wizard.h"

Bytes ResourceBytes(HMODULE module, int id) {
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "TEXT");
  if (resource == nullptr) return Bytes();
  HGLOBAL loaded = LoadResource(module, resource);
  const unsigned char* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return Bytes();
  return Bytes(data, data + SizeofResource(module, resource));
}

void ExtractionTest::SetUp() {
  appInstance = GetModuleHandleA(nullptr);
  ASSERT_FALSE(scratch_.path().empty());
  ASSERT_TRUE(CopyBounded(installDir, sizeof installDir, scratch_.path().c_str()));
  static Bytes shared(kInstallBufferSize);
  buffer_ = shared.data();
}
