// Drive letters for tests: the test session maps M: to T: to folders of its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A letter's folder can be emptied, filled, or taken away so the letter names no drive.
std::uint32_t UnitMaskOf(char letter);
void ResetDrive(char letter);
void UnmapDrive(char letter);
void AddFile(char letter, const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
void AddFolder(char letter, const std::string& name);
// The folder behind the letter, by a path that does not go through the letter.
std::string HostFolderOf(char letter);
void RemoveTree(const std::string& path);
