// Helpers shared by the payload tests: the payload's resources as bytes,
// beside the scratch folders and whole-file reads of the support library.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/files.h"

// The bytes of payload resource id of module, or empty when it has none.
Bytes ResourceBytes(HMODULE module, int id);

// A scratch folder as installDir and the shared install buffer, the setting
// of every extraction test.
class ExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override;

  ScratchFolder scratch_;
  unsigned char* buffer_ = nullptr;  // kInstallBufferSize bytes
};
