// Redirects one of this test program's own imports, so a test can watch or fail the
// platform calls the program's code makes, without a seam in that code.
#pragma once

// Points this module's import of `function` from `dll` at `replacement` and returns
// what it pointed at before, or null when the module does not import it.
void* PatchImport(const char* dll, const char* function, void* replacement);
