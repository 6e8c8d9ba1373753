// MainWindow: the program's only window, built from a definition that is fixed data.
#pragma once

#include <windows.h>

#include <initializer_list>

// Control identifiers; the controls keep the names the window definition gives them.
enum ControlId : int { 编辑框2 = 1001, 编辑框1 = 1002, 驱动器 = 1003 };

struct ControlDefinition {
  ControlId id;
  const char* className;
  DWORD style;  // as created: hidden, shown later by `visible`
  DWORD extendedStyle;
  int left, top, width, height;
  bool visible, enabled, tabStop;
  int tabOrder;
  bool hasColours;
  COLORREF textColour, backgroundColour;
};

// In the order the definition lists them; that order breaks ties in the tab cycle.
extern const ControlDefinition MainWindowControls[3];

constexpr char MainWindowClassName[] = "Valdrune";
constexpr char MainWindowCaption[] = "Valdrune";
constexpr int MainWindowWidth = 402;
constexpr int MainWindowHeight = 241;
constexpr DWORD MainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr UINT MainWindowClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
constexpr int ProgramIconId = 1;

// Creates MainWindow and its controls, raises the created event and shows the window.
// Does not return when the window or a control cannot be created.
void LoadStartWindow();

// The calling thread's MainWindow, or null when there is none.
HWND MainWindow();

// The quit request after the window's destruction depends on the loop having started.
void NoteMessageLoopStarted(HWND window);

// Adds each text after the last character of the box, whatever the user selected;
// the insertion cannot be undone and the end stays in view.
void AppendText(HWND box, std::initializer_list<const char*> texts);

// Replaces the box's whole content.
void SetText(HWND box, const char* text);
