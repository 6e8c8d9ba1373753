#include "window_test_support.h"

#include <dbt.h>

#include <vector>

void MainWindowTest::SetUp() {
  ASSERT_EQ(MainWindow(), nullptr) << "a previous test left its window behind";
  LoadStartWindow();
  window_ = MainWindow();
  ASSERT_NE(window_, nullptr);
}

void MainWindowTest::TearDown() {
  if (IsWindow(window_)) DestroyWindow(window_);
  DrainThreadQueue();
}

std::string MainWindowTest::Text(ControlId id) const {
  return WindowText(Box(id));
}

std::string WindowText(HWND window) {
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1);
  const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), static_cast<std::size_t>(length));
}

LRESULT SendVolumeBroadcast(HWND window, WPARAM event, std::uint32_t unitMask, std::uint16_t flags,
                            std::uint32_t deviceType) {
  DEV_BROADCAST_VOLUME record = {};
  record.dbcv_size = sizeof record;
  record.dbcv_devicetype = deviceType;
  record.dbcv_unitmask = unitMask;
  record.dbcv_flags = flags;
  return SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

unsigned char* BytesBeforeGuardPage(std::size_t length) {
  static unsigned char* pages = nullptr;
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  if (pages == nullptr) {
    pages = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD previous;
    VirtualProtect(pages + page, page, PAGE_NOACCESS, &previous);
  }
  ZeroMemory(pages, page);
  return pages + page - length;
}

void DrainThreadQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}
