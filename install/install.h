// Installation engine: payload extraction, the install sequence, the word
// base and the configuration file.
#pragma once

// ---- Payload resource extraction --------------------------------------------
// Returns 0 on success (length then holds the bytes produced), otherwise a
// nonzero zlib result code. length holds the capacity on entry.
int InflatePayload(int id, unsigned char* buffer, unsigned long* length);
// 1 when the file was written completely, else 0. fullPath may be null; the
// file then goes to "%s\%s" of installDir and fileName.
int ExtractPayload(int id, const char* fileName, unsigned char* buffer, unsigned long capacity,
                   int readOnly, int hidden, const char* fullPath);
int WriteInstalledFile(const char* fileName, const unsigned char* data, unsigned long length,
                       int readOnly, int hidden, const char* fullPath);
int MakeWritable(const char* path, int clearReadOnly, int clearHidden);  // 1 if changed
int DeleteInstalledFile(const char* path);  // 0 deleted, -1 otherwise
// Removes the temporary files that an interrupted extraction left in folder
// ("~tvk", four upper-case hex digits, ".tmp", and nothing else); returns
// how many went.
int RemoveStaleTempFiles(const char* folder);

// ---- Install sequence -------------------------------------------------------
int RunInstall();  // 1 success, 0 failure

// ---- Word base and configuration file ---------------------------------------
extern int keepOldWordBase;
void CheckOldWordBase();
int UpdateConfigFile();  // always 1
