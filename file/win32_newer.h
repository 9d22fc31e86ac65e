// The Windows functions newer than XP SP3 that the Win32 layer uses, looked up when first
// wanted so that one kovconfig.exe starts on every Windows from XP on: each is null where the
// system lacks it, and the layer then takes XP's way.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace kov::detail {

struct NewerFunctions {
    DWORD(WINAPI* getFinalPathNameByHandle)(HANDLE file, LPWSTR path, DWORD size, DWORD flags);
    BOOL(WINAPI* setFileInformationByHandle)(HANDLE file, int kind, LPVOID information, DWORD size);
    int(WINAPI* compareStringOrdinal)(LPCWCH a, int aLength, LPCWCH b, int bLength, BOOL ignoreCase);
    HRESULT(WINAPI* getKnownFolderPath)(const GUID& id, DWORD flags, HANDLE token, PWSTR* path);
};
// The tests empty it to run as Windows XP would.
NewerFunctions& Newer();

}  // namespace kov::detail
