// What the Win32 layer asks of Windows beyond its file calls: names in the extended "\\?\" form
// that lifts the 260-character limit, the folders a settings file must never be edited in, the
// copy of a file that Windows' file virtualization keeps for old 32-bit programs (the copy such a
// game reads and writes), and the functions newer than Windows XP SP3, looked up when first
// wanted so that one kovconfig.exe starts on every Windows from XP on: each is null where the
// system lacks it, and the caller takes XP's way.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "win32_text.h"

namespace kov::detail {

// Declared here, as XP's headers (_WIN32_WINNT 0x0501) do not.
struct FileAllocationInfo {
    LARGE_INTEGER allocationSize;
};
inline constexpr int kFileAllocationInfo = 5;  // FILE_INFO_BY_HANDLE_CLASS
inline constexpr DWORD kFileNameNormalizedDosVolume = 0;  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS

struct NewerFunctions {
    DWORD(WINAPI* getFinalPathNameByHandle)(HANDLE file, LPWSTR path, DWORD size, DWORD flags);
    BOOL(WINAPI* setFileInformationByHandle)(HANDLE file, int kind, LPVOID information, DWORD size);
    int(WINAPI* compareStringOrdinal)(LPCWCH a, int aLength, LPCWCH b, int bLength, BOOL ignoreCase);
    HRESULT(WINAPI* getKnownFolderPath)(const GUID& id, DWORD flags, HANDLE token, PWSTR* path);
};
// Looked up when first wanted. The tests empty it to run as Windows XP would.
NewerFunctions& Newer();

// An absolute name in the extended form ("\\?\C:\...", "\\?\UNC\server\share\..."), as it is
// when it already has it.
std::wstring Extended(const std::wstring& absolute);
// The name as a player writes it: without the extended prefix.
std::wstring Plain(std::wstring_view extended);
// The folder of a file's name, with its trailing separator; and the file's own name.
std::wstring FolderOf(const std::wstring& name);
std::wstring LeafOf(const std::wstring& name);
// The system's own words for an error code in the language of that code ("en", or the user's
// interface language), without the trailing period and line end; empty where it has none.
std::string SystemWords(unsigned long error, std::string_view language);
// Whether two names are the same name, as Windows compares them (case does not count).
bool SameName(std::wstring_view a, std::wstring_view b);

// The Windows folder or one of its system folders: never the game's (a program started where
// its folder could not be handed over starts here).
bool IsWindowsFolder(const std::wstring& folder);

// The user's own application data folder (%LOCALAPPDATA%), with its separator; empty when there is none.
std::wstring LocalAppData();

// Where Windows keeps an old 32-bit program's copy of a file it may not write: for a name under
// Program Files, Program Files (x86), the Windows folder or ProgramData, the same path below
// %LOCALAPPDATA%\VirtualStore; empty for a name anywhere else, and on XP.
std::wstring VirtualStoreName(const std::wstring& name);

}  // namespace kov::detail
