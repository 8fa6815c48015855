// The stand-in for the shell's handler of ".msi" files in the end-to-end
// prefix: records which file the setup program asked the shell to open.
#pragma once

#include <string>

constexpr char kRecordOpenSwitch[] = "--record-open";

// Points the ".msi" type at this driver (started with kRecordOpenSwitch).
bool RegisterOpenRecorder();
// Writes the path to the record file; the process's exit code.
int RecordOpenedFile(const char* path);
// Removes the record; reads it back (false when nothing was opened).
void ForgetOpenedFile();
bool ReadOpenedFile(std::string* path);
