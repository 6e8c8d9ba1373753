// The real program as a user and the system meet it: started as a process, sent the
// device-change broadcasts exactly as the system sends them, read from outside.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "drive_fixtures.h"
#include "program_test_support.h"
#include "report_words.h"
#include "shell/main_window.h"

namespace {

void BroadcastVolume(WPARAM event, DWORD unitMask, DWORD deviceType = DBT_DEVTYP_VOLUME) {
  DEV_BROADCAST_VOLUME record = {sizeof record, deviceType, 0, unitMask, DBTF_MEDIA};
  DWORD recipients = BSM_APPLICATIONS;
  BroadcastSystemMessageA(BSF_FORCEIFHUNG | BSF_QUERY, &recipients, WM_DEVICECHANGE, event,
                          reinterpret_cast<LPARAM>(&record));
}

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class Valdrune : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrive('R');
    process_ = StartBesideTests("valdrune.exe");
    ASSERT_NE(process_.hProcess, nullptr);
    window_ = WaitForWindow(process_.dwProcessId, "Valdrune", "Valdrune");
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (process_.hProcess != nullptr) {
      PostMessageA(window_, WM_CLOSE, 0, 0);
      EXPECT_EQ(WaitForExitCode(process_), 0u);
    }
    EndProcess(process_);
  }
  std::string Box(int control) const { return RemoteWindowText(GetDlgItem(window_, control)); }

  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
};

// The screen as 32-bit pixels, top row first.
struct Screenshot {
  int width = 0, height = 0;
  std::vector<RGBQUAD> pixels;
  const RGBQUAD& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Screenshot TakeScreenshot() {
  Screenshot shot;
  shot.width = GetSystemMetrics(SM_CXSCREEN);
  shot.height = GetSystemMetrics(SM_CYSCREEN);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  shot.pixels.resize(static_cast<std::size_t>(shot.width * shot.height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), shot.pixels.data(), &info,
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// Kept beside the test programs as a test artefact, for a person to look at.
void SaveBitmap(const Screenshot& shot, const std::string& path) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = shot.width;
  header.biHeight = -shot.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  const auto pixelBytes = static_cast<DWORD>(shot.pixels.size() * sizeof(RGBQUAD));
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + pixelBytes;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(shot.pixels.data(), pixelBytes, 1, out);
    std::fclose(out);
  }
}

struct PixelCounts {
  int black = 0, red = 0, white = 0, total = 0;
};

PixelCounts CountPixels(const Screenshot& shot, RECT area) {
  PixelCounts counts;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const RGBQUAD& pixel = shot.At(x, y);
      ++counts.total;
      if (pixel.rgbRed < 40 && pixel.rgbGreen < 40 && pixel.rgbBlue < 40) ++counts.black;
      if (pixel.rgbRed > 180 && pixel.rgbGreen < 80 && pixel.rgbBlue < 80) ++counts.red;
      if (pixel.rgbRed > 200 && pixel.rgbGreen > 200 && pixel.rgbBlue > 200) ++counts.white;
    }
  }
  return counts;
}

RECT ScreenRectOfClient(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

TEST_F(Valdrune, ShowsItsWindowCentredWithTwoEmptyBoxesAndAHiddenDriveList) {
  EXPECT_EQ(RemoteWindowText(window_), "Valdrune");
  RECT outer;
  GetWindowRect(window_, &outer);
  const RECT expected = {311, 263, 713, 504};
  EXPECT_TRUE(EqualRect(&outer, &expected))
      << outer.left << "," << outer.top << "," << outer.right << "," << outer.bottom;
  EXPECT_EQ(GetWindowLongPtrA(window_, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x02C80000);

  const struct {
    int id;
    const char* className;
    LONG_PTR style;
    RECT rect;
  } controls[] = {
      {编辑框1, "Edit", 0x44211044, {-2, 0, 398, 72}},
      {编辑框2, "Edit", 0x44211044, {-2, 72, 398, 216}},
      // Created with WS_VSCROLL, which a drop-down list hands on to its list part.
      {驱动器, "ComboBox", 0x44010043, {-248, -120, -148, -100}},
  };
  for (const auto& c : controls) {
    const HWND control = GetDlgItem(window_, c.id);
    ASSERT_NE(control, nullptr) << c.id;
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, c.className), 0) << c.id << " " << className;
    EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE), c.style | WS_VISIBLE) << c.id;
    const RECT rect = RectInParent(control);
    EXPECT_EQ(rect.left, c.rect.left) << c.id;
    EXPECT_EQ(rect.top, c.rect.top) << c.id;
    EXPECT_EQ(rect.right, c.rect.right) << c.id;
    if (c.id != 驱动器) {
      EXPECT_EQ(rect.bottom, c.rect.bottom) << c.id;  // a drop-down list sizes its own height
      EXPECT_EQ(Box(c.id), "") << c.id;
    }
  }
}

TEST_F(Valdrune, ReportsAnArrivedDriveAndListsItsRoot) {
  // "测试.txt" in code page 936.
  const std::string chineseName = "\xB2\xE2\xCA\xD4.txt";
  AddFile('R', "a.txt");
  AddFile('R', "README");
  AddFile('R', "hidden.dat", FILE_ATTRIBUTE_HIDDEN);
  AddFile('R', chineseName);
  AddFolder('R', "docs");
  BroadcastVolume(DBT_DEVICEARRIVAL, UnitMaskOf('R'));

  EXPECT_EQ(FromCodePage936(Box(编辑框1)), ArrivalWords + L"R\r\n");
  const std::string listing = Box(编辑框2);
  for (const std::string& name :
       {std::string("a.txt"), std::string("README"), std::string("hidden.dat"), chineseName}) {
    EXPECT_NE(listing.find(name + "\r\n"), std::string::npos) << name;
  }
  EXPECT_EQ(listing.size(),
            std::string("a.txt\r\nREADME\r\nhidden.dat\r\n").size() + chineseName.size() + 2)
      << listing;
  EXPECT_EQ(listing.find("docs"), std::string::npos);

  const Screenshot shot = TakeScreenshot();
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  SaveBitmap(shot, folder.substr(0, folder.find_last_of('\\') + 1) + "after-arrival.bmp");

  const PixelCounts upper = CountPixels(shot, ScreenRectOfClient(GetDlgItem(window_, 编辑框1)));
  const PixelCounts lower = CountPixels(shot, ScreenRectOfClient(GetDlgItem(window_, 编辑框2)));
  EXPECT_GT(upper.red, 30) << "red report text in the upper box";
  EXPECT_EQ(upper.white, 0);
  EXPECT_GT(lower.white, 30) << "white names in the lower box";
  EXPECT_EQ(lower.red, 0);
  EXPECT_GT(upper.black, upper.total / 2) << "on black";
  EXPECT_GT(lower.black, lower.total / 2) << "on black";
  // Whatever of the client area the boxes leave uncovered is painted black.
  const RECT client = ScreenRectOfClient(window_);
  RECT lowerBox;
  GetWindowRect(GetDlgItem(window_, 编辑框2), &lowerBox);
  if (lowerBox.bottom < client.bottom) {
    const PixelCounts strip =
        CountPixels(shot, {client.left, lowerBox.bottom, client.right, client.bottom});
    EXPECT_EQ(strip.black, strip.total);
  }
}

TEST_F(Valdrune, ReportsRemovalAndReplacesTheListingOnTheNextArrival) {
  AddFile('R', "first.txt");
  ResetDrive('S');
  AddFile('S', "second.txt");
  BroadcastVolume(DBT_DEVICEARRIVAL, UnitMaskOf('R'));
  EXPECT_EQ(Box(编辑框2), "first.txt\r\n");
  BroadcastVolume(DBT_DEVICEREMOVECOMPLETE, UnitMaskOf('R'));
  EXPECT_EQ(Box(编辑框2), "first.txt\r\n") << "a removal keeps the listing";
  BroadcastVolume(DBT_DEVICEARRIVAL, UnitMaskOf('S'));
  EXPECT_EQ(Box(编辑框2), "second.txt\r\n");
  EXPECT_EQ(FromCodePage936(Box(编辑框1)),
            ArrivalWords + L"R\r\n" + RemovalWords + L"R\r\n" + ArrivalWords + L"S\r\n");
}

TEST_F(Valdrune, ChangesNothingForWhatItDoesNotReport) {
  AddFile('R', "kept.txt");
  BroadcastVolume(DBT_DEVICEARRIVAL, UnitMaskOf('R'));
  const std::string upper = Box(编辑框1);

  const struct {
    const char* name;
    WPARAM event;
    DWORD deviceType;
  } ignored[] = {
      {"port record", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT},
      {"query remove", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME},
      {"remove pending", DBT_DEVICEREMOVEPENDING, DBT_DEVTYP_VOLUME},
      {"nodes changed", DBT_DEVNODES_CHANGED, DBT_DEVTYP_VOLUME},
  };
  for (const auto& c : ignored) {
    BroadcastVolume(c.event, UnitMaskOf('R'), c.deviceType);
    EXPECT_EQ(Box(编辑框1), upper) << c.name;
    EXPECT_EQ(Box(编辑框2), "kept.txt\r\n") << c.name;
  }

  const struct {
    const char* name;
    DWORD unitMask;
    const wchar_t* letter;
  } unlisted[] = {{"a letter that names no drive", UnitMaskOf('W'), L"W"}, {"no letter", 0, L"["}};
  std::wstring expected = FromCodePage936(upper);
  for (const auto& c : unlisted) {
    BroadcastVolume(DBT_DEVICEARRIVAL, c.unitMask);
    expected += ArrivalWords + c.letter + L"\r\n";
    EXPECT_EQ(FromCodePage936(Box(编辑框1)), expected) << c.name;
    EXPECT_EQ(Box(编辑框2), "") << c.name;
  }
}

TEST_F(Valdrune, TwoCopiesEachReportTheSameBroadcast) {
  PROCESS_INFORMATION second = StartBesideTests("valdrune.exe");
  const HWND secondWindow = WaitForWindow(second.dwProcessId, "Valdrune", "Valdrune");
  ASSERT_NE(secondWindow, nullptr);
  AddFile('R', "shared.txt");
  BroadcastVolume(DBT_DEVICEARRIVAL, UnitMaskOf('R'));
  for (const HWND window : {window_, secondWindow}) {
    EXPECT_EQ(FromCodePage936(RemoteWindowText(GetDlgItem(window, 编辑框1))),
              ArrivalWords + L"R\r\n");
    EXPECT_EQ(RemoteWindowText(GetDlgItem(window, 编辑框2)), "shared.txt\r\n");
  }
  PostMessageA(secondWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForExitCode(second), 0u);
  EndProcess(second);
}
