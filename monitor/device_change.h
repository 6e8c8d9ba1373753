// The device-change handler: a window procedure put in front of MainWindow's own for as
// long as the window lives. It reports volume arrivals and removals in the upper box
// and hands every message on, unchanged, to the procedure it replaced.
#pragma once

#include <windows.h>

// The window procedure that DeviceChangeWindowProc replaced; null until the window's
// created event.
extern WNDPROC PreviousWindowProc;

LRESULT CALLBACK DeviceChangeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The handlers of MainWindow's created and will-be-destroyed events.
void OnMainWindowCreated();
void OnMainWindowDestroying();
