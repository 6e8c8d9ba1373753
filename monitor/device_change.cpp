#include "monitor/device_change.h"

#include <dbt.h>

#include <algorithm>

#include "monitor/drive_root_listing.h"
#include "monitor/volume_broadcast.h"
#include "shell/main_window.h"

static_assert(DeviceChangeMessage == WM_DEVICECHANGE);
static_assert(DeviceArrivalEvent == DBT_DEVICEARRIVAL);
static_assert(DeviceRemoveCompleteEvent == DBT_DEVICEREMOVECOMPLETE);
static_assert(VolumeDeviceType == DBT_DEVTYP_VOLUME);

WNDPROC PreviousWindowProc = nullptr;

namespace {

// How many of the `wanted` bytes at `address` this process can read. Any top-level
// window receives this broadcast, from any sender, so its record may end anywhere.
std::size_t ReadableBytesAt(const void* address, std::size_t wanted) {
  constexpr DWORD readableProtections = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                        PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                        PAGE_EXECUTE_WRITECOPY;
  const auto* start = static_cast<const BYTE*>(address);
  std::size_t readable = 0;
  while (start != nullptr && readable < wanted) {
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(start + readable, &region, sizeof region) == 0 || region.State != MEM_COMMIT ||
        (region.Protect & readableProtections) == 0 || (region.Protect & PAGE_GUARD) != 0) {
      break;
    }
    readable = static_cast<std::size_t>(static_cast<const BYTE*>(region.BaseAddress) +
                                        region.RegionSize - start);
  }
  return std::min(readable, wanted);
}

}  // namespace

LRESULT CALLBACK DeviceChangeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* record = reinterpret_cast<const void*>(lParam);
  const std::size_t readable =
      message == WM_DEVICECHANGE ? ReadableBytesAt(record, VolumeBroadcastRecordLength) : 0;
  const VolumeReport report = ReadVolumeReport(message, wParam, record, readable);
  if (report.change != VolumeChange::None) {
    AppendText(GetDlgItem(window, 编辑框1), {ReportLine(report).c_str()});
    // After the line, so the report is in place before the listing touches the lower box.
    if (report.change == VolumeChange::Arrival) ListDriveRoot(report.letter.c_str());
  }
  return CallWindowProcA(PreviousWindowProc, window, message, wParam, lParam);
}

void OnMainWindowCreated() {
  PreviousWindowProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      MainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DeviceChangeWindowProc)));
}

void OnMainWindowDestroying() {
  SetWindowLongPtrA(MainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviousWindowProc));
}
