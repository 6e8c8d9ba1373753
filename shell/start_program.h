#pragma once

// The program's entry: creates the window, runs the loop, returns 0 when it ends.
int StartProgram();

// Returns when the loop has ended, or at once when no window is left to serve.
void RunMessageLoop();

// The program has no recovery path: says what failed in a box titled "错误" and ends
// the process with exit code -1.
[[noreturn]] void ShowFailureAndExit(const char* whatFailed);
