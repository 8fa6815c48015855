// Payload resource extraction: a resource of type "TEXT" holds one zlib
// stream of one installed file.
#include <windows.h>
#include <zlib.h>

#include "install/install.h"
#include "startup/startup.h"

int InflatePayload(int id, unsigned char* buffer, unsigned long* length) {
  const unsigned char* source = nullptr;
  DWORD sourceSize = 0;
  HRSRC resource = FindResourceA(appInstance, MAKEINTRESOURCEA(id & 0xFFFF), "TEXT");
  if (resource != nullptr) {
    HGLOBAL loaded = LoadResource(appInstance, resource);
    if (loaded != nullptr) {
      source = static_cast<const unsigned char*>(LockResource(loaded));
      sourceSize = SizeofResource(appInstance, resource);
    }
  }
  // No resource means no input: uncompress then reports Z_BUF_ERROR, which
  // every caller treats like any other nonzero result.
  uLongf produced = *length;
  int result = uncompress(buffer, &produced, source, source != nullptr ? sourceSize : 0);
  if (result == Z_OK) *length = produced;
  return result;
}
