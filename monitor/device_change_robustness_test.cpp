// Whatever reaches the window through the broadcast, the window keeps working, loses no
// report line and reads no byte it may not.
#include "monitor/device_change.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "monitor/volume_broadcast.h"
#include "tests/drive_fixtures.h"
#include "tests/window_test_support.h"

namespace {

WNDPROC ownProcedure = nullptr;
int nestedEventsLeft = 0;
HWND nestingBox = nullptr;

// Stands in for the window's own procedure on device changes and the test's own
// messages, so the result handed back can be told apart.
LRESULT CALLBACK MarkedResults(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE || message == WM_NULL || message >= WM_USER) {
    return static_cast<LRESULT>(0x5A000000u ^ message ^ wParam);
  }
  return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
}

// The line a message must leave, decided from the bytes the way the platform's record
// reads: nothing past what is there, nothing past the size the record declares.
std::string ExpectedLine(UINT message, WPARAM wParam, const unsigned char* record,
                         std::size_t length) {
  if (message != WM_DEVICECHANGE || record == nullptr || length < 4) return "";
  if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return "";
  std::int32_t declared;
  std::memcpy(&declared, record, 4);
  unsigned char bytes[18] = {};
  const std::size_t copied =
      std::min<std::size_t>({length, 18, static_cast<std::size_t>(std::max(declared, 4))});
  std::memcpy(bytes, record, copied);
  std::int32_t type;
  std::uint32_t mask;
  std::memcpy(&type, bytes + 4, 4);
  std::memcpy(&mask, bytes + 12, 4);
  if (type != DBT_DEVTYP_VOLUME) return "";
  char letter = '[';
  for (int bit = 0; bit < 26; ++bit) {
    if (mask & (1u << bit)) {
      letter = static_cast<char>('A' + bit);
      break;
    }
  }
  return (wParam == DBT_DEVICEARRIVAL ? ArrivalMessage : RemovalMessage) + std::string(1, letter) +
         "\r\n";
}

}  // namespace

class DeviceChangeRobustness : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ownProcedure = PreviousWindowProc;
    PreviousWindowProc = MarkedResults;
  }
  void TearDown() override {
    PreviousWindowProc = ownProcedure;
    MainWindowTest::TearDown();
  }
  // Sends the message, checks the result is the window procedure's, and adds the line
  // the message must leave to `expected`.
  void Send(UINT message, WPARAM wParam, const unsigned char* record, std::size_t length,
            std::string& expected) {
    const LRESULT result = SendMessageA(window_, message, wParam, reinterpret_cast<LPARAM>(record));
    ASSERT_EQ(result, static_cast<LRESULT>(0x5A000000u ^ message ^ wParam))
        << std::hex << message << " " << wParam;
    expected += ExpectedLine(message, wParam, record, length);
  }
};

TEST_F(DeviceChangeRobustness, ReadsRecordsOfAnyTypeAndLengthOnlyAsFarAsTheyGo) {
  for (std::uint32_t type = 0; type <= 10; ++type) {
    SetText(Box(编辑框1), "");
    std::string expected;
    for (std::size_t length = 0; length <= 64; ++length) {
      unsigned char* record = BytesBeforeGuardPage(length);
      const unsigned char full[20] = {static_cast<unsigned char>(length),
                                      0,
                                      0,
                                      0,
                                      static_cast<unsigned char>(type),
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0x10,
                                      0,
                                      0,
                                      0,
                                      DBTF_MEDIA,
                                      0,
                                      0,
                                      0};
      std::memcpy(record, full, std::min(length, sizeof full));
      for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}) {
        Send(WM_DEVICECHANGE, event, record, length, expected);
      }
    }
    EXPECT_EQ(Text(编辑框1), expected) << "device type " << type;
  }
}

TEST_F(DeviceChangeRobustness, BoundsTheCopyByTheSizeTheRecordDeclares) {
  SetText(Box(编辑框1), "");
  std::string expected;
  for (const std::int32_t declared : {0, 3, 17, 18, 20, 0x7FFFFFFF, -1, -20, INT32_MIN}) {
    unsigned char* record = BytesBeforeGuardPage(20);
    std::memcpy(record, &declared, 4);
    record[4] = DBT_DEVTYP_VOLUME;
    record[12] = 0x10;
    Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, record, 20, expected);
  }
  Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, nullptr, 0, expected);
  Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, nullptr, 0, expected);
  const std::string arrivalE = ArrivalMessage + std::string("E\r\n");
  EXPECT_EQ(expected, arrivalE + arrivalE + arrivalE + arrivalE) << "17, 18, 20 and the largest";
  EXPECT_EQ(Text(编辑框1), expected);
}

TEST_F(DeviceChangeRobustness, ReportsOnlyTheTwoEventCodes) {
  SetText(Box(编辑框1), "");
  unsigned char* record = BytesBeforeGuardPage(20);
  const DEV_BROADCAST_VOLUME volume = {20, DBT_DEVTYP_VOLUME, 0, 1u << 16, 0};
  std::memcpy(record, &volume, 20);
  std::string expected;
  for (WPARAM event = 0; event <= 0x8008; ++event) {
    Send(WM_DEVICECHANGE, event, record, 20, expected);
  }
  Send(WM_DEVICECHANGE, 0xFFFF, record, 20, expected);
  EXPECT_EQ(Text(编辑框1), ArrivalMessage + std::string("Q\r\n") + RemovalMessage + "Q\r\n");
  EXPECT_EQ(Text(编辑框1), expected);
}

TEST_F(DeviceChangeRobustness, LosesNoLineAmongAHundredThousandRandomMessages) {
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<std::size_t> length(0, 64);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    if (percent(random) < 50) {
      const UINT message = percent(random) < 50   ? WM_NULL
                           : percent(random) < 50 ? WM_USER + static_cast<UINT>(percent(random))
                                                  : WM_APP + static_cast<UINT>(percent(random));
      Send(message, random(), nullptr, 0, expected);
      continue;
    }
    const int code = percent(random);
    const WPARAM event = code < 5    ? DBT_DEVICEARRIVAL
                         : code < 10 ? DBT_DEVICEREMOVECOMPLETE
                                     : static_cast<WPARAM>(random() & 0xFFFF);
    if (percent(random) < 5) {
      Send(WM_DEVICECHANGE, event, nullptr, 0, expected);
      continue;
    }
    const std::size_t size = length(random);
    unsigned char* record = BytesBeforeGuardPage(size);
    for (std::size_t b = 0; b < size; ++b) record[b] = static_cast<unsigned char>(byte(random));
    if (size >= 8 && percent(random) < 60) {
      const std::int32_t declared = percent(random) < 70 ? static_cast<std::int32_t>(size)
                                                         : static_cast<std::int32_t>(random());
      std::memcpy(record, &declared, 4);
      const std::int32_t volumeType = DBT_DEVTYP_VOLUME;
      std::memcpy(record + 4, &volumeType, 4);
    }
    Send(WM_DEVICECHANGE, event, record, size, expected);
  }
  EXPECT_TRUE(IsWindow(window_));
  const std::string shown = Text(编辑框1);
  EXPECT_EQ(shown.size(), expected.size());
  EXPECT_TRUE(shown == expected) << "lines lost, changed or out of order";
}

namespace {
// Sends a removal of F from inside the window's handling of the upper box's change
// notification, that is while an arrival is still inside the handler.
LRESULT CALLBACK NestRemovalInChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE &&
      reinterpret_cast<HWND>(lParam) == nestingBox && nestedEventsLeft > 0) {
    --nestedEventsLeft;
    SendVolumeBroadcast(window, DBT_DEVICEREMOVECOMPLETE, 1u << 5);
  }
  return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
}
}  // namespace

TEST_F(DeviceChangeRobustness, ANestedReportLeavesBothLinesWholeAndInOrder) {
  ResetDrive('Q');
  AddFile('Q', "listed.txt");  // so the listing changes the lower box
  PreviousWindowProc = NestRemovalInChange;
  for (const ControlId box : {编辑框1, 编辑框2}) {
    SetText(Box(编辑框1), "");
    nestingBox = Box(box);
    nestedEventsLeft = 1;
    SendVolumeBroadcast(window_, DBT_DEVICEARRIVAL, UnitMaskOf('Q'));
    EXPECT_EQ(nestedEventsLeft, 0) << box;
    EXPECT_EQ(Text(编辑框1), ArrivalMessage + std::string("Q\r\n") + RemovalMessage + "F\r\n")
        << box;
    EXPECT_EQ(Text(编辑框2), "listed.txt\r\n") << box;
  }
}
