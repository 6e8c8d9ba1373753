#include "shell/main_window.h"

#include <cctype>
#include <string>

#include "monitor/device_change.h"
#include "shell/keyboard.h"
#include "shell/start_program.h"

// id, class, style, extended style, left, top, width, height, visible, enabled, tab stop,
// tab order, has colours, text colour, background colour
const ControlDefinition MainWindowControls[3] = {
    {编辑框2, "EDIT", 0x44211044, WS_EX_CLIENTEDGE, -2, 72, 400, 144, true, true, true, 0, true,
     RGB(255, 255, 255), RGB(0, 0, 0)},
    {编辑框1, "EDIT", 0x44211044, WS_EX_CLIENTEDGE, -2, 0, 400, 72, true, true, true, 0, true,
     RGB(255, 0, 0), RGB(0, 0, 0)},
    {驱动器, "COMBOBOX", 0x44210043, 0, -248, -120, 100, 20, true, true, true, 0, false, 0, 0},
};

namespace {

// Window state lives in properties of the windows themselves, so that the program
// keeps a single global of its own.
constexpr char LoopStartedProperty[] = "Valdrune.LoopStarted";
constexpr char BrushProperty[] = "Valdrune.Brush";
constexpr char FontProperty[] = "Valdrune.Font";

// "无法创建主窗口或其控件。" in code page 936.
constexpr char CreationFailedText[] =
    "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xD6\xF7\xB4\xB0\xBF\xDA\xBB\xF2\xC6\xE4\xBF\xD8\xBC\xFE"
    "\xA1\xA3";

const ControlDefinition* DefinitionOf(HWND control) {
  const int id = GetDlgCtrlID(control);
  for (const ControlDefinition& definition : MainWindowControls) {
    if (definition.id == id) return &definition;
  }
  return nullptr;
}

BOOL CALLBACK FindMainWindowOfThread(HWND window, LPARAM found) {
  char className[sizeof MainWindowClassName + 1] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, MainWindowClassName) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  const HBRUSH background = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &paint.rcPaint, background);
  DeleteObject(background);
  EndPaint(window, &paint);
}

LRESULT OnEditBoxColours(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto dc = reinterpret_cast<HDC>(wParam);
  const auto box = reinterpret_cast<HWND>(lParam);
  const ControlDefinition* definition = DefinitionOf(box);
  const HANDLE brush = GetPropA(box, BrushProperty);
  if (definition == nullptr || !definition->hasColours || brush == nullptr) {
    return DefWindowProcA(window, WM_CTLCOLOREDIT, wParam, lParam);
  }
  SetTextColor(dc, definition->textColour);
  SetBkColor(dc, definition->backgroundColour);
  return reinterpret_cast<LRESULT>(brush);
}

void ReleaseWindowResources(HWND window) {
  for (const ControlDefinition& definition : MainWindowControls) {
    const HWND control = GetDlgItem(window, definition.id);
    if (control == nullptr) continue;
    if (const HANDLE brush = RemovePropA(control, BrushProperty)) DeleteObject(brush);
  }
  for (const WPARAM size : {ICON_BIG, ICON_SMALL}) {
    const auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, size, 0));
    if (icon != nullptr) DestroyIcon(icon);
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) RememberFocusedControl(window);
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
      PassFocusToControl(window);
      return 0;
    case WM_SETFONT:
      // A plain window keeps no font of its own; this one answers for its font as a
      // dialog does.
      SetPropA(window, FontProperty, reinterpret_cast<HANDLE>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropA(window, FontProperty));
    case WM_CTLCOLOREDIT:
      return OnEditBoxColours(window, wParam, lParam);
    case WM_DESTROY: {
      // The will-be-destroyed event follows the platform's own handling, while the
      // controls still exist.
      const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      OnMainWindowDestroying();
      ReleaseWindowResources(window);
      return result;
    }
    case WM_NCDESTROY: {
      const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      RemovePropA(window, FontProperty);
      ForgetFocusedControl(window);
      // MainWindow is the program's only window, so once it is gone none is left; a
      // window destroyed before the loop began must not leave a quit request behind.
      if (RemovePropA(window, LoopStartedProperty) != nullptr) PostQuitMessage(0);
      return result;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = MainWindowClassStyle;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = MainWindowClassName;
  // A second registration on the same thread (a test creating the window again) fails
  // harmlessly; a class that is really missing makes the creation fail below.
  RegisterClassExA(&windowClass);
}

void SetWindowIcons(HWND window, HINSTANCE instance) {
  const struct {
    WPARAM which;
    int width, height;
  } icons[] = {
      {ICON_BIG, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
      {ICON_SMALL, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)},
  };
  for (const auto& icon : icons) {
    const HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(ProgramIconId), IMAGE_ICON,
                                    icon.width, icon.height, LR_DEFAULTCOLOR);
    SendMessageA(window, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(image));
  }
}

void FillDriveList(HWND driveList) {
  char drives[4 * 26 + 2] = {};
  GetLogicalDriveStringsA(sizeof drives, drives);
  char currentDirectory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, currentDirectory);
  for (const char* root = drives; *root != '\0'; root += lstrlenA(root) + 1) {
    static const char* const typeLabels[] = {"unknown", "no root", "removable", "fixed",
                                             "network", "cd-rom",  "ram disk"};
    const UINT type = GetDriveTypeA(root);
    const std::string item =
        std::string(1, root[0]) + ": [" + (type < 7 ? typeLabels[type] : typeLabels[0]) + "]";
    const LRESULT index =
        SendMessageA(driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (std::toupper(static_cast<unsigned char>(root[0])) ==
        std::toupper(static_cast<unsigned char>(currentDirectory[0]))) {
      SendMessageA(driveList, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
  }
}

HWND CreateControl(HWND window, HINSTANCE instance, const ControlDefinition& definition,
                   HFONT font) {
  const DWORD style = (definition.style & ~WS_VISIBLE) | (definition.enabled ? 0 : WS_DISABLED);
  const HWND control = CreateWindowExA(
      definition.extendedStyle, definition.className, "", style, definition.left, definition.top,
      definition.width, definition.height, window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
  if (control == nullptr) ShowFailureAndExit(CreationFailedText);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (definition.id == 驱动器) {
    FillDriveList(control);
    return control;
  }
  SendMessageA(control, EM_LIMITTEXT, 0, 0);
  SendMessageA(control, EM_SETSEL, 0, 0);
  SendMessageA(control, EM_SCROLLCARET, 0, 0);
  if (definition.hasColours) {
    SetPropA(control, BrushProperty, CreateSolidBrush(definition.backgroundColour));
  }
  return control;
}

}  // namespace

void LoadStartWindow() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  RegisterMainWindowClass(instance);

  // Integer division rounds toward zero, as the centring formula wants on narrow screens.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - MainWindowWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - MainWindowHeight) / 2;
  const HWND window =
      CreateWindowExA(0, MainWindowClassName, MainWindowCaption, MainWindowStyle, x, y,
                      MainWindowWidth, MainWindowHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) ShowFailureAndExit(CreationFailedText);
  RECT outer;
  GetWindowRect(window, &outer);
  if (outer.right - outer.left != MainWindowWidth || outer.bottom - outer.top != MainWindowHeight) {
    MoveWindow(window, x, y, MainWindowWidth, MainWindowHeight, FALSE);
  }

  SetWindowIcons(window, instance);
  const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  for (const ControlDefinition& definition : MainWindowControls) {
    CreateControl(window, instance, definition, font);
  }
  for (const ControlDefinition& definition : MainWindowControls) {
    if (definition.visible) ShowWindow(GetDlgItem(window, definition.id), SW_SHOWNA);
  }

  OnMainWindowCreated();
  // The moved and resized events have no handlers; only showing is left to do, and
  // only if the created event left the window alive.
  if (IsWindow(window)) ShowWindow(window, SW_SHOW);
}

HWND MainWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMainWindowOfThread, reinterpret_cast<LPARAM>(&found));
  return found;
}

void NoteMessageLoopStarted(HWND window) {
  SetPropA(window, LoopStartedProperty, reinterpret_cast<HANDLE>(1));
}

void AppendText(HWND box, std::initializer_list<const char*> texts) {
  for (const char* text : texts) {
    // The ANSI length never undercounts the characters, and a position past the end
    // means the end, so the text always lands after everything in the box.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthA(box));
    SendMessageA(box, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text != nullptr ? text : ""));
  }
}

void SetText(HWND box, const char* text) {
  SetWindowTextA(box, text != nullptr ? text : "");
}
