// The program with its start-up made to fail from outside, for the tests of the paths
// that end the process: "controls" refuses the edit boxes, "memory" exhausts memory
// once the window is up.
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "shell/main_window.h"
#include "shell/start_program.h"

namespace {

HHOOK hook = nullptr;

LRESULT CALLBACK RefuseEditBoxes(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    char className[16] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK ExhaustMemoryWhenShown(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && reinterpret_cast<HWND>(wParam) == MainWindow()) {
    UnhookWindowsHookEx(hook);
    static volatile std::size_t impossible = SIZE_MAX / 2;
    [[maybe_unused]] static void* volatile block = nullptr;
    block = ::operator new(impossible);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const HOOKPROC failure =
      std::strcmp(commandLine, "memory") == 0 ? ExhaustMemoryWhenShown : RefuseEditBoxes;
  hook = SetWindowsHookExA(WH_CBT, failure, nullptr, GetCurrentThreadId());
  return StartProgram();
}
