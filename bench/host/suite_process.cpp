// Timed child processes and scratch folders of the benchmark driver.
#include "suite_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

extern char** environ;

namespace {

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

// Waits on a process descriptor so the exit is seen the moment it happens,
// with no polling interval in the measured time.
bool WaitForExit(pid_t pid, double timeoutSeconds) {
  int descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (descriptor < 0) return true;  // wait4 below blocks instead
  pollfd watch = {descriptor, POLLIN, 0};
  int ready = poll(&watch, 1, static_cast<int>(timeoutSeconds * 1000));
  close(descriptor);
  return ready > 0;
}

}  // namespace

ProcessRun RunProcess(const std::vector<std::string>& argv, const std::string& outputPath, double timeoutSeconds) {
  ProcessRun run;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  double start = Now();
  int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return run;
  run.started = true;
  if (!WaitForExit(pid, timeoutSeconds)) {
    run.timedOut = true;
    kill(pid, SIGKILL);
  }
  int status = 0;
  rusage usage = {};
  wait4(pid, &status, 0, &usage);
  run.seconds = Now() - start;
  run.maxRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (WIFEXITED(status) && !run.timedOut) run.exitCode = WEXITSTATUS(status);
  return run;
}

bool MakeFreshFolder(const std::string& path) {
  RemoveTree(path);
  return mkdir(path.c_str(), 0755) == 0;
}

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

FolderStats StatFolder(const std::string& path) {
  FolderStats stats;
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) return stats;
  while (dirent* entry = readdir(folder)) {
    struct stat info;
    std::string child = path + "/" + entry->d_name;
    if (lstat(child.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    ++stats.files;
    stats.bytes += static_cast<unsigned long long>(info.st_size);
  }
  closedir(folder);
  return stats;
}

unsigned long long FileSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<unsigned long long>(info.st_size) : 0;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SettleDisk(const std::string& folder) {
  RemoveTree(folder);
  sync();
}

double LoadAverage() {
  double load = -1;
  std::ifstream in("/proc/loadavg");
  in >> load;
  return in ? load : -1;
}

std::string WindowsPath(const std::string& path) {
  std::string windows = "Z:" + path;
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}
