#include "import_patch.h"

#include <windows.h>

void* PatchImport(const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* descriptor =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD previousProtection;
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, PAGE_READWRITE,
                     &previousProtection);
      void* previous = reinterpret_cast<void*>(addresses->u1.Function);
      addresses->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&addresses->u1.Function, sizeof addresses->u1.Function, previousProtection,
                     &previousProtection);
      return previous;
    }
  }
  return nullptr;
}
