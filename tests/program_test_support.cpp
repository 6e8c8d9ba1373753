#include "program_test_support.h"

#include <cstdio>
#include <vector>

namespace {

struct WindowSearch {
  DWORD processId;
  const char* className;
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId) return TRUE;
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, search->className) != 0) return TRUE;
  if (RemoteWindowText(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

PROCESS_INFORMATION StartBesideTests(const char* program, const char* arguments) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string commandLine = path;
  commandLine = "\"" + commandLine.substr(0, commandLine.find_last_of('\\') + 1) + program + "\" " +
                arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  // Now and then Wine fails to create a process right after another one has ended,
  // before any code of the program has run; a fault of the program fails every try.
  for (int attempt = 1; attempt <= 3; ++attempt) {
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
      return process;
    }
    std::fprintf(stderr, "Starting %s failed (error %lu), attempt %d of 3\n", commandLine.c_str(),
                 GetLastError(), attempt);
    Sleep(500);
  }
  return {};
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption,
                   DWORD milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  do {
    WindowSearch search = {processId, className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr && IsWindowVisible(search.found)) return search.found;
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

DWORD WaitForExitCode(const PROCESS_INFORMATION& process, DWORD milliseconds) {
  WaitForSingleObject(process.hProcess, milliseconds);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &code);
  return code;
}

void EndProcess(PROCESS_INFORMATION& process) {
  if (process.hProcess == nullptr) return;
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = {};
}

bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
  const ULONGLONG deadline = GetTickCount64() + 5000;
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  do {
    SetForegroundWindow(window);
    Sleep(20);
  } while (!(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
             info.hwndActive == window) &&
           GetTickCount64() < deadline);
  if (info.hwndActive != window) return false;

  std::vector<INPUT> inputs;
  for (const WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

std::string RemoteWindowText(HWND window) {
  const auto length = static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::string text(length + 1, '\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied);
  return text;
}
