#include <windows.h>

#include "shell/start_program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return StartProgram();
}
