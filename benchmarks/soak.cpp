// Runs valdrune.exe through 10,000 arrival and removal pairs of a small drive and
// prints, every 1,000 pairs, what the program holds: USER and GDI objects, handles and
// private bytes. They must stay flat after the first thousand, and the upper box must
// end up with exactly 20,000 lines. Run it with scripts/soak.sh.
#include <windows.h>
#include <dbt.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "shell/main_window.h"
#include "tests/program_test_support.h"

namespace {

constexpr int Pairs = 10000;
constexpr int ReportEvery = 1000;
constexpr DWORD Drive = 1u << ('M' - 'A');  // the session's small fixture drive

struct Holdings {
  DWORD userObjects, gdiObjects, handles;
  double privateMiB, committedMiB, workingSetMiB;
};

// Wine reports no private bytes; the committed private regions say the same thing.
double CommittedPrivateMiB(HANDLE process) {
  double bytes = 0;
  MEMORY_BASIC_INFORMATION region;
  for (auto* at = static_cast<BYTE*>(nullptr);
       VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
       at = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
      bytes += static_cast<double>(region.RegionSize);
    }
  }
  return bytes / (1024.0 * 1024.0);
}

Holdings HoldingsOf(HANDLE process) {
  Holdings holdings = {};
  holdings.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  holdings.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  GetProcessHandleCount(process, &holdings.handles);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  holdings.privateMiB = static_cast<double>(memory.PrivateUsage) / (1024.0 * 1024.0);
  holdings.workingSetMiB = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  holdings.committedMiB = CommittedPrivateMiB(process);
  return holdings;
}

void Send(HWND window, WPARAM event) {
  DEV_BROADCAST_VOLUME record = {sizeof record, DBT_DEVTYP_VOLUME, 0, Drive, DBTF_MEDIA};
  SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

}  // namespace

int main() {
  PROCESS_INFORMATION process = StartBesideTests("valdrune.exe");
  const HWND window = WaitForWindow(process.dwProcessId, "Valdrune", "Valdrune");
  if (window == nullptr) {
    std::fprintf(stderr, "valdrune.exe did not show its window\n");
    EndProcess(process);
    return 1;
  }
  // Wine 8 answers 0 for the object counts, the handle count and the private bytes of
  // any process; on Windows they are real. The two memory columns after them are real
  // under both.
  std::printf("%8s %12s %12s %9s %12s %14s %14s %9s\n", "pairs", "USER objects", "GDI objects",
              "handles", "private MiB", "committed MiB", "working set MiB", "seconds");
  const ULONGLONG start = GetTickCount64();
  Holdings first = {};
  Holdings last = {};
  for (int pair = 1; pair <= Pairs; ++pair) {
    Send(window, DBT_DEVICEARRIVAL);
    Send(window, DBT_DEVICEREMOVECOMPLETE);
    if (pair % ReportEvery != 0) continue;
    last = HoldingsOf(process.hProcess);
    if (pair == ReportEvery) first = last;
    std::printf("%8d %12lu %12lu %9lu %12.1f %14.1f %15.1f %9.1f\n", pair, last.userObjects,
                last.gdiObjects, last.handles, last.privateMiB, last.committedMiB,
                last.workingSetMiB, static_cast<double>(GetTickCount64() - start) / 1000.0);
    std::fflush(stdout);
  }

  const std::string upper = RemoteWindowText(GetDlgItem(window, 编辑框1));
  const auto lines = std::count(upper.begin(), upper.end(), '\n');
  const bool counted = last.userObjects != 0 || last.gdiObjects != 0 || last.handles != 0;
  const bool flat = last.userObjects <= first.userObjects && last.gdiObjects <= first.gdiObjects &&
                    last.handles <= first.handles;
  std::printf("lines in the upper box: %lld (want %d)\n", static_cast<long long>(lines), 2 * Pairs);
  std::printf("objects and handles flat after the first %d pairs: %s\n", ReportEvery,
              !counted ? "not counted by this system"
              : flat   ? "yes"
                       : "no");
  std::printf(
      "committed private memory from pair %d to %d: %+.1f MiB, while the upper box "
      "grew to %.1f MiB of text\n",
      ReportEvery, Pairs, last.committedMiB - first.committedMiB,
      static_cast<double>(upper.size()) / (1024.0 * 1024.0));
  PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD exitCode = WaitForExitCode(process);
  EndProcess(process);
  std::printf("exit code %lu\n", exitCode);
  return lines == 2 * Pairs && flat && exitCode == 0 ? 0 : 1;
}
