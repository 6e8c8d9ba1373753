// The window's keys, typed as real input into the running program.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "program_test_support.h"
#include "shell/main_window.h"

namespace {

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (!condition()) {
    if (GetTickCount64() > deadline) return false;
    Sleep(10);
  }
  return true;
}

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override { StartValdrune(); }
  void StartValdrune() {
    process_ = StartBesideTests("valdrune.exe");
    ASSERT_NE(process_.hProcess, nullptr);
    window_ = WaitForWindow(process_.dwProcessId, "Valdrune", "Valdrune");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { EndProcess(process_); }

  // The control of the program that has the keyboard focus, by its identifier; 0 for
  // the window itself or none.
  int FocusedControl() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info) || info.hwndFocus == nullptr) return 0;
    return info.hwndFocus == window_ ? 0 : GetDlgCtrlID(info.hwndFocus);
  }
  bool FocusBecomes(int control) {
    return WaitUntil([&] { return FocusedControl() == control; });
  }
  std::string BoxText(int control) const { return RemoteWindowText(GetDlgItem(window_, control)); }
  bool Press(std::initializer_list<WORD> keys) { return PressKeys(window_, keys); }

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

}  // namespace

TEST_F(Keyboard, StartsOnTheDriveListAndTabsThroughTheBoxesInBothDirections) {
  ASSERT_TRUE(FocusBecomes(驱动器)) << "no caret in either box at start-up";
  for (const int next : {编辑框1, 编辑框2, 驱动器, 编辑框1}) {
    ASSERT_TRUE(Press({VK_TAB}));
    EXPECT_TRUE(FocusBecomes(next)) << "Tab to " << next << ", focus on " << FocusedControl();
  }
  for (const int previous : {驱动器, 编辑框2, 编辑框1, 驱动器}) {
    ASSERT_TRUE(Press({VK_SHIFT, VK_TAB}));
    EXPECT_TRUE(FocusBecomes(previous))
        << "Shift+Tab to " << previous << ", focus on " << FocusedControl();
  }
  EXPECT_EQ(BoxText(编辑框1), "") << "no tab character typed";
  EXPECT_EQ(BoxText(编辑框2), "");
}

TEST_F(Keyboard, EnterStartsANewLineInABoxAndTabInsertsNothing) {
  ASSERT_TRUE(FocusBecomes(驱动器));
  ASSERT_TRUE(Press({VK_TAB}));
  ASSERT_TRUE(FocusBecomes(编辑框1));
  for (const WORD key : {WORD{'A'}, WORD{VK_RETURN}, WORD{'B'}}) ASSERT_TRUE(Press({key}));
  EXPECT_TRUE(WaitUntil([&] { return BoxText(编辑框1) == "a\r\nb"; })) << BoxText(编辑框1);
  ASSERT_TRUE(Press({VK_TAB}));
  ASSERT_TRUE(FocusBecomes(编辑框2));
  ASSERT_TRUE(Press({'C'}));
  ASSERT_TRUE(Press({VK_TAB}));
  ASSERT_TRUE(FocusBecomes(驱动器));
  EXPECT_EQ(BoxText(编辑框1), "a\r\nb");
  EXPECT_EQ(BoxText(编辑框2), "c");
}

TEST_F(Keyboard, GivesTheFocusBackToTheLastControlWhenActivatedAgain) {
  ASSERT_TRUE(FocusBecomes(驱动器));
  ASSERT_TRUE(Press({VK_TAB}));
  ASSERT_TRUE(Press({VK_TAB}));
  ASSERT_TRUE(FocusBecomes(编辑框2));

  // Another program takes the foreground, then the user comes back.
  const HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                     100, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(other, SW_SHOW);
  EXPECT_TRUE(WaitUntil([&] {
    SetForegroundWindow(other);
    return GetForegroundWindow() == other;
  }));
  EXPECT_TRUE(WaitUntil([&] {
    SetForegroundWindow(window_);
    return GetForegroundWindow() == window_;
  }));
  EXPECT_TRUE(FocusBecomes(编辑框2)) << "focus on " << FocusedControl();
  DestroyWindow(other);
}

TEST_F(Keyboard, EscClosesFromEveryControl) {
  const struct {
    int tabs;
    int focused;
  } cases[] = {{0, 驱动器}, {1, 编辑框1}, {2, 编辑框2}};
  for (const auto& c : cases) {
    if (process_.hProcess == nullptr) StartValdrune();
    ASSERT_TRUE(FocusBecomes(驱动器));
    for (int tab = 0; tab < c.tabs; ++tab) ASSERT_TRUE(Press({VK_TAB}));
    ASSERT_TRUE(FocusBecomes(c.focused));
    ASSERT_TRUE(Press({VK_ESCAPE}));
    EXPECT_EQ(WaitForExitCode(process_), 0u) << "focus on " << c.focused;
    EndProcess(process_);
  }
}

TEST_F(Keyboard, EscWithAModifierDoesNotClose) {
  for (const WORD modifier : {WORD{VK_SHIFT}, WORD{VK_CONTROL}, WORD{VK_MENU}}) {
    ASSERT_TRUE(Press({modifier, VK_ESCAPE}));
    EXPECT_EQ(WaitForExitCode(process_, 500), static_cast<DWORD>(STILL_ACTIVE)) << modifier;
    EXPECT_TRUE(IsWindow(window_)) << modifier;
  }
}
