#include "shell/start_program.h"

#include <windows.h>

#include <new>

#include "shell/keyboard.h"
#include "shell/main_window.h"

namespace {

// "错误" in code page 936.
constexpr char FailureTitle[] = "\xB4\xED\xCE\xF3";
// "内存不足，无法继续运行。" in code page 936.
constexpr char OutOfMemoryText[] =
    "\xC4\xDA\xB4\xE6\xB2\xBB\xD7\xE3\xA3\xAC\xCE\xDE\xB7\xA8\xBC\xCC\xD0\xF8\xD4\xCB\xD0\xD0"
    "\xA1\xA3";

// Throwing through the platform's callbacks is not an option, so running out of memory
// ends the program here, where it happened.
void OnOutOfMemory() {
  ShowFailureAndExit(OutOfMemoryText);
}

}  // namespace

void ShowFailureAndExit(const char* whatFailed) {
  MessageBoxA(nullptr, whatFailed, FailureTitle, MB_ICONERROR | MB_OK);
  // ExitProcess rather than a return: no window event may reach the handlers any more.
  ExitProcess(static_cast<UINT>(-1));
}

int StartProgram() {
  std::set_new_handler(OnOutOfMemory);
  LoadStartWindow();
  RunMessageLoop();
  return 0;
}

void RunMessageLoop() {
  const HWND window = MainWindow();
  if (window == nullptr) return;
  NoteMessageLoopStarted(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (HandleWindowKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
