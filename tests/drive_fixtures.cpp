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

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(path.c_str());
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
