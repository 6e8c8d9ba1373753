// Helpers for tests that run the real program as a child process and play the part of
// the system and the user from outside.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// A program built beside the tests, started with `arguments`.
PROCESS_INFORMATION StartBesideTests(const char* program, const char* arguments = "");

// The first top-level window of `processId` with this class and caption; null if none
// appears within the time.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption,
                   DWORD milliseconds = 20000);

// The exit code, or STILL_ACTIVE if the process is still running after the time.
DWORD WaitForExitCode(const PROCESS_INFORMATION& process, DWORD milliseconds = 20000);

// Ends the process if it is still running and closes its handles.
void EndProcess(PROCESS_INFORMATION& process);

// Brings `window` to the foreground and types the keys as real input: every key is
// pressed in order, then released in reverse.
bool PressKeys(HWND window, std::initializer_list<WORD> keys);

// Text of a window in another process.
std::string RemoteWindowText(HWND window);
