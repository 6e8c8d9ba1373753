// Helpers for tests that drive the real MainWindow inside the test process.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "shell/main_window.h"

// Creates MainWindow as the program does, and makes sure it is gone afterwards.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Box(ControlId id) const { return GetDlgItem(window_, id); }
  std::string Text(ControlId id) const;

  HWND window_ = nullptr;
};

std::string WindowText(HWND window);

// Sends WM_DEVICECHANGE with a DEV_BROADCAST_VOLUME as the system fills it.
LRESULT SendVolumeBroadcast(HWND window, WPARAM event, std::uint32_t unitMask,
                            std::uint16_t flags = 0, std::uint32_t deviceType = 2);

// `length` bytes that end exactly where an inaccessible page begins, so a read past
// them faults. Lives until the next call.
unsigned char* BytesBeforeGuardPage(std::size_t length);

// Removes every message still queued for this thread, a quit request included.
void DrainThreadQueue();
