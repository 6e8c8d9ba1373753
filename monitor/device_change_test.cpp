#include "monitor/device_change.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor/volume_broadcast.h"
#include "tests/report_words.h"
#include "tests/window_test_support.h"

namespace {

const std::string Arrival = ArrivalMessage;
const std::string Removal = RemovalMessage;

}  // namespace

class DeviceChangeHandler : public MainWindowTest {};

TEST_F(DeviceChangeHandler, IsInstalledInFrontOfTheWindowsOwnProcedure) {
  EXPECT_EQ(GetWindowLongPtrA(window_, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(DeviceChangeWindowProc));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(PreviousWindowProc),
            GetClassLongPtrA(window_, GCLP_WNDPROC));
}

namespace {
LONG_PTR procedureDuringDestroy = 0;
LONG_PTR procedureAtNcDestroy = 0;
int destroyMessages = 0;

LRESULT CALLBACK WatchDestruction(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call->message == WM_DESTROY && call->hwnd == MainWindow()) {
      ++destroyMessages;
      procedureDuringDestroy = GetWindowLongPtrA(call->hwnd, GWLP_WNDPROC);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WatchNcDestroy(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_NCDESTROY && GetParent(call->hwnd) == nullptr) {
      procedureAtNcDestroy = GetWindowLongPtrA(call->hwnd, GWLP_WNDPROC);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST_F(DeviceChangeHandler, IsRemovedOnceWhileTheWindowIsDestroyed) {
  const auto ownProcedure = static_cast<LONG_PTR>(GetClassLongPtrA(window_, GCLP_WNDPROC));
  const HHOOK after =
      SetWindowsHookExA(WH_CALLWNDPROCRET, WatchDestruction, nullptr, GetCurrentThreadId());
  const HHOOK before =
      SetWindowsHookExA(WH_CALLWNDPROC, WatchNcDestroy, nullptr, GetCurrentThreadId());
  destroyMessages = 0;
  DestroyWindow(window_);
  UnhookWindowsHookEx(after);
  UnhookWindowsHookEx(before);
  EXPECT_EQ(destroyMessages, 1);
  EXPECT_EQ(procedureDuringDestroy, ownProcedure);
  EXPECT_EQ(procedureAtNcDestroy, ownProcedure);
}

TEST_F(DeviceChangeHandler, UnitMaskNamesTheLowestDriveLetter) {
  const struct {
    std::uint32_t mask;
    const char* letter;
  } cases[] = {
      {1u << 0, "A"},
      {1u << 4, "E"},
      {1u << 16, "Q"},
      {1u << 25, "Z"},
      {(1u << 3) | (1u << 5), "D"},
      {0, "["},
      {0xFC000000u, "["},
  };
  std::string expected;
  for (const auto& c : cases) {
    SendVolumeBroadcast(window_, DBT_DEVICEREMOVECOMPLETE, c.mask);
    expected += Removal + c.letter + "\r\n";
  }
  EXPECT_EQ(Text(编辑框1), expected);
}

TEST_F(DeviceChangeHandler, WritesOneExactLinePerReportedEvent) {
  const struct {
    const char* name;
    WPARAM event;
    std::uint32_t deviceType;
    std::uint16_t flags;
    std::string line;
  } cases[] = {
      {"arrival", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 0, Arrival + "E\r\n"},
      {"removal", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, 0, Removal + "E\r\n"},
      {"media flag", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, DBTF_MEDIA, Arrival + "E\r\n"},
      {"network flag", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, DBTF_NET, Arrival + "E\r\n"},
      {"port record", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, 0, ""},
      {"interface record", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, 0, ""},
      {"query remove", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME, 0, ""},
      {"remove pending", DBT_DEVICEREMOVEPENDING, DBT_DEVTYP_VOLUME, 0, ""},
      {"nodes changed", DBT_DEVNODES_CHANGED, DBT_DEVTYP_VOLUME, 0, ""},
  };
  for (const auto& c : cases) {
    SetText(Box(编辑框1), "");
    SetText(Box(编辑框2), "kept");
    SendVolumeBroadcast(window_, c.event, 0x10, c.flags, c.deviceType);
    EXPECT_EQ(Text(编辑框1), c.line) << c.name;
  }
  SetText(Box(编辑框1), "");
  SendMessageA(window_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(Text(编辑框1), "") << "null record";
}

TEST_F(DeviceChangeHandler, EventsInARowAddLinesInOrderAndRemovalLeavesTheLowerBox) {
  SendVolumeBroadcast(window_, DBT_DEVICEARRIVAL, 1u << 5);
  SetText(Box(编辑框2), "listing");
  SendVolumeBroadcast(window_, DBT_DEVICEREMOVECOMPLETE, 1u << 6);
  EXPECT_EQ(Text(编辑框1), Arrival + "F\r\n" + Removal + "G\r\n");
  EXPECT_EQ(Text(编辑框2), "listing");
}

TEST(ReportTexts, AreTheChineseMessagesInCodePage936) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the program's ANSI code page";
  EXPECT_EQ(Arrival.size(), 50u);
  EXPECT_EQ(Removal.size(), 27u);
  EXPECT_EQ(FromCodePage936(Arrival), ArrivalWords);
  EXPECT_EQ(FromCodePage936(Removal), RemovalWords);
}

namespace {
struct Call {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Call> calls;
WNDPROC ownProcedure = nullptr;

// Stands in for the window's own procedure on the messages the test sends; the edit
// boxes' notifications still reach the real one.
LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DEVICECHANGE && message != WM_USER + 7 && message != WM_NULL) {
    return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
  }
  calls.push_back({window, message, wParam, lParam});
  return static_cast<LRESULT>(0x5A000000 + message);
}
}  // namespace

TEST_F(DeviceChangeHandler, HandsEveryMessageOnUnchangedAndReturnsItsResult) {
  ownProcedure = PreviousWindowProc;
  PreviousWindowProc = RecordingProcedure;
  calls.clear();
  DEV_BROADCAST_VOLUME volume = {sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 4, 0};
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } cases[] = {
      {WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume)},
      {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume)},
      {WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&volume)},
      {WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0},
      {WM_USER + 7, 123, 456},
      {WM_NULL, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SendMessageA(window_, c.message, c.wParam, c.lParam),
              static_cast<LRESULT>(0x5A000000 + c.message));
  }
  PreviousWindowProc = ownProcedure;
  ASSERT_EQ(calls.size(), std::size(cases));
  for (std::size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].window, window_);
    EXPECT_EQ(calls[i].message, cases[i].message);
    EXPECT_EQ(calls[i].wParam, cases[i].wParam);
    EXPECT_EQ(calls[i].lParam, cases[i].lParam);
  }
  EXPECT_EQ(Text(编辑框1), Arrival + "E\r\n" + Removal + "E\r\n");
}

TEST_F(DeviceChangeHandler, ReadsAShortRecordOnlyAsFarAsItGoes) {
  // A port record is 12 bytes here; the page after it is inaccessible.
  const struct {
    std::size_t length;
    std::uint32_t deviceType;
    std::string line;
  } cases[] = {
      {12, DBT_DEVTYP_PORT, ""},
      {12, DBT_DEVTYP_VOLUME, Arrival + "[\r\n" + Removal + "[\r\n"},  // no unit mask: none set
      {16, DBT_DEVTYP_VOLUME, Arrival + "E\r\n" + Removal + "E\r\n"},
      {18, DBT_DEVTYP_VOLUME, Arrival + "E\r\n" + Removal + "E\r\n"},
  };
  for (const auto& c : cases) {
    unsigned char* record = BytesBeforeGuardPage(c.length);
    const auto size = static_cast<std::uint32_t>(c.length);
    std::memcpy(record, &size, 4);
    std::memcpy(record + 4, &c.deviceType, 4);
    if (c.length >= 16) record[12] = 0x10;
    SetText(Box(编辑框1), "");
    for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}) {
      SendMessageA(window_, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
    }
    EXPECT_EQ(Text(编辑框1), c.line) << c.length;
  }
}
