// Texts are NUL-terminated bytes in the system's ANSI code page. A null pointer is a
// missing text and counts as the empty text everywhere. Texts that an operation makes
// come back as std::string, so freeing them is the caller's scope's job.
#pragma once

#include <initializer_list>
#include <string>

// The bytes of every part, one after another; missing parts add nothing.
std::string JoinTexts(std::initializer_list<const char*> parts);

// -1, 0 or 1, comparing bytes as unsigned values up to the first difference or the end.
int CompareTexts(const char* left, const char* right);
