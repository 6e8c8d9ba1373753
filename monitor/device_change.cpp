#include "monitor/device_change.h"

#include <dbt.h>

#include "monitor/drive_root_listing.h"
#include "monitor/volume_broadcast.h"
#include "shell/main_window.h"

static_assert(DeviceChangeMessage == WM_DEVICECHANGE);
static_assert(DeviceArrivalEvent == DBT_DEVICEARRIVAL);
static_assert(DeviceRemoveCompleteEvent == DBT_DEVICEREMOVECOMPLETE);
static_assert(VolumeDeviceType == DBT_DEVTYP_VOLUME);

WNDPROC PreviousWindowProc = nullptr;

LRESULT CALLBACK DeviceChangeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const VolumeReport report =
      ReadVolumeReport(message, wParam, reinterpret_cast<const void*>(lParam));
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
