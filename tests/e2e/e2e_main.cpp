// Entry point of the end-to-end driver. It runs inside a Wine virtual
// desktop, whose explorer does not hand the exit code back, so the result
// also goes to the file named by TAVIK_E2E_RESULT (a Unix path).
//
// Started as "--record-open PATH" it is the stand-in handler of the ".msi"
// type in the scenarios' prefix: it notes which file the shell was asked to
// open and ends, so that accepting the speech package can be checked
// without running a package installer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/open_record.h"

namespace {
void WriteResult(int result) {
  const char* file = std::getenv("TAVIK_E2E_RESULT");
  if (file == nullptr || *file == '\0') return;
  FILE* out = _wfopen(WindowsPathOf(file).c_str(), L"w");
  if (out == nullptr) return;
  std::fprintf(out, "%d\n", result);
  std::fclose(out);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kRecordOpenSwitch) == 0) return RecordOpenedFile(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  WriteResult(result);
  return result;
}
