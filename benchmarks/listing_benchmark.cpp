// Times the listing of large drive roots on the real window, against the two costs it
// cannot avoid: enumerating the root, and the edit control taking the text once.
// Prints one row per root size; run it with scripts/benchmark.sh.
#include <windows.h>
#include <dbt.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/drive_root_listing.h"
#include "shell/main_window.h"

namespace {

constexpr int Runs = 5;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double MedianSeconds(Work work) {
  std::vector<double> times;
  for (int run = 0; run < Runs; ++run) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    times.push_back(Seconds(start, end));
  }
  std::sort(times.begin(), times.end());
  return times[Runs / 2];
}

// Names that are not folders at the root the pattern names.
int CountFiles(const char* pattern) {
  int files = 0;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return files;
}

void Enumerate(const char* pattern) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  while (FindNextFileA(search, &entry)) {
  }
  FindClose(search);
}

}  // namespace

// The roots are made by scripts/benchmark.sh on the host: Wine creates files in a
// large folder in quadratic time, as it looks for a name that differs only in case.
int main() {
  LoadStartWindow();
  const HWND box = GetDlgItem(MainWindow(), 编辑框2);

  std::printf("%8s %12s %14s %12s %8s %10s %16s\n", "files", "listing s", "enumeration s",
              "replace s", "ratio", "us/name", "peak working set");
  const struct {
    const char* letter;
    int files;
  } roots[] = {{"N", 1000}, {"O", 10000}, {"P", 100000}};
  for (const auto& root : roots) {
    const std::string pattern = std::string(root.letter) + ":\\*.*";
    if (CountFiles(pattern.c_str()) != root.files) {
      std::fprintf(stderr, "%s: does not hold %d files; run scripts/benchmark.sh\n", root.letter,
                   root.files);
      return 1;
    }
    const double listing = MedianSeconds([&] { ListDriveRoot(root.letter); });
    const int length = GetWindowTextLengthA(box);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(box, text.data(), length + 1);
    const double enumeration = MedianSeconds([&] { Enumerate(pattern.c_str()); });
    const double replace = MedianSeconds([&] {
      SetWindowTextA(box, "");
      SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    });
    PROCESS_MEMORY_COUNTERS memory = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("%8d %12.4f %14.4f %12.4f %8.2f %10.2f %13.1f MiB\n", root.files, listing,
                enumeration, replace, listing / (enumeration + replace), 1e6 * listing / root.files,
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    std::fflush(stdout);
  }
  DestroyWindow(MainWindow());
  return 0;
}
