// Lists the files at the root of one drive in the lower box of MainWindow.
#pragma once

#include <windows.h>

#include <string>

// Replaces the lower box's content with the names of the files, not folders, at the
// root of the drive `letter` names, each followed by "\r\n", in the order the file
// system delivers them. A drive that cannot be listed leaves the box empty.
void ListDriveRoot(const char* letter);

// The next name that is not a directory, or the empty text when there is none. A
// non-empty pattern starts a new search in `search`; a missing or empty one continues
// it. `search` is null while no search is open.
std::string FindFileName(const char* pattern, HANDLE& search);

// Ends the search if one is open.
void CloseFileSearch(HANDLE& search);
