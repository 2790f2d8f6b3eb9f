// Times loading a folder of music files two ways, in one run, on a warm page
// cache:
//   floor   for each file: open, read the first 4 KiB and the last 128 bytes,
//           close; the least any reader of tags and stream values must do
//   report  velloran-report --json over the folder, output to /dev/null
// Each is run several times, alternating, after one warming round; the
// program prints every time, the medians, the spread and the ratio of the
// medians, and the peak resident size of the velloran-report runs. Besides
// the wall-clock times it gives the processor times (user and system) of
// both, which a busy machine disturbs far less.
//
//   velloran-load-bench FOLDER VELLORAN_REPORT [RUNS] [-- EXTRA ARGUMENTS]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The floor: what any reader of the first and last bytes must do per file.
// Gives the number of bytes read, so the work cannot be left out.
size_t ReadFloor(const std::vector<std::string>& files) {
  static char head[4096];
  static char tail[128];
  size_t total = 0;
  for (const auto& file : files) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
      ssize_t n = ::pread(fd, head, sizeof head, 0);
      if (n > 0) total += static_cast<size_t>(n);
      if (st.st_size >= static_cast<off_t>(sizeof tail)) {
        n = ::pread(fd, tail, sizeof tail, st.st_size - static_cast<off_t>(sizeof tail));
        if (n > 0) total += static_cast<size_t>(n);
      }
    }
    ::close(fd);
  }
  return total;
}

struct ChildRun {
  double Seconds = 0;
  double CpuSeconds = 0;
  long PeakKB = 0;
  bool Ok = false;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double ProcessCpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

ChildRun RunReport(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ChildRun run;
  auto start = Clock::now();
  pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return run;
  run.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.CpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.PeakKB = usage.ru_maxrss;
  run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void PrintRow(const char* name, const std::vector<double>& times) {
  std::printf("%-8s median %.3f s   min %.3f  max %.3f  (spread %.1f %%)   runs:", name, Median(times),
              *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
              100.0 * (*std::max_element(times.begin(), times.end()) - *std::min_element(times.begin(), times.end())) /
                  Median(times));
  for (double t : times) std::printf(" %.3f", t);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FOLDER VELLORAN_REPORT [RUNS] [-- EXTRA ARGUMENTS]\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  int runs = 5;
  int next = 3;
  if (argc > 3 && std::string(argv[3]) != "--") {
    runs = std::max(1, std::atoi(argv[3]));
    next = 4;
  }
  std::vector<std::string> report = {argv[2], "--json"};
  if (next < argc && std::string(argv[next]) == "--")
    for (int i = next + 1; i < argc; ++i) report.push_back(argv[i]);
  report.push_back(folder);

  const auto files = FilesBelow(folder);
  std::printf("%zu files in %s\n", files.size(), folder.c_str());

  // One warming round of each brings the corpus into the page cache.
  size_t bytes = ReadFloor(files);
  if (!RunReport(report).Ok) {
    std::fprintf(stderr, "velloran-report failed\n");
    return 1;
  }

  std::vector<double> floor_times, report_times, floor_cpu, report_cpu;
  long peak_kb = 0;
  for (int r = 0; r < runs; ++r) {
    auto start = Clock::now();
    double cpu_start = ProcessCpuSeconds();
    bytes += ReadFloor(files);
    floor_cpu.push_back(ProcessCpuSeconds() - cpu_start);
    floor_times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    ChildRun run = RunReport(report);
    if (!run.Ok) {
      std::fprintf(stderr, "velloran-report failed\n");
      return 1;
    }
    report_times.push_back(run.Seconds);
    report_cpu.push_back(run.CpuSeconds);
    peak_kb = std::max(peak_kb, run.PeakKB);
  }

  PrintRow("floor", floor_times);
  PrintRow("report", report_times);
  std::printf("ratio    %.2f (report median / floor median)\n", Median(report_times) / Median(floor_times));
  std::printf("processor time (user + system):\n");
  PrintRow("floor", floor_cpu);
  PrintRow("report", report_cpu);
  std::printf("ratio    %.2f\n", Median(report_cpu) / Median(floor_cpu));
  std::printf("peak resident size of velloran-report: %ld KB\n", peak_kb);
  std::printf("(%zu bytes read by the floor rounds)\n", bytes);
  return 0;
}
