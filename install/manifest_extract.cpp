// The install's files: the manifest's rows extracted in order. Apart from
// the rest of the install sequence, so that a program that only extracts
// (bench/install_files.cpp) loads no window library.
#include "install/install.h"
#include "base/install_pump.h"
#include "base/manifest.h"

bool ExtractManifest(bool keepWordBase, void (*showProgress)(int position), const char** failedInPlace) {
  for (const ManifestRow& row : kManifest) {
    KeepAnswering();
    if (row.progress != 0 && showProgress != nullptr) showProgress(row.progress);
    if (row.condition == RowCondition::kWordBaseReplaced && keepWordBase) continue;
    ExtractOutcome outcome =
        ExtractPayloadOutcome(row.id, row.fileName, kInstallBufferSize, row.readOnly, row.hidden);
    // Whatever the row's rule: a file that may be cut is no skipped row.
    if (outcome == ExtractOutcome::kInPlaceFailed) {
      if (failedInPlace != nullptr) *failedInPlace = row.fileName;
      return false;
    }
    if (outcome != ExtractOutcome::kWritten && row.onFailure == FailureRule::kStop) return false;
  }
  return true;
}
