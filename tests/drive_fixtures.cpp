#include "drive_fixtures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>

std::uint32_t UnitMaskOf(char letter) {
  return 1u << (letter - 'A');
}

std::string HostFolderOf(char letter) {
  const char* drives = std::getenv("VALDRUNE_TEST_DRIVES");
  EXPECT_NE(drives, nullptr) << "the test session maps the drives";
  std::string path = std::string("Z:") + (drives != nullptr ? drives : "") + "/" +
                     static_cast<char>(tolower(letter));
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

namespace {

// Wide, because a name with no ANSI form cannot be deleted by its ANSI spelling.
void RemoveTreeW(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

void RemoveTree(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
      static_cast<int>(wide.size()))));
  RemoveTreeW(wide);
}

void UnmapDrive(char letter) {
  RemoveTree(HostFolderOf(letter));
}

void ResetDrive(char letter) {
  UnmapDrive(letter);
  ASSERT_TRUE(CreateDirectoryA(HostFolderOf(letter).c_str(), nullptr)) << letter;
}

void AddFile(char letter, const std::string& name, DWORD attributes) {
  const std::string path = std::string(1, letter) + ":\\" + name;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    // Wine reports every file as archived as well.
    ASSERT_EQ(GetFileAttributesA(path.c_str()) & attributes, attributes)
        << path << ": attributes not kept";
  }
}

void AddFolder(char letter, const std::string& name) {
  const std::string path = std::string(1, letter) + ":\\" + name;
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}
