// Processes and folders for the benchmark driver: timed child processes and
// the scratch folders that the installs write into.
#pragma once

#include <string>
#include <vector>

struct ProcessRun {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;      // -1 when the process did not exit by itself
  double seconds = 0;     // from just before the spawn to the reaped exit
  // User and system CPU of the process and the children it waited for; the
  // wineserver's share is not in it (it is no child of the program).
  double cpuSeconds = 0;
  double maxRssMiB = 0;   // the process's peak resident set (Wine: its working set peak)
};

// Runs argv[0] (looked up on PATH) with stdin from /dev/null and stdout and
// stderr appended to outputPath; kills it after timeoutSeconds.
ProcessRun RunProcess(const std::vector<std::string>& argv, const std::string& outputPath, double timeoutSeconds);

struct FolderStats {
  int files = 0;
  unsigned long long bytes = 0;
};

bool MakeFreshFolder(const std::string& path);  // removes whatever was there
void RemoveTree(const std::string& path);
FolderStats StatFolder(const std::string& path);  // regular files directly inside
unsigned long long FileSize(const std::string& path);  // 0 when missing
std::string ReadText(const std::string& path);
// Removes the last run's files and lets the disk settle, so one run's
// write-back never lands inside the next run's timing.
void SettleDisk(const std::string& folder);
// The 1-minute load average; negative when it cannot be read.
double LoadAverage();
// Z:\-form of a Linux path, as Wine's default Z: drive maps the root.
std::string WindowsPath(const std::string& path);
