// Installation engine: payload extraction, the install sequence, the word
// base and the configuration file.
#pragma once

#include <string>

#include "resources/app_state.h"

// ---- Payload resource extraction --------------------------------------------
// Returns 0 on success (length then holds the bytes produced), otherwise a
// nonzero zlib result code. length holds the capacity on entry. For the
// texts and the font that the program keeps whole in memory.
int InflatePayload(int id, unsigned char* buffer, unsigned long* length);
// 1 when the file was written completely, else 0. The stream is inflated
// in pieces straight into the file; one that would inflate past capacity
// bytes, or fails zlib's checks, leaves no file and the previous one as it
// was. fullPath may be null; the file then goes to "%s\%s" of installDir
// and fileName.
int ExtractPayload(int id, const char* fileName, unsigned long capacity, int readOnly, int hidden,
                   const char* fullPath);
// What ExtractPayload's 0 does not say: kInPlaceFailed is a failure of a
// write in place (the folder too deep for a temporary name, or the target
// held open by another program) after the target was opened. A full disk
// fails before any old byte changes; any other failure there may have left
// the file cut, so an install must not pass over it as a skipped row.
enum class ExtractOutcome { kWritten, kNotWritten, kInPlaceFailed };
// ExtractPayload into installDir, with the outcome told apart.
ExtractOutcome ExtractPayloadOutcome(int id, const char* fileName, unsigned long capacity, int readOnly,
                                     int hidden);
// The bytes of payload resource id as linked into the program; false when
// there is no such resource.
bool FindPayload(int id, const unsigned char** data, unsigned long* size);
// Takes the pages of a stream that has been read out of the working set.
void ReleasePayloadPages(const unsigned char* data, unsigned long size);
int WriteInstalledFile(const char* fileName, const unsigned char* data, unsigned long length,
                       int readOnly, int hidden, const char* fullPath);
// "%s\%s" of installDir and name; false when it does not fit or installDir
// is empty (the path would then name the root of the current drive).
bool FormatInstallPath(char* path, unsigned long size, const char* name);
// The whole of a small file, read with others' sharing; false when it is
// missing, unreadable or larger than limit bytes.
bool ReadSmallFile(const char* path, unsigned long limit, std::string& bytes);
int MakeWritable(const char* path, int clearReadOnly, int clearHidden);  // 1 if changed
int DeleteInstalledFile(const char* path);  // 0 deleted, -1 otherwise
// Removes the temporary files that an interrupted extraction left in folder
// ("~tvk", four upper-case hex digits, ".tmp", and nothing else); returns
// how many went.
int RemoveStaleTempFiles(const char* folder);

// ---- Install sequence -------------------------------------------------------
// The steps of a run that the shell layer does. The engine never calls up
// into shell/: whoever starts a run hands it the shell's steps
// (kShellInstallSteps in shell.h). column is the language column of the
// names handed to the shell, LanguageColumn(uiLanguage).
struct ShellInstallSteps {
  void (*createStartMenu)(int column);         // the program folder and its entries
  void (*createDesktopShortcuts)(int column);  // only when desktopIconWanted
  void (*registerDocumentTypes)();             // only on Vista or later
};
int RunInstall(const ShellInstallSteps& shell);  // 1 success, 0 failure
// The manifest's rows in order, each into installDir (install/manifest_extract.cpp);
// the word base's rows are left out when keepWordBase. showProgress, when
// not null, gets the rows' progress positions. False when a row marked stop
// failed, or any row's write in place failed (its name then goes to
// *failedInPlace when that is not null); the rows after it are then not
// touched.
bool ExtractManifest(bool keepWordBase, void (*showProgress)(int position),
                     const char** failedInPlace = nullptr);
// Copies SCtrlSet0.bin from moduleDir into windowsDir when it is there (the
// last step of RunInstall); nothing when either folder is empty.
void CopySettingsFile();

// ---- Word base and configuration file ---------------------------------------
// keepOldWordBase, install's own, is declared with the shared state.
void CheckOldWordBase();
int UpdateConfigFile();  // always 1
