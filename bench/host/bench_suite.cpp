// The benchmark driver: runs every measure of the suite side by side,
// alternating them round after round (one warm-up round not counted), and
// prints one markdown table of medians and ranges with the targets. Whole
// processes are compared by wall time and by CPU time: CPU time says less
// about waits but stays usable on a machine that others load. A round
// during which the load average reached --max-load is reported, thrown
// away and run again, up to --repeats times.
//
//   bench_suite --build DIR --payload DIR [--runs N] [--zopfli-runs N] [--no-pack]
//               [--max-load L] [--repeats N] [--title TEXT]
//
// Wine's environment (prefix, debug channels, a running wineserver) comes
// from the caller, bench/run-suite.sh.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "install/manifest.h"
#include "suite_process.h"
#include "suite_report.h"
#include "suite_stats.h"

namespace {

constexpr double kRunTimeoutSeconds = 120;
constexpr double kMiB = 1024.0 * 1024.0;

struct Config {
  std::string build;
  std::string payload;
  int runs = 7;
  int zopfliRuns = 1;
  bool pack = true;
  std::string wine = "wine";
  // The suite keeps about one core busy itself.
  double maxLoad = 1.5;
  int repeats = 3;
  std::string title;

  std::string Bench() const { return build + "/bench"; }
  std::string Host() const { return build + "/bench/host"; }
  std::string Scratch() const { return build + "/bench/scratch"; }
  std::string Log() const { return build + "/bench/suite.log"; }
};

struct Samples {
  unsigned long long manifestBytes = 0;
  Series oursLoop, oursRunInstall, oursThroughput, oursPeak, oursGrowth, oursBar, filesLoop;
  Series bareLoop, bareWhole, bareRss;
  Series nativeInflate, nativeInflateWrite;
  Series oursWhole, oursRss, filesWhole, filesRss, nsisZlib, nsisZlibRss, nsisLzma, nsisLzmaRss, emptyWhole, emptyRss;
  Series startEmpty, startWindowPaint, startWindowPeak, startSetupWindow, startSetupPaint, startSetupPeak;
  // The setup program's start-up cut short after each stage
  // (startup_stages.cpp), whole processes run alternately with the empty
  // program (stageEmpty*).
  static constexpr int kStages = 4;
  Series stageEmptyExit, stageEmptyCpu, stageExit[kStages], stageCpu[kStages];
  Series wizardPeak;
  Series oursCpu, filesCpu, bareCpu, nsisZlibCpu, nsisLzmaCpu, emptyCpu;
  int repeatedRounds = 0, loadedRoundsKept = 0;
  double highestLoad = 0;
  struct Pack {
    Series wall, cpu;
    unsigned long long manifestPacked = 0, allPacked = 0;
  } zlib, libdeflate, zopfli;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "bench_suite: %s (details in the suite log)\n", message.c_str());
  std::exit(1);
}

void Check(bool condition, const std::string& message) {
  if (!condition) Fail(message);
}

std::string Fresh(const std::string& path) {
  std::remove(path.c_str());
  return path;
}

// An install must leave the 122 files with the manifest's bytes; ours also
// rewrites two values of the configuration file, a few bytes either way.
void CheckInstalled(const std::string& folder, const Samples& samples, bool exact, const std::string& who) {
  FolderStats stats = StatFolder(folder);
  long long difference = static_cast<long long>(stats.bytes) - static_cast<long long>(samples.manifestBytes);
  bool bytesOk = exact ? difference == 0 : difference > -4096 && difference < 4096;
  Check(stats.files == static_cast<int>(kManifestRowCount) && bytesOk,
        who + " installed " + std::to_string(stats.files) + " files, " + std::to_string(stats.bytes) + " bytes");
}

ProcessRun RunWine(const Config& config, std::vector<std::string> args) {
  args.insert(args.begin(), config.wine);
  return RunProcess(args, config.Log(), kRunTimeoutSeconds);
}

// ---- The extraction and whole-process group ------------------------------------

void MeasureOursTimed(const Config& config, Samples& samples, bool keep) {
  std::string folder = config.Scratch() + "/ours";
  std::string result = Fresh(config.Scratch() + "/ours.txt");
  Check(MakeFreshFolder(folder), "cannot make " + folder);
  ProcessRun run =
      RunWine(config, {config.Bench() + "/install_run.exe", WindowsPath(folder), "--result", WindowsPath(result)});
  int installed = 0;
  double whole = 0, loop = 0, bar = 0;
  unsigned long long peak = 0, before = 0;
  std::istringstream(ReadText(result)) >> installed >> whole >> loop >> peak >> before >> bar;
  Check(run.exitCode == 0 && installed == 1 && loop > 0, "install_run.exe failed");
  CheckInstalled(folder, samples, false, "install_run.exe");
  if (keep) {
    samples.oursLoop.Add(loop);
    samples.oursRunInstall.Add(whole);
    samples.oursThroughput.Add(static_cast<double>(StatFolder(folder).bytes) / 1e6 / loop);
    samples.oursPeak.Add(static_cast<double>(peak) / kMiB);
    samples.oursGrowth.Add(static_cast<double>(peak - before) / kMiB);
    samples.oursBar.Add(bar);
  }
  SettleDisk(folder);
}

void MeasureFilesTimed(const Config& config, Samples& samples, bool keep) {
  std::string folder = config.Scratch() + "/files";
  std::string result = Fresh(config.Scratch() + "/files.txt");
  Check(MakeFreshFolder(folder), "cannot make " + folder);
  ProcessRun run = RunWine(config, {config.Bench() + "/install_files.exe", WindowsPath(folder), WindowsPath(result)});
  int installed = 0;
  double loop = 0;
  std::istringstream(ReadText(result)) >> installed >> loop;
  Check(run.exitCode == 0 && installed == 1 && loop > 0, "install_files.exe failed");
  CheckInstalled(folder, samples, true, "install_files.exe");
  if (keep) samples.filesLoop.Add(loop);
  SettleDisk(folder);
}

void MeasureBare(const Config& config, Samples& samples, bool keep) {
  std::string folder = config.Scratch() + "/bare";
  std::string result = Fresh(config.Scratch() + "/bare.txt");
  Check(MakeFreshFolder(folder), "cannot make " + folder);
  ProcessRun run = RunWine(config, {config.Bench() + "/bare_extract.exe", WindowsPath(folder), WindowsPath(result)});
  int files = 0;
  unsigned long long bytes = 0;
  double loop = 0;
  std::istringstream(ReadText(result)) >> files >> bytes >> loop;
  Check(run.exitCode == 0 && loop > 0, "bare_extract.exe failed (exit " + std::to_string(run.exitCode) + ", " +
                                            std::to_string(files) + " files)");
  CheckInstalled(folder, samples, true, "bare_extract.exe");
  if (keep) {
    samples.bareLoop.Add(loop);
    samples.bareWhole.Add(run.seconds);
    samples.bareCpu.Add(run.cpuSeconds);
    samples.bareRss.Add(run.maxRssMiB);
  }
  SettleDisk(folder);
}

void MeasureNative(const Config& config, Samples& samples, bool write, bool keep) {
  std::string folder = config.Scratch() + "/native";
  std::string output = Fresh(config.Scratch() + "/native.txt");
  std::vector<std::string> args = {config.Host() + "/floor_inflate", "--packed", config.build + "/payload/product"};
  if (write) {
    Check(MakeFreshFolder(folder), "cannot make " + folder);
    args.insert(args.end(), {"--write", folder});
  }
  ProcessRun run = RunProcess(args, output, kRunTimeoutSeconds);
  int files = 0;
  unsigned long long bytes = 0;
  double loop = 0;
  std::istringstream(ReadText(output)) >> files >> bytes >> loop;
  Check(run.exitCode == 0 && bytes == samples.manifestBytes, "floor_inflate failed");
  if (write) CheckInstalled(folder, samples, true, "floor_inflate");
  if (keep) (write ? samples.nativeInflateWrite : samples.nativeInflate).Add(loop);
  if (write) SettleDisk(folder);
}

// Whole processes, timed from the spawn of the Wine loader to its exit.
// who: "ours" (RunInstall), "files" (ours, files only), "zlib" or "lzma"
// (the NSIS installers).
void MeasureWhole(const Config& config, Samples& samples, const std::string& who, bool keep) {
  std::string folder = config.Scratch() + "/whole";
  Check(MakeFreshFolder(folder), "cannot make " + folder);
  std::vector<std::string> args;
  Series* time = nullptr;
  Series* rss = nullptr;
  Series* cpu = nullptr;
  if (who == "ours") {
    args = {config.Bench() + "/install_run.exe", WindowsPath(folder)};
    time = &samples.oursWhole, rss = &samples.oursRss, cpu = &samples.oursCpu;
  } else if (who == "files") {
    args = {config.Bench() + "/install_files.exe", WindowsPath(folder)};
    time = &samples.filesWhole, rss = &samples.filesRss, cpu = &samples.filesCpu;
  } else {
    // NSIS wants /D last and unquoted.
    args = {config.Bench() + "/nsis/nsis_" + who + ".exe", "/S", "/D=" + WindowsPath(folder)};
    time = who == "zlib" ? &samples.nsisZlib : &samples.nsisLzma;
    rss = who == "zlib" ? &samples.nsisZlibRss : &samples.nsisLzmaRss;
    cpu = who == "zlib" ? &samples.nsisZlibCpu : &samples.nsisLzmaCpu;
  }
  ProcessRun run = RunWine(config, args);
  Check(run.exitCode == 0, who + " install failed (exit " + std::to_string(run.exitCode) + ")");
  CheckInstalled(folder, samples, who != "ours", who + " install");
  if (keep) {
    time->Add(run.seconds);
    rss->Add(run.maxRssMiB);
    cpu->Add(run.cpuSeconds);
  }
  SettleDisk(folder);
}

// The setup program itself, driven through its wizard to a complete install
// (the wizard keeps its install page up for at least five seconds).
void MeasureWizard(const Config& config, Samples& samples, bool keep) {
  std::string folder = config.Scratch() + "/wizard";
  std::string result = Fresh(config.Scratch() + "/wizard.txt");
  RemoveTree(folder);
  ProcessRun run = RunWine(config, {config.Bench() + "/wizard_drive.exe", WindowsPath(config.build + "/TavikSetup.exe"),
                                    WindowsPath(folder), WindowsPath(result)});
  int exitCode = -1, boxes = 0;
  unsigned long long peak = 0;
  std::istringstream(ReadText(result)) >> exitCode >> peak >> boxes;
  Check(run.exitCode == 0, "wizard_drive.exe failed (setup exit " + std::to_string(exitCode) + ", " +
                               std::to_string(boxes) + " boxes answered)");
  CheckInstalled(folder, samples, false, "the wizard");
  if (keep) samples.wizardPeak.Add(static_cast<double>(peak) / kMiB);
  SettleDisk(folder);
}

void MeasureEmpty(const Config& config, Samples& samples, bool keep) {
  ProcessRun run = RunWine(config, {config.Bench() + "/empty.exe"});
  Check(run.exitCode == 0, "empty.exe failed");
  if (keep) {
    samples.emptyWhole.Add(run.seconds);
    samples.emptyCpu.Add(run.cpuSeconds);
    samples.emptyRss.Add(run.maxRssMiB);
  }
}

void MeasureInstallRound(const Config& config, Samples& samples, bool keep) {
  MeasureOursTimed(config, samples, keep);
  MeasureFilesTimed(config, samples, keep);
  MeasureBare(config, samples, keep);
  MeasureNative(config, samples, false, keep);
  MeasureNative(config, samples, true, keep);
  MeasureWhole(config, samples, "ours", keep);
  MeasureWhole(config, samples, "files", keep);
  MeasureWhole(config, samples, "zlib", keep);
  MeasureWhole(config, samples, "lzma", keep);
  MeasureEmpty(config, samples, keep);
  MeasureWizard(config, samples, keep);
}

// Runs measure until the load average stayed under the limit across it, at
// most 1 + repeats times; a round kept although loaded is counted.
template <typename Measure>
void RunUnderQuietLoad(const Config& config, Samples& samples, const char* what, Measure measure) {
  for (int attempt = 0;; ++attempt) {
    Samples before = samples;
    double loadBefore = LoadAverage();
    measure();
    double load = std::max(loadBefore, LoadAverage());
    samples.highestLoad = std::max(samples.highestLoad, load);
    if (load < config.maxLoad) return;
    if (attempt >= config.repeats) {
      std::fprintf(stderr, "warning: load average %.2f during %s; kept after %d repeats\n", load, what, attempt);
      ++samples.loadedRoundsKept;
      return;
    }
    std::fprintf(stderr, "warning: load average %.2f during %s (limit %.2f); repeating it\n", load, what,
                 config.maxLoad);
    int repeated = samples.repeatedRounds + 1;
    double highest = samples.highestLoad;
    samples = before;
    samples.repeatedRounds = repeated;
    samples.highestLoad = highest;
  }
}

void MeasureInstallRounds(const Config& config, Samples& samples) {
  std::fprintf(stderr, "install round 0 of %d (warm-up)\n", config.runs);
  MeasureInstallRound(config, samples, false);  // warms the caches and Wine
  for (int round = 1; round <= config.runs; ++round) {
    std::string what = "install round " + std::to_string(round);
    std::fprintf(stderr, "%s of %d\n", what.c_str(), config.runs);
    RunUnderQuietLoad(config, samples, what.c_str(), [&] { MeasureInstallRound(config, samples, true); });
  }
}

// ---- Start-up ---------------------------------------------------------------------

void AddIfSeen(Series& series, double value) {
  if (value >= 0) series.Add(value);
}

void MeasureStartup(const Config& config, Samples& samples) {
  std::fprintf(stderr, "start-up rounds\n");
  std::string result = Fresh(config.Scratch() + "/startup.txt");
  ProcessRun run = RunProcess({config.wine, config.Bench() + "/startup_probe.exe", std::to_string(config.runs + 1),
                               WindowsPath(result), WindowsPath(config.build + "/TavikSetup.exe"),
                               WindowsPath(config.Bench() + "/empty.exe"),
                               WindowsPath(config.Bench() + "/empty_window.exe")},
                              config.Log(), kRunTimeoutSeconds * (config.runs + 1));
  Check(run.exitCode == 0, "startup_probe.exe failed");
  std::istringstream lines(ReadText(result));
  std::string kind;
  double window = 0, paint = 0, peak = 0;
  for (int line = 0; lines >> kind >> window >> paint >> peak; ++line) {
    if (line < 3) continue;  // the warm-up round
    if (kind == "empty") AddIfSeen(samples.startEmpty, window);
    if (kind == "empty_window") {
      AddIfSeen(samples.startWindowPaint, paint);
      AddIfSeen(samples.startWindowPeak, peak >= 0 ? peak / kMiB : -1);
    }
    if (kind == "setup") {
      AddIfSeen(samples.startSetupWindow, window);
      AddIfSeen(samples.startSetupPaint, paint);
      AddIfSeen(samples.startSetupPeak, peak >= 0 ? peak / kMiB : -1);
    }
  }
}

// Each stage's program and the empty program, run alternately to their
// exit; wall and CPU time in milliseconds.
void MeasureStartupStages(const Config& config, Samples& samples) {
  auto timed = [&](const std::string& program, Series& wall, Series& cpu, bool keep) {
    ProcessRun run = RunProcess({config.wine, config.Bench() + "/" + program}, config.Log(), kRunTimeoutSeconds);
    Check(run.started && !run.timedOut, program + " did not run to its end");
    if (!keep) return;
    wall.Add(run.seconds * 1000);
    cpu.Add(run.cpuSeconds * 1000);
  };
  for (int round = 0; round <= config.runs; ++round) {
    const bool keep = round > 0;  // the first round warms the caches
    timed("empty.exe", samples.stageEmptyExit, samples.stageEmptyCpu, keep);
    for (int stage = 0; stage < Samples::kStages; ++stage)
      timed("startup_stage" + std::to_string(stage) + ".exe", samples.stageExit[stage], samples.stageCpu[stage], keep);
  }
}

// ---- Packing ------------------------------------------------------------------------

void MeasurePack(const Config& config, const std::string& compressor, Samples::Pack& pack) {
  std::string output = Fresh(config.Scratch() + "/pack.txt");
  ProcessRun run = RunProcess({config.Host() + "/pack_compare", "--payload", config.payload, "--compressor",
                               compressor, "--threads", "2"},
                              output, 3600);
  double wall = 0, cpu = 0;
  std::istringstream(ReadText(output)) >> wall >> cpu >> pack.manifestPacked >> pack.allPacked;
  Check(run.exitCode == 0 && wall > 0, "pack_compare --compressor " + compressor + " failed");
  pack.wall.Add(wall);
  pack.cpu.Add(cpu);
}

void MeasurePacking(const Config& config, Samples& samples) {
  for (int round = 0; round < config.runs; ++round) {
    std::fprintf(stderr, "packing round %d of %d\n", round + 1, config.runs);
    MeasurePack(config, "zlib", samples.zlib);
    MeasurePack(config, "libdeflate", samples.libdeflate);
  }
  for (int round = 0; round < config.zopfliRuns; ++round) {
    std::fprintf(stderr, "zopfli packing run %d of %d\n", round + 1, config.zopfliRuns);
    MeasurePack(config, "zopfli", samples.zopfli);
  }
}

// ---- The table ------------------------------------------------------------------------

std::string Ratio(double numerator, double denominator) {
  return denominator > 0 ? Fixed(numerator / denominator, 2) + "x" : "n/a";
}

std::string Verdict(bool seen, bool met, const std::string& why) {
  if (!seen) return "not measured";
  return met ? "met" : "missed: " + why;
}

std::string Bytes(unsigned long long bytes) {
  std::string digits = std::to_string(bytes);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

std::string Percent(double value) { return Fixed(100.0 * value, 1) + "%"; }

void AddExtractionRows(const Samples& s, std::vector<ReportRow>& rows) {
  double rowsAlone = s.filesLoop.Median();
  double span = s.oursLoop.Median();
  rows.push_back({"Extraction, ours: RunInstall from progress 10 to 90 (64 stale deletions, 122 rows), in-process",
                  MedianText(s.oursLoop, 3, "s"), RangeText(s.oursLoop, 3), "", "", ""});
  rows.push_back({"Extraction, ours: of RunInstall, time in the progress bar's synchronous repaints (15 positions)",
                  MedianText(s.oursBar, 3, "s"), RangeText(s.oursBar, 3), "", "", ""});
  rows.push_back({"Extraction, ours: the 122 rows alone through ExtractPayload, one buffer (install_files.exe), in-process",
                  MedianText(s.filesLoop, 3, "s"), RangeText(s.filesLoop, 3), "", "", ""});
  rows.push_back({"Extraction, ours: whole RunInstall (adds configuration, shortcuts, registration), in-process",
                  MedianText(s.oursRunInstall, 3, "s"), RangeText(s.oursRunInstall, 3), "", "", ""});
  rows.push_back({"Extraction, ours: installed MB (10^6 bytes) per second, progress 10 to 90",
                  MedianText(s.oursThroughput, 1, "MB/s"), RangeText(s.oursThroughput, 1), "", "", ""});
  rows.push_back({"Floor: native Linux, inflate only (same streams, one buffer)", MedianText(s.nativeInflate, 3, "s"),
                  RangeText(s.nativeInflate, 3), "ours (rows) " + Ratio(rowsAlone, s.nativeInflate.Median()), "", ""});
  rows.push_back({"Floor: native Linux, inflate + one write per file", MedianText(s.nativeInflateWrite, 3, "s"),
                  RangeText(s.nativeInflateWrite, 3), "ours (rows) " + Ratio(rowsAlone, s.nativeInflateWrite.Median()),
                  "", ""});
  double ratio = rowsAlone / s.bareLoop.Median();
  rows.push_back({"Floor: bare Windows program under Wine (FindResource + uncompress + one fwrite per file), loop in-process",
                  MedianText(s.bareLoop, 3, "s"), RangeText(s.bareLoop, 3),
                  "ours: rows " + Ratio(rowsAlone, s.bareLoop.Median()) + ", RunInstall 10 to 90 " +
                      Ratio(span, s.bareLoop.Median()) + "; whole-process CPU, files only " +
                      Ratio(s.filesCpu.Median(), s.bareCpu.Median()),
                  "ours <= 1.00x", Verdict(!s.bareLoop.Empty(), ratio <= 1.00, "rows " + Fixed(ratio, 2) + "x")});
}

void AddWholeRows(const Samples& s, std::vector<ReportRow>& rows) {
  double wine = s.emptyWhole.Median();
  double ours = s.filesWhole.Median();
  double full = s.oursWhole.Median();
  rows.push_back({"Whole process: empty program under Wine (Wine's start-up)", MedianText(s.emptyWhole, 3, "s"),
                  RangeText(s.emptyWhole, 3), "CPU " + MedianText(s.emptyCpu, 3, "s"), "", ""});
  rows.push_back({"Whole process: ours, RunInstall without the wizard (files, configuration, shortcuts, registration)",
                  MedianText(s.oursWhole, 3, "s"), RangeText(s.oursWhole, 3), "CPU " + MedianText(s.oursCpu, 3, "s"), "",
                  ""});
  rows.push_back({"Whole process: ours, files only (install_files.exe: the 122 rows through ExtractPayload, as RunInstall)",
                  MedianText(s.filesWhole, 3, "s"), RangeText(s.filesWhole, 3), "CPU " + MedianText(s.filesCpu, 3, "s"),
                  "", ""});
  rows.push_back({"Whole process: bare Windows program", MedianText(s.bareWhole, 3, "s"), RangeText(s.bareWhole, 3),
                  "ours, files only " + Ratio(ours, s.bareWhole.Median()) + "; CPU " + MedianText(s.bareCpu, 3, "s") +
                      ", ours " + Ratio(s.filesCpu.Median(), s.bareCpu.Median()),
                  "", ""});
  struct Anchor {
    const char* name;
    const Series& series;
    const Series& cpu;
    double target;
  } anchors[] = {{"NSIS zlib (not solid), /S", s.nsisZlib, s.nsisZlibCpu, 2.0},
                 {"NSIS solid LZMA, /S", s.nsisLzma, s.nsisLzmaCpu, 5.0}};
  for (const Anchor& anchor : anchors) {
    double theirs = anchor.series.Median();
    double ratio = theirs / ours;
    rows.push_back({std::string("Whole process: ") + anchor.name, MedianText(anchor.series, 3, "s"),
                    RangeText(anchor.series, 3),
                    "ours (files only) faster " + Ratio(theirs, ours) + ", " + Ratio(theirs - wine, ours - wine) +
                        " without Wine's start-up; RunInstall " + Ratio(theirs, full) + "; CPU " +
                        MedianText(anchor.cpu, 3, "s") + ", ours (files only) " +
                        Ratio(anchor.cpu.Median(), s.filesCpu.Median()) + " less",
                    "ours >= " + Fixed(anchor.target, 1) + "x faster",
                    Verdict(!anchor.series.Empty(), ratio >= anchor.target, Fixed(ratio, 2) + "x")});
  }
}

void AddStartupRows(const Samples& s, std::vector<ReportRow>& rows) {
  double empty = s.startEmpty.Median();
  double over = s.startSetupPaint.Median() - s.startWindowPaint.Median();
  rows.push_back({"Start-up: empty program, start to exit", MedianText(s.startEmpty, 1, "ms"), RangeText(s.startEmpty, 1),
                  "", "", ""});
  rows.push_back({"Start-up: empty window program, start to first paint", MedianText(s.startWindowPaint, 1, "ms"),
                  RangeText(s.startWindowPaint, 1), "+" + Fixed(s.startWindowPaint.Median() - empty, 1) + " ms over empty",
                  "", ""});
  rows.push_back({"Start-up: TavikSetup.exe, start to wizard window visible", MedianText(s.startSetupWindow, 1, "ms"),
                  RangeText(s.startSetupWindow, 1), "", "", ""});
  rows.push_back({"Start-up: TavikSetup.exe, start to wizard's first paint (font inflated, four bitmaps made)",
                  MedianText(s.startSetupPaint, 1, "ms"), RangeText(s.startSetupPaint, 1),
                  "+" + Fixed(s.startSetupPaint.Median() - empty, 1) + " ms over empty, +" +
                      Fixed(over, 1) + " ms over empty window",
                  "<= +60 ms over empty window", Verdict(!s.startSetupPaint.Empty() && !s.startWindowPaint.Empty(),
                                                         over <= 60, "+" + Fixed(over, 1) + " ms")});
  // Where the time to the first paint goes: each stage's exit against the
  // stage before it (the empty program before stage 0); what is left after
  // stage 3 is the dialog's creation and first paint.
  static const char* const kStageNames[Samples::kStages] = {
      "process start to WinMain (loader, imports, run-time)", "restricted DLL search, preloaded DLLs",
      "system probe, sample font, glyph font inflated and drawn", "comctl32, progress bar class"};
  // The whole processes include the loader's own start (wine64), as the
  // empty program's does: only the differences are the stages' costs.
  const Series* before = &s.stageEmptyExit;
  const Series* beforeCpu = &s.stageEmptyCpu;
  rows.push_back({"Start-up stages: empty program, whole process", MedianText(s.stageEmptyExit, 1, "ms"),
                  RangeText(s.stageEmptyExit, 1), "CPU " + MedianText(s.stageEmptyCpu, 1, "ms"), "", ""});
  for (int stage = 0; stage < Samples::kStages; ++stage) {
    rows.push_back({"Start-up stage " + std::to_string(stage) + ": " + kStageNames[stage] + ", whole process",
                    MedianText(s.stageExit[stage], 1, "ms"), RangeText(s.stageExit[stage], 1),
                    "+" + Fixed(s.stageExit[stage].Median() - before->Median(), 1) + " ms wall, +" +
                        Fixed(s.stageCpu[stage].Median() - beforeCpu->Median(), 1) + " ms CPU over the step before",
                    "", ""});
    before = &s.stageExit[stage];
    beforeCpu = &s.stageCpu[stage];
  }
}

struct PeFacts {
  bool read = false;
  bool wide = false;    // PE32+ (64-bit)
  bool signed_ = false; // a certificate table in the security directory
};

// The PE header's optional-header magic and its security directory.
PeFacts ReadPeFacts(const std::string& path) {
  PeFacts facts;
  std::string data = ReadText(path);
  auto le = [&](std::size_t at, int bytes) -> unsigned long {
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
    return value;
  };
  if (data.size() < 0x40 || data.compare(0, 2, "MZ") != 0) return facts;
  std::size_t pe = le(0x3C, 4);
  if (pe + 24 + 112 + 5 * 8 > data.size() || data.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return facts;
  unsigned long magic = le(pe + 24, 2);
  if (magic != 0x10B && magic != 0x20B) return facts;
  facts.wide = magic == 0x20B;
  std::size_t directories = pe + 24 + (facts.wide ? 112 : 96);
  facts.signed_ = le(directories + 4 * 8 + 4, 4) != 0;  // index 4: the certificate table
  facts.read = true;
  return facts;
}

void AddReleaseRows(const Config& config, std::vector<ReportRow>& rows) {
  PeFacts facts = ReadPeFacts(config.build + "/TavikSetup.exe");
  rows.push_back({std::string("Release: TavikSetup.exe is ") + (facts.wide ? "PE32+ (64-bit)" : "PE32 (32-bit)") +
                      ", " + (facts.signed_ ? "Authenticode-signed" : "unsigned"),
                  "", "", "", "signed when a certificate is given",
                  !facts.read ? "not measured" : facts.signed_ ? "met" : "not applicable: built without -DTAVIK_SIGN_CERT"});
  rows.push_back({"Release: two clean builds give the same exe", "", "", "checked by make test (reproducible_build)",
                  "bit-for-bit identical", "see the test run"});
}

// Sizes include the speech package: the setup program carries it and the
// NSIS installers reserve it, so both hold the same payload.
void AddSizeRows(const Config& config, const Samples& s, std::vector<ReportRow>& rows) {
  unsigned long long ours = FileSize(config.build + "/TavikSetup.exe");
  unsigned long long zlib = FileSize(config.Bench() + "/nsis/nsis_zlib.exe");
  unsigned long long lzma = FileSize(config.Bench() + "/nsis/nsis_lzma.exe");
  auto versus = [](unsigned long long a, unsigned long long b) {
    return Percent(static_cast<double>(a) / static_cast<double>(b) - 1);
  };
  // At most 0.94 of the NSIS zlib installer.
  auto verdict = [&](unsigned long long size) {
    double ratio = zlib > 0 ? static_cast<double>(size) / static_cast<double>(zlib) : 0;
    return Verdict(zlib > 0, ratio <= 0.94, Fixed(ratio, 3) + "x");
  };
  bool builtWithZlib = ReadText(config.build + "/payload/product/summary.txt").find("zlib level 9") != std::string::npos;
  rows.push_back({std::string("Size: TavikSetup.exe as built (") + (builtWithZlib ? "zlib level 9" : "libdeflate level 12") +
                      " streams)",
                  Bytes(ours) + " B", "", versus(ours, zlib) + " vs NSIS zlib", "<= 0.94x NSIS zlib, by default", verdict(ours)});
  if (builtWithZlib && s.libdeflate.allPacked > 0) {
    unsigned long long estimate = ours - s.zlib.allPacked + s.libdeflate.allPacked;
    rows.push_back({"Size: TavikSetup.exe with libdeflate streams (estimate: as built - zlib streams + libdeflate streams)",
                    Bytes(estimate) + " B", "", versus(estimate, zlib) + " vs NSIS zlib", "<= 0.94x NSIS zlib",
                    verdict(estimate)});
  }
  rows.push_back({"Size: NSIS zlib installer (122 files + speech package reserved)", Bytes(zlib) + " B", "", "", "", ""});
  rows.push_back({"Size: NSIS solid LZMA installer (same content)", Bytes(lzma) + " B", "",
                  "ours " + versus(ours, lzma) + " vs this", "", ""});
}

void AddPackRows(const Samples& s, std::vector<ReportRow>& rows) {
  double zlibPacked = static_cast<double>(s.zlib.manifestPacked);
  double zlibCpu = s.zlib.cpu.Median();
  rows.push_back({"Packing (2 threads): zlib level 9, the packer's default: manifest streams " +
                      Bytes(s.zlib.manifestPacked) + " B, all " + Bytes(s.zlib.allPacked) + " B",
                  MedianText(s.zlib.wall, 1, "s"), RangeText(s.zlib.wall, 1), "CPU " + MedianText(s.zlib.cpu, 1, "s"), "",
                  ""});
  struct Alternative {
    const char* name;
    const Samples::Pack& pack;
  } alternatives[] = {{"libdeflate level 12", s.libdeflate}, {"zopfli, 15 iterations", s.zopfli}};
  for (const Alternative& alternative : alternatives) {
    if (alternative.pack.wall.Empty()) continue;
    double saved = 1 - static_cast<double>(alternative.pack.manifestPacked) / zlibPacked;
    double extra = alternative.pack.cpu.Median() - zlibCpu;
    bool met = saved >= 0.03 && alternative.pack.wall.Median() - s.zlib.wall.Median() < 120;
    rows.push_back({std::string("Packing (2 threads): ") + alternative.name + ": manifest streams " +
                        Bytes(alternative.pack.manifestPacked) + " B, all " + Bytes(alternative.pack.allPacked) + " B",
                    MedianText(alternative.pack.wall, 1, "s"), RangeText(alternative.pack.wall, 1),
                    Percent(saved) + " smaller than zlib 9; " + (extra >= 0 ? "+" : "") + Fixed(extra, 1) +
                        " s CPU; " + std::to_string(alternative.pack.wall.values.size()) + " run(s)",
                    ">= 3% smaller, < 2 min extra",
                    Verdict(true, met, Percent(saved) + " smaller, " +
                                           Fixed(alternative.pack.wall.Median() - s.zlib.wall.Median(), 0) + " s more")});
  }
}

void AddMemoryRows(const Samples& s, std::vector<ReportRow>& rows) {
  double peak = s.wizardPeak.Median();
  rows.push_back({"Memory: TavikSetup.exe driven through its wizard to a complete install, peak working set",
                  MedianText(s.wizardPeak, 1, "MiB"), RangeText(s.wizardPeak, 1), Fixed(peak * kMiB / 1e6, 1) + " MB",
                  "<= 60 MB", Verdict(!s.wizardPeak.Empty(), peak * kMiB <= 60e6, Fixed(peak * kMiB / 1e6, 1) + " MB")});
  rows.push_back({"Memory: TavikSetup.exe, peak working set up to the wizard's first paint",
                  MedianText(s.startSetupPeak, 1, "MiB"), RangeText(s.startSetupPeak, 1),
                  "empty window program: " + MedianText(s.startWindowPeak, 1, "MiB"), "", ""});
  rows.push_back({"Memory: install_run.exe (progress window + RunInstall), peak working set in-process",
                  MedianText(s.oursPeak, 1, "MiB"), RangeText(s.oursPeak, 1),
                  "+" + MedianText(s.oursGrowth, 1, "MiB") + " during RunInstall", "", ""});
  struct Reference {
    const char* name;
    const Series& series;
  } references[] = {{"ours, RunInstall without window", s.oursRss},
                    {"ours, files only", s.filesRss},
                    {"bare Windows program", s.bareRss},
                    {"NSIS zlib", s.nsisZlibRss},
                    {"NSIS solid LZMA", s.nsisLzmaRss},
                    {"empty program", s.emptyRss}};
  for (const Reference& reference : references) {
    ReportRow row{std::string("Memory: peak resident set of the whole process, ") + reference.name,
                  MedianText(reference.series, 1, "MiB"), RangeText(reference.series, 1), "", "", ""};
    if (&reference.series == &s.filesRss) {
      double ratio = s.filesRss.Median() / s.nsisZlibRss.Median();
      row.compared = Ratio(s.filesRss.Median(), s.nsisZlibRss.Median()) + " NSIS zlib";
      row.target = "<= 1.5x NSIS zlib";
      row.verdict = Verdict(!s.filesRss.Empty() && !s.nsisZlibRss.Empty(), ratio <= 1.5, Fixed(ratio, 2) + "x");
    }
    rows.push_back(row);
  }
}

Config ParseConfig(int argc, char** argv) {
  Config config;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail("missing value after " + arg);
      return argv[++i];
    };
    if (arg == "--build") config.build = value();
    else if (arg == "--payload") config.payload = value();
    else if (arg == "--runs") config.runs = std::atoi(value().c_str());
    else if (arg == "--zopfli-runs") config.zopfliRuns = std::atoi(value().c_str());
    else if (arg == "--no-pack") config.pack = false;
    else if (arg == "--wine") config.wine = value();
    else if (arg == "--max-load") config.maxLoad = std::atof(value().c_str());
    else if (arg == "--repeats") config.repeats = std::atoi(value().c_str());
    else if (arg == "--title") config.title = value();
    else Fail("unknown option " + arg);
  }
  if (config.build.empty() || config.payload.empty() || config.runs < 1 || config.zopfliRuns < 0 || config.repeats < 0 ||
      config.maxLoad <= 0)
    Fail("usage: bench_suite --build DIR --payload DIR [--runs N] [--zopfli-runs N] [--no-pack] [--wine LOADER]");
  return config;
}

}  // namespace

int main(int argc, char** argv) {
  Config config = ParseConfig(argc, argv);
  Samples samples;
  for (const ManifestRow& row : kManifest) samples.manifestBytes += FileSize(config.payload + "/" + row.fileName);
  Check(MakeFreshFolder(config.Scratch()), "cannot make " + config.Scratch());

  MeasureInstallRounds(config, samples);
  RunUnderQuietLoad(config, samples, "the start-up rounds", [&] { MeasureStartup(config, samples); });
  RunUnderQuietLoad(config, samples, "the start-up stages", [&] { MeasureStartupStages(config, samples); });
  if (config.pack) MeasurePacking(config, samples);

  std::vector<ReportRow> rows;
  AddExtractionRows(samples, rows);
  AddWholeRows(samples, rows);
  AddStartupRows(samples, rows);
  AddSizeRows(config, samples, rows);
  AddReleaseRows(config, rows);
  if (config.pack) AddPackRows(samples, rows);
  AddMemoryRows(samples, rows);
  if (!config.title.empty()) std::printf("%s\n\n", config.title.c_str());
  std::printf("Runs: %d counted per measure after one warm-up round; payload %s bytes in %zu files.\n",
              config.runs, Bytes(samples.manifestBytes).c_str(), kManifestRowCount);
  std::printf("Load: highest 1-minute average seen %.2f (limit %.2f); %d round(s) repeated for load, %d kept "
              "although loaded. CPU times are the process's own (user + system), without the wineserver's.\n\n",
              samples.highestLoad, config.maxLoad, samples.repeatedRounds, samples.loadedRoundsKept);
  std::fputs(RenderTable(rows).c_str(), stdout);
  RemoveTree(config.Scratch());
  return 0;
}
