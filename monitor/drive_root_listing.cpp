#include "monitor/drive_root_listing.h"

#include "shell/main_window.h"
#include "text/texts.h"

void ListDriveRoot(const char* letter) {
  HANDLE search = nullptr;
  std::string name = FindFileName(JoinTexts({letter, ":\\*.*"}).c_str(), search);
  // Emptied only now, so the previous listing stays in view while the drive answers.
  const HWND box = GetDlgItem(MainWindow(), 编辑框2);
  SetText(box, "");
  // The whole listing goes into the box in one append: the edit control pays its
  // update cost per append, which name by name froze the window for seconds on a root
  // of a few thousand files.
  std::string lines;
  while (CompareTexts(name.c_str(), "") != 0) {
    lines += JoinTexts({name.c_str(), "\r\n"});
    name = FindFileName(nullptr, search);
  }
  AppendText(box, {lines.c_str()});
  CloseFileSearch(search);
}

std::string FindFileName(const char* pattern, HANDLE& search) {
  WIN32_FIND_DATAA entry;
  if (pattern != nullptr && *pattern != '\0') {
    CloseFileSearch(search);
    const HANDLE started = FindFirstFileA(pattern, &entry);
    if (started == INVALID_HANDLE_VALUE) return {};
    search = started;
  } else if (search == nullptr) {
    return {};
  } else if (!FindNextFileA(search, &entry)) {
    CloseFileSearch(search);
    return {};
  }
  // Folders, "." and ".." among them, are neither named nor entered.
  while ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (!FindNextFileA(search, &entry)) {
      CloseFileSearch(search);
      return {};
    }
  }
  return entry.cFileName;
}

void CloseFileSearch(HANDLE& search) {
  if (search == nullptr) return;
  FindClose(search);
  search = nullptr;
}
