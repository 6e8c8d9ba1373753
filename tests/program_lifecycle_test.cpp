// The real program, started as a process: every way of closing it ends it with exit
// code 0, and every unrecoverable failure shows the "错误" box and ends it with -1.
#include <windows.h>

#include <gtest/gtest.h>

#include "program_test_support.h"

namespace {

// "错误" in code page 936, the same bytes the program sends.
constexpr char FailureTitle[] = "\xB4\xED\xCE\xF3";

class RunningProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    process_ = StartBesideTests("valdrune.exe");
    ASSERT_NE(process_.hProcess, nullptr);
    window_ = WaitForWindow(process_.dwProcessId, "Valdrune", "Valdrune");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { EndProcess(process_); }

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

}  // namespace

TEST_F(RunningProgram, EndsWithExitCodeZeroOnWmClose) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExitCode(process_), 0u);
}

TEST_F(RunningProgram, EndsWithExitCodeZeroOnCloseFromTheSystemMenu) {
  PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitForExitCode(process_), 0u);
}

TEST_F(RunningProgram, EndsWithExitCodeZeroOnAltF4) {
  ASSERT_TRUE(PressKeys(window_, {VK_MENU, VK_F4}));
  EXPECT_EQ(WaitForExitCode(process_), 0u);
}

TEST(FailingProgram, ShowsTheErrorBoxAndEndsWithMinusOne) {
  for (const char* failure : {"controls", "memory"}) {
    PROCESS_INFORMATION process = StartBesideTests("valdrune_failing_start.exe", failure);
    ASSERT_NE(process.hProcess, nullptr) << failure;
    const HWND box = WaitForWindow(process.dwProcessId, "#32770", FailureTitle);
    ASSERT_NE(box, nullptr) << failure;
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << failure;
    EXPECT_FALSE(RemoteWindowText(GetDlgItem(box, 0xFFFF)).empty()) << failure;
    EXPECT_EQ(WaitForExitCode(process, 300), static_cast<DWORD>(STILL_ACTIVE))
        << failure << ": the process waits for the user";
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForExitCode(process), 0xFFFFFFFFu) << failure;
    EndProcess(process);
  }
}
