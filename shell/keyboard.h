// MainWindow's own keyboard handling: Esc closes, Tab and Shift+Tab move the focus
// through the controls, and the window hands its focus on to a control.
#pragma once

#include <windows.h>

#include <vector>

// Looks at a queued message before it is translated and dispatched; true when the
// window consumed it as one of its keys.
bool HandleWindowKey(const MSG& message);

// The controls that take the focus by Tab, in order: those that exist, are visible,
// enabled and tab stops, by tab order; among equal orders the one listed later in the
// window definition comes first.
std::vector<HWND> TabCycle(HWND window);

// Called when the window is deactivated and when it receives the focus.
void RememberFocusedControl(HWND window);
void PassFocusToControl(HWND window);
void ForgetFocusedControl(HWND window);
