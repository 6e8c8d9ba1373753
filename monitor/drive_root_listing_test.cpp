#include "monitor/drive_root_listing.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "monitor/volume_broadcast.h"
#include "tests/drive_fixtures.h"
#include "tests/import_patch.h"
#include "tests/window_test_support.h"

namespace {

// Watches the search calls the listing makes, through this program's own imports.
using FindFirstFileAFunction = HANDLE(WINAPI*)(LPCSTR, LPWIN32_FIND_DATAA);
using FindNextFileAFunction = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAA);
using FindCloseFunction = BOOL(WINAPI*)(HANDLE);
FindFirstFileAFunction realFindFirstFileA;
FindNextFileAFunction realFindNextFileA;
FindCloseFunction realFindClose;

int searchesOpened = 0;
int searchesClosed = 0;
std::set<HANDLE> openSearches;  // only those FindFirstFileA started
int nextCallsBeforeFailure = -1;  // -1: never fail
int nextCallsBeforeRemoval = -1;  // then the drive's folder disappears
std::vector<std::string> patterns;
std::string lowerBoxDuringFirstCall;
std::string upperBoxDuringFirstCall;

HANDLE WINAPI WatchedFindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA entry) {
  patterns.push_back(pattern);
  lowerBoxDuringFirstCall = WindowText(GetDlgItem(MainWindow(), 编辑框2));
  upperBoxDuringFirstCall = WindowText(GetDlgItem(MainWindow(), 编辑框1));
  const HANDLE search = realFindFirstFileA(pattern, entry);
  if (search != INVALID_HANDLE_VALUE) {
    ++searchesOpened;
    openSearches.insert(search);
  }
  return search;
}

BOOL WINAPI WatchedFindNextFileA(HANDLE search, LPWIN32_FIND_DATAA entry) {
  if (nextCallsBeforeFailure == 0) {
    SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  if (nextCallsBeforeFailure > 0) --nextCallsBeforeFailure;
  if (nextCallsBeforeRemoval == 0) {
    nextCallsBeforeRemoval = -1;
    RemoveTree(HostFolderOf('Q'));
  } else if (nextCallsBeforeRemoval > 0) {
    --nextCallsBeforeRemoval;
  }
  return realFindNextFileA(search, entry);
}

BOOL WINAPI WatchedFindClose(HANDLE search) {
  if (openSearches.erase(search) != 0) ++searchesClosed;
  return realFindClose(search);
}

// The names that are not folders, in the order the file system delivers them.
std::string FilesAtRootOf(char letter) {
  std::string lines;
  WIN32_FIND_DATAA entry;
  const HANDLE search = realFindFirstFileA((std::string(1, letter) + ":\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return lines;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      lines += entry.cFileName + std::string("\r\n");
  } while (realFindNextFileA(search, &entry));
  realFindClose(search);
  return lines;
}

}  // namespace

class DriveRootListing : public MainWindowTest {
 protected:
  static void SetUpTestSuite() {
    realFindFirstFileA = reinterpret_cast<FindFirstFileAFunction>(PatchImport(
        "kernel32.dll", "FindFirstFileA", reinterpret_cast<void*>(WatchedFindFirstFileA)));
    realFindNextFileA = reinterpret_cast<FindNextFileAFunction>(PatchImport(
        "kernel32.dll", "FindNextFileA", reinterpret_cast<void*>(WatchedFindNextFileA)));
    realFindClose = reinterpret_cast<FindCloseFunction>(
        PatchImport("kernel32.dll", "FindClose", reinterpret_cast<void*>(WatchedFindClose)));
    ASSERT_NE(realFindFirstFileA, nullptr);
    ASSERT_NE(realFindNextFileA, nullptr);
    ASSERT_NE(realFindClose, nullptr);
  }
  static void TearDownTestSuite() {
    PatchImport("kernel32.dll", "FindFirstFileA", reinterpret_cast<void*>(realFindFirstFileA));
    PatchImport("kernel32.dll", "FindNextFileA", reinterpret_cast<void*>(realFindNextFileA));
    PatchImport("kernel32.dll", "FindClose", reinterpret_cast<void*>(realFindClose));
  }
  void SetUp() override {
    MainWindowTest::SetUp();
    nextCallsBeforeFailure = nextCallsBeforeRemoval = -1;
    ResetDrive('Q');
    searchesOpened = searchesClosed = 0;
    openSearches.clear();
    patterns.clear();
  }
  void TearDown() override {
    EXPECT_EQ(searchesClosed, searchesOpened) << "every search that was opened is closed";
    MainWindowTest::TearDown();
  }
  void Arrive(char letter) { SendVolumeBroadcast(window_, DBT_DEVICEARRIVAL, UnitMaskOf(letter)); }
};

TEST_F(DriveRootListing, ShowsTheFilesAtTheRootOneNamePerLine) {
  // "测试文件.txt" in code page 936: a Chinese name comes back as the same bytes.
  const std::string chineseName = "\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE.txt";
  const struct {
    const char* name;
    std::vector<std::string> files;
    std::vector<DWORD> attributes;
    std::vector<std::string> folders;
  } cases[] = {
      {"two files and a folder", {"a.txt", "README"}, {}, {"docs"}},
      {"hidden and system files",
       {"hidden.txt", "system.sys", "readonly", "archive.zip"},
       {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY,
        FILE_ATTRIBUTE_ARCHIVE},
       {}},
      {"a name in code page 936", {chineseName}, {}, {}},
      {"only folders", {}, {}, {"one", "two"}},
      {"an empty root", {}, {}, {}},
  };
  for (const auto& c : cases) {
    ResetDrive('Q');
    for (std::size_t i = 0; i < c.files.size(); ++i) {
      AddFile('Q', c.files[i], i < c.attributes.size() ? c.attributes[i] : FILE_ATTRIBUTE_NORMAL);
    }
    for (const std::string& folder : c.folders) AddFolder('Q', folder);
    SetText(Box(编辑框2), "previous listing\r\n");
    Arrive('Q');

    const std::string shown = Text(编辑框2);
    EXPECT_EQ(shown, FilesAtRootOf('Q')) << c.name << ": the file system's order";
    std::string names;
    for (const std::string& file : c.files) names += file + "\r\n";
    EXPECT_EQ(shown.size(), names.size()) << c.name;
    for (const std::string& file : c.files) {
      EXPECT_NE(shown.find(file + "\r\n"), std::string::npos) << c.name << ": " << file;
    }
    for (const std::string& folder : c.folders) {
      EXPECT_EQ(shown.find(folder), std::string::npos) << c.name << ": " << folder;
    }
  }
}

TEST_F(DriveRootListing, SearchesTheRootOfTheArrivedDriveWithEveryName) {
  Arrive('Q');
  SendVolumeBroadcast(window_, DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(patterns, (std::vector<std::string>{"Q:\\*.*", "[:\\*.*"}));
}

TEST_F(DriveRootListing, LeavesTheBoxEmptyWhenNothingCanBeListed) {
  const struct {
    const char* name;
    std::uint32_t unitMask;
  } cases[] = {
      {"a letter that names no drive", UnitMaskOf('W')},
      {"a drive whose folder is gone", UnitMaskOf('R')},
      {"no letter at all", 0},
  };
  UnmapDrive('R');
  for (const auto& c : cases) {
    SetText(Box(编辑框2), "previous listing\r\n");
    SendVolumeBroadcast(window_, DBT_DEVICEARRIVAL, c.unitMask);
    EXPECT_EQ(Text(编辑框2), "") << c.name;
  }
}

TEST_F(DriveRootListing, ASecondArrivalReplacesTheListingAndARemovalKeepsIt) {
  AddFile('Q', "first.txt");
  ResetDrive('S');
  AddFile('S', "second.txt");
  patterns.clear();
  Arrive('Q');
  EXPECT_EQ(Text(编辑框2), "first.txt\r\n");
  Arrive('S');
  EXPECT_EQ(Text(编辑框2), "second.txt\r\n");
  SendVolumeBroadcast(window_, DBT_DEVICEREMOVECOMPLETE, UnitMaskOf('S'));
  EXPECT_EQ(Text(编辑框2), "second.txt\r\n");
  EXPECT_EQ(patterns.size(), 2u) << "a removal lists nothing";
}

TEST_F(DriveRootListing, KeepsThePreviousListingInViewWhileTheDriveAnswers) {
  AddFile('Q', "new.txt");
  SetText(Box(编辑框2), "old.txt\r\n");
  Arrive('Q');
  EXPECT_EQ(lowerBoxDuringFirstCall, "old.txt\r\n");
  EXPECT_EQ(upperBoxDuringFirstCall, ArrivalMessage + std::string("Q\r\n"))
      << "the arrival line is in place before the listing starts";
  EXPECT_EQ(Text(编辑框2), "new.txt\r\n");
}

TEST_F(DriveRootListing, KeepsTheNamesFoundBeforeTheSearchFails) {
  for (int i = 0; i < 20; ++i) AddFile('Q', std::to_string(i) + ".txt");
  const std::string all = FilesAtRootOf('Q');
  nextCallsBeforeFailure = 5;  // then the drive stops answering
  Arrive('Q');
  const std::string shown = Text(编辑框2);
  EXPECT_FALSE(shown.empty());
  EXPECT_LT(shown.size(), all.size());
  EXPECT_EQ(all.compare(0, shown.size(), shown), 0) << shown;
}

TEST_F(DriveRootListing, EndsWithTheCaretAfterTheLastNameAndTheEndInView) {
  for (int i = 0; i < 40; ++i) AddFile('Q', "file" + std::to_string(i));
  Arrive('Q');
  const std::string shown = Text(编辑框2);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.substr(shown.size() - 2), "\r\n");
  DWORD start = 0, end = 0;
  SendMessageA(Box(编辑框2), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, shown.size());
  EXPECT_EQ(end, shown.size());
  EXPECT_GT(SendMessageA(Box(编辑框2), EM_GETFIRSTVISIBLELINE, 0, 0), 30);
  SendMessageA(Box(编辑框2), EM_UNDO, 0, 0);
  EXPECT_EQ(Text(编辑框2), shown) << "the listing cannot be undone";
}

TEST_F(DriveRootListing, ListsALargeRootCompletely) {
  const std::string all = FilesAtRootOf('T');
  ASSERT_EQ(std::count(all.begin(), all.end(), '\n'), 20000)
      << "the test session puts 20,000 files on T:";
  Arrive('T');
  EXPECT_TRUE(Text(编辑框2) == all);
}

TEST_F(DriveRootListing, ListsLongNamesAndNamesOutsideTheCodePage) {
  const std::string longest = std::string(251, 'n') + ".txt";  // 255 bytes, the most a name has
  AddFile('Q', longest);
  // Thai letters have no code page 936 form: the ANSI name carries "?" for each.
  const HANDLE file = CreateFileW(L"Q:\\\u0E01\u0E02.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  Arrive('Q');
  const std::string shown = Text(编辑框2);
  EXPECT_NE(shown.find(longest + "\r\n"), std::string::npos);
  EXPECT_NE(shown.find("??.txt\r\n"), std::string::npos) << shown;
  EXPECT_EQ(shown.size(), longest.size() + 2 + std::string("??.txt\r\n").size());
}

TEST_F(DriveRootListing, KeepsWhatItFoundWhenTheDriveVanishesMidListing) {
  for (int i = 0; i < 50; ++i) AddFile('Q', "before" + std::to_string(i));
  const std::string all = FilesAtRootOf('Q');
  nextCallsBeforeRemoval = 5;
  Arrive('Q');
  const std::string shown = Text(编辑框2);
  EXPECT_EQ(all.compare(0, shown.size(), shown), 0) << "whole names, in order: " << shown;
  EXPECT_TRUE(shown.empty() || shown.substr(shown.size() - 2) == "\r\n");
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(DriveRootListing, ListsADriveThatLeftAndCameBackAfresh) {
  AddFile('Q', "before.txt");
  Arrive('Q');
  SendVolumeBroadcast(window_, DBT_DEVICEREMOVECOMPLETE, UnitMaskOf('Q'));
  UnmapDrive('Q');
  ResetDrive('Q');
  AddFile('Q', "after.txt");
  Arrive('Q');
  EXPECT_EQ(Text(编辑框2), "after.txt\r\n");
  EXPECT_EQ(Text(编辑框1), ArrivalMessage + std::string("Q\r\n") + RemovalMessage + "Q\r\n" +
                               ArrivalMessage + "Q\r\n");
}

TEST(FindFileName, ContinuingWithoutASearchFindsNothing) {
  HANDLE search = nullptr;
  EXPECT_EQ(FindFileName(nullptr, search), "");
  EXPECT_EQ(FindFileName("", search), "");
  EXPECT_EQ(search, nullptr);
  CloseFileSearch(search);
  EXPECT_EQ(search, nullptr);
}
