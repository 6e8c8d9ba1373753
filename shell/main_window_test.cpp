#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/device_change.h"
#include "shell/start_program.h"
#include "tests/window_test_support.h"

namespace {

struct Creation {
  std::string className;
  DWORD style, extendedStyle;
  RECT rect;  // as requested: x, y, x + cx, y + cy
  bool topLevel;
};

// What the platform was asked to create, and what held when the window was first shown.
std::vector<Creation> creations;
bool deviceHandlerInPlaceWhenShown = false;
bool controlsVisibleWhenShown = false;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    char className[64] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
    // The platform creates helper windows of its own (input method, the drop-down's list).
    const bool ours = lstrcmpiA(className, "Valdrune") == 0 || lstrcmpiA(className, "Edit") == 0 ||
                      lstrcmpiA(className, "ComboBox") == 0;
    if (ours)
      creations.push_back({className,
                           static_cast<DWORD>(create->style),
                           static_cast<DWORD>(create->dwExStyle),
                           {create->x, create->y, create->x + create->cx, create->y + create->cy},
                           create->hwndParent == nullptr});
  } else if (code == HCBT_ACTIVATE && MainWindow() == reinterpret_cast<HWND>(wParam)) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    deviceHandlerInPlaceWhenShown = GetWindowLongPtrA(window, GWLP_WNDPROC) ==
                                    reinterpret_cast<LONG_PTR>(DeviceChangeWindowProc);
    controlsVisibleWhenShown = IsWindowVisible(GetDlgItem(window, 编辑框1)) &&
                               IsWindowVisible(GetDlgItem(window, 编辑框2)) &&
                               IsWindowVisible(GetDlgItem(window, 驱动器));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

TEST(MainWindowCreation, CreatesHiddenWindowAndControlsThenRaisesCreatedEventBeforeShowing) {
  creations.clear();
  const HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  LoadStartWindow();
  UnhookWindowsHookEx(hook);
  const HWND window = MainWindow();
  ASSERT_NE(window, nullptr);

  ASSERT_EQ(creations.size(), 4u);
  const Creation& main = creations[0];
  EXPECT_EQ(main.className, "Valdrune");
  EXPECT_TRUE(main.topLevel);
  EXPECT_EQ(main.style, 0x02C80000u) << "created without WS_VISIBLE";
  // The platform itself adds WS_EX_WINDOWEDGE to every captioned window.
  EXPECT_EQ(main.extendedStyle & ~WS_EX_WINDOWEDGE, 0u);
  EXPECT_EQ(main.rect.left, (GetSystemMetrics(SM_CXSCREEN) - 402) / 2);
  EXPECT_EQ(main.rect.top, (GetSystemMetrics(SM_CYSCREEN) - 241) / 2);

  const struct {
    const char* className;
    DWORD style;
    DWORD extendedStyle;
    RECT rect;
  } controls[] = {
      {"Edit", 0x44211044, WS_EX_CLIENTEDGE, {-2, 72, 398, 216}},  // 编辑框2
      {"Edit", 0x44211044, WS_EX_CLIENTEDGE, {-2, 0, 398, 72}},    // 编辑框1
      {"ComboBox", 0x44210043, 0, {-248, -120, -148, -100}},       // 驱动器
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const Creation& created = creations[i + 1];
    EXPECT_EQ(_stricmp(created.className.c_str(), controls[i].className), 0) << i;
    EXPECT_FALSE(created.topLevel) << i;
    EXPECT_EQ(created.style, controls[i].style) << i;
    EXPECT_EQ(created.extendedStyle, controls[i].extendedStyle) << i;
    EXPECT_TRUE(EqualRect(&created.rect, &controls[i].rect)) << i;
  }

  EXPECT_TRUE(deviceHandlerInPlaceWhenShown);
  EXPECT_TRUE(controlsVisibleWhenShown);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetActiveWindow(), window);
  DestroyWindow(window);
  DrainThreadQueue();
}

class MainWindowLook : public MainWindowTest {};

TEST_F(MainWindowLook, IsCentredAt402By241AndCannotBeResized) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the tests run on a 1024 x 768 screen";
  ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  RECT outer;
  GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.left, 311);
  EXPECT_EQ(outer.top, 263);
  EXPECT_EQ(outer.right - outer.left, 402);
  EXPECT_EQ(outer.bottom - outer.top, 241);

  // The platform adds WS_CLIPSIBLINGS to every top-level window.
  const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x02C80000);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
  EXPECT_EQ(WindowText(window_), "Valdrune");

  // Movable: the system menu keeps Move, and moving works.
  const HMENU systemMenu = GetSystemMenu(window_, FALSE);
  EXPECT_EQ(GetMenuState(systemMenu, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_TRUE(MoveWindow(window_, 10, 20, 402, 241, TRUE));
}

TEST_F(MainWindowLook, ClassHasArrowPointerAndNeitherBackgroundBrushNorIcon) {
  EXPECT_EQ(GetClassLongPtrA(window_, GCL_STYLE),
            static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HCURSOR),
            reinterpret_cast<ULONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)));
  EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND), 0u);
  EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HICON), 0u);
  EXPECT_EQ(GetClassLongPtrA(window_, GCLP_HICONSM), 0u);
}

TEST_F(MainWindowLook, WindowAndControlsUseTheDefaultGuiFont) {
  const auto font = reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(SendMessageA(window_, WM_GETFONT, 0, 0), font);
  for (const ControlId id : {编辑框1, 编辑框2, 驱动器}) {
    EXPECT_EQ(SendMessageA(Box(id), WM_GETFONT, 0, 0), font) << id;
  }
}

TEST_F(MainWindowLook, HasBigAndSmallIconsFromOne64By64ImageWithAlpha) {
  EXPECT_NE(SendMessageA(window_, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageA(window_, WM_GETICON, ICON_SMALL, 0), 0);

  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(ProgramIconId), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
  ASSERT_EQ(count, 1);
  const BYTE* entry = directory + 6;  // width, height, colours, reserved, planes, bits, ...
  EXPECT_EQ(entry[0], 64);
  EXPECT_EQ(entry[1], 64);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);
  const WORD imageId = *reinterpret_cast<const WORD*>(entry + 12);
  const HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(imageId), RT_ICON);
  ASSERT_NE(image, nullptr);
  const auto* header =
      static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
  EXPECT_EQ(header->biWidth, 64);
  EXPECT_EQ(header->biBitCount, 32);
  const auto* pixels = reinterpret_cast<const BYTE*>(header + 1);
  bool transparent = false, opaque = false;
  for (int i = 0; i < 64 * 64; ++i) {
    transparent |= pixels[4 * i + 3] == 0;
    opaque |= pixels[4 * i + 3] == 255;
  }
  EXPECT_TRUE(transparent && opaque) << "the alpha channel carries the shape";
}

TEST_F(MainWindowLook, BoxesAnswerTheirColoursWithOneBrushEach) {
  const struct {
    ControlId box;
    COLORREF text;
  } cases[] = {{编辑框1, RGB(255, 0, 0)}, {编辑框2, RGB(255, 255, 255)}};
  const HDC dc = CreateCompatibleDC(nullptr);
  for (const auto& c : cases) {
    const LRESULT brush = SendMessageA(window_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Box(c.box)));
    ASSERT_NE(brush, 0) << c.box;
    EXPECT_EQ(GetTextColor(dc), c.text) << c.box;
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0)) << c.box;
    LOGBRUSH description;
    ASSERT_EQ(GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof description, &description),
              static_cast<int>(sizeof description));
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, RGB(0, 0, 0));
    EXPECT_EQ(SendMessageA(window_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(Box(c.box))),
              brush)
        << "made once, when the box was created";
  }
  DeleteDC(dc);
}

TEST_F(MainWindowLook, PaintsBlackWhereNoControlCovers) {
  for (const ControlId id : {编辑框1, 编辑框2}) ShowWindow(Box(id), SW_HIDE);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client;
  GetClientRect(window_, &client);
  const HDC dc = GetDC(window_);
  for (const POINT at : {POINT{5, 5}, POINT{client.right / 2, client.bottom / 2},
                         POINT{client.right - 3, client.bottom - 3}}) {
    EXPECT_EQ(GetPixel(dc, at.x, at.y), RGB(0, 0, 0)) << at.x << "," << at.y;
  }
  ReleaseDC(window_, dc);
}

TEST_F(MainWindowLook, BoxesAreEmptyUnlimitedMultiLineAndInPlace) {
  const struct {
    ControlId box;
    RECT rect;
  } cases[] = {{编辑框1, {-2, 0, 398, 72}}, {编辑框2, {-2, 72, 398, 216}}};
  for (const auto& c : cases) {
    const HWND box = Box(c.box);
    EXPECT_EQ(WindowText(box), "") << c.box;
    EXPECT_EQ(GetWindowLongPtrA(box, GWL_STYLE) & ~WS_VISIBLE, 0x44211044) << c.box;
    EXPECT_EQ(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_GE(static_cast<unsigned long long>(SendMessageA(box, EM_GETLIMITTEXT, 0, 0)),
              0x7FFFFFFEull)
        << c.box;
    DWORD start = 1, end = 1;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    const RECT actual = ClientRectOf(box);
    EXPECT_TRUE(EqualRect(&actual, &c.rect)) << c.box;
  }
}

TEST_F(MainWindowLook, DriveListHoldsEveryLogicalDriveWithTheCurrentOneSelectedOutOfSight) {
  const HWND list = Box(驱动器);
  char drives[4 * 26 + 2] = {};
  GetLogicalDriveStringsA(sizeof drives, drives);
  int driveCount = 0;
  for (const char* root = drives; *root != '\0'; root += lstrlenA(root) + 1) ++driveCount;
  EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), driveCount);

  const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
  ASSERT_GE(selected, 0);
  char item[64] = {};
  SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(item));
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_EQ(toupper(item[0]), toupper(current[0])) << item;

  const RECT rect = ClientRectOf(list);
  EXPECT_EQ(rect.left, -248);
  EXPECT_EQ(rect.top, -120);
  EXPECT_LE(rect.right, 0);
  EXPECT_LE(rect.bottom, 0);
  EXPECT_TRUE(IsWindowVisible(list));
}

class AppendAndSetText : public MainWindowTest {
 protected:
  HWND box() const { return Box(编辑框1); }
  void Type(const char* keys) {
    for (const char* key = keys; *key != '\0'; ++key) {
      SendMessageA(box(), WM_CHAR, static_cast<unsigned char>(*key), 0);
    }
  }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    SendMessageA(box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
};

TEST_F(AppendAndSetText, AppendLandsAtTheEndWhateverIsSelected) {
  SetText(box(), "abc");
  SendMessageA(box(), EM_SETSEL, 1, 2);  // the user selected the b
  AppendText(box(), {"x"});
  EXPECT_EQ(WindowText(box()), "abcx");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{4}));
}

TEST_F(AppendAndSetText, SeveralTextsLandOneAfterAnother) {
  AppendText(box(), {"first\r\n", nullptr, "second\r\n"});
  AppendText(box(), {"third\r\n"});
  EXPECT_EQ(WindowText(box()), "first\r\nsecond\r\nthird\r\n");
  EXPECT_EQ(SendMessageA(box(), EM_GETLINECOUNT, 0, 0), 4) << "an empty line holds the caret";
  EXPECT_EQ(Selection().first, 22u);
}

TEST_F(AppendAndSetText, MissingOrEmptyTextOnlyMovesTheCaretToTheEnd) {
  SetText(box(), "abc");
  for (const char* text : {static_cast<const char*>(nullptr), ""}) {
    SendMessageA(box(), EM_SETSEL, 0, 1);
    AppendText(box(), {text});
    EXPECT_EQ(WindowText(box()), "abc");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{3}, DWORD{3}));
  }
}

TEST_F(AppendAndSetText, AppendedTextCannotBeUndoneAndTypedTextStays) {
  SendMessageA(box(), WM_SETFOCUS, 0, 0);
  Type("hi");
  AppendText(box(), {"x"});
  SendMessageA(box(), EM_UNDO, 0, 0);
  EXPECT_EQ(WindowText(box()), "hix");
}

TEST_F(AppendAndSetText, KeepsTheEndInViewAsLinesAccumulate) {
  for (int line = 0; line < 50; ++line) AppendText(box(), {"line\r\n"});
  EXPECT_GT(SendMessageA(box(), EM_GETFIRSTVISIBLELINE, 0, 0), 40);
}

TEST_F(AppendAndSetText, TakesTextBeyondTheDefaultLimit) {
  const std::string chunk(1000, 'x');
  for (int i = 0; i < 40; ++i) AppendText(box(), {chunk.c_str()});
  EXPECT_EQ(GetWindowTextLengthA(box()), 40000);
}

TEST_F(AppendAndSetText, LongLinesWrapWithoutHorizontalScrolling) {
  AppendText(box(), {std::string(300, 'w').c_str()});
  EXPECT_GT(SendMessageA(box(), EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(GetWindowLongPtrA(box(), GWL_STYLE) & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
}

TEST_F(AppendAndSetText, SetTextReplacesEverythingTypedTextToo) {
  SendMessageA(box(), WM_SETFOCUS, 0, 0);
  Type("typed");
  AppendText(box(), {"line\r\n"});
  SetText(box(), "");
  EXPECT_EQ(WindowText(box()), "");
  SetText(box(), "new");
  SetText(box(), nullptr);
  EXPECT_EQ(WindowText(box()), "");
}

TEST(MessageLoop, ClosingTheWindowEndsTheLoopWithAQuitRequest) {
  LoadStartWindow();
  PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
  RunMessageLoop();
  EXPECT_EQ(MainWindow(), nullptr);
  DrainThreadQueue();
}

TEST(MessageLoop, AWindowDestroyedBeforeTheLoopPostsNoQuitAndTheLoopDoesNotRun) {
  LoadStartWindow();
  DestroyWindow(MainWindow());
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  // A loop that ran would take this message off the queue.
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  RunMessageLoop();
  EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
  DrainThreadQueue();
}

TEST(MainWindowResources, BrushesAndIconsGoWithTheWindow) {
  LoadStartWindow();
  const HWND window = MainWindow();
  const HDC dc = CreateCompatibleDC(nullptr);
  std::vector<HGDIOBJ> brushes;
  for (const ControlId box : {编辑框1, 编辑框2}) {
    brushes.push_back(reinterpret_cast<HGDIOBJ>(
        SendMessageA(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, box)))));
  }
  DeleteDC(dc);
  std::vector<HICON> icons;
  for (const WPARAM size : {ICON_BIG, ICON_SMALL}) {
    icons.push_back(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, size, 0)));
  }
  for (const HGDIOBJ brush : brushes)
    ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));

  DestroyWindow(window);
  DrainThreadQueue();
  for (const HGDIOBJ brush : brushes) EXPECT_EQ(GetObjectType(brush), 0u) << "brush deleted";
  for (const HICON icon : icons) {
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "icon destroyed";
  }
}
