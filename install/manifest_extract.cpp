// The install's files: the manifest's rows extracted in order. Apart from
// the rest of the install sequence, so that a program that only extracts
// (bench/install_files.cpp) loads no window library.
#include "install/install.h"
#include "base/install_pump.h"
#include "base/manifest.h"

bool ExtractManifest(bool keepWordBase, void (*showProgress)(int position)) {
  for (const ManifestRow& row : kManifest) {
    KeepAnswering();
    if (row.progress != 0 && showProgress != nullptr) showProgress(row.progress);
    if (row.condition == RowCondition::kWordBaseReplaced && keepWordBase) continue;
    int written = ExtractPayload(row.id, row.fileName, kInstallBufferSize, row.readOnly, row.hidden, nullptr);
    if (written == 0 && row.onFailure == FailureRule::kStop) return false;
  }
  return true;
}
