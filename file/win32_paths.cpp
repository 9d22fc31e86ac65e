// Names, special folders and newer functions on Windows.
#include "win32_paths.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <initializer_list>

namespace kov::detail {

namespace {

constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kExtendedUnc = L"\\\\?\\UNC\\";

// Empty where Windows has no known folders (XP).
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    const auto known = Newer().getKnownFolderPath;
    if (known != nullptr && SUCCEEDED(known(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

// Whether name lies inside folder (both extended, folder with its separator).
bool Inside(const std::wstring& name, const std::wstring& folder) {
    return !folder.empty() && name.size() > folder.size() && SameName(std::wstring_view(name).substr(0, folder.size()), folder);
}

template <typename Function>
void Find(Function& function, const wchar_t* module, const char* name) {
    const HMODULE loaded = LoadLibraryW(module);  // these libraries are the system's own
    function = loaded != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                                 : nullptr;
}

}  // namespace

NewerFunctions& Newer() {
    static NewerFunctions functions = [] {
        NewerFunctions found{};
        Find(found.getFinalPathNameByHandle, L"kernel32.dll", "GetFinalPathNameByHandleW");
        Find(found.setFileInformationByHandle, L"kernel32.dll", "SetFileInformationByHandle");
        Find(found.compareStringOrdinal, L"kernel32.dll", "CompareStringOrdinal");
        Find(found.getKnownFolderPath, L"shell32.dll", "SHGetKnownFolderPath");
        return found;
    }();
    return functions;
}

std::wstring Extended(const std::wstring& absolute) {
    if (absolute.starts_with(kExtended)) return absolute;
    if (absolute.starts_with(L"\\\\")) return std::wstring(kExtendedUnc) + absolute.substr(2);
    return std::wstring(kExtended) + absolute;
}

std::wstring Plain(std::wstring_view extended) {
    if (extended.starts_with(kExtendedUnc)) return L"\\\\" + std::wstring(extended.substr(kExtendedUnc.size()));
    if (extended.starts_with(kExtended)) return std::wstring(extended.substr(kExtended.size()));
    return std::wstring(extended);
}

std::wstring FolderOf(const std::wstring& name) { return name.substr(0, name.find_last_of(L'\\') + 1); }

std::wstring LeafOf(const std::wstring& name) { return name.substr(name.find_last_of(L'\\') + 1); }

std::string SystemWords(unsigned long error, std::string_view language) {
    // Asked in that language only: with none named, Windows would answer in its own.
    LANGID asked = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    if (language != "en") {
        if (InterfaceLanguage() != language) return {};
        asked = GetUserDefaultUILanguage();
    }
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, asked, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    return Utf8(text);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (const auto ordinal = Newer().compareStringOrdinal)
        return ordinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    // XP: upper case, character by character, as the file system compares names.
    std::wstring first(a), second(b);
    CharUpperBuffW(first.data(), static_cast<DWORD>(first.size()));
    CharUpperBuffW(second.data(), static_cast<DWORD>(second.size()));
    return first == second;
}

bool IsWindowsFolder(const std::wstring& folder) {
    wchar_t path[MAX_PATH + 1];
    const auto same = [&](UINT length) {
        return length > 0 && length <= MAX_PATH && SameName(folder, WithSeparator(Extended(std::wstring(path, length))));
    };
    return same(GetWindowsDirectoryW(path, MAX_PATH + 1)) || same(GetSystemDirectoryW(path, MAX_PATH + 1)) ||
           same(GetSystemWow64DirectoryW(path, MAX_PATH + 1));
}

std::wstring LocalAppData() {
    std::wstring folder = KnownFolder(FOLDERID_LocalAppData);
    wchar_t path[MAX_PATH];
    if (folder.empty() && SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path))) folder = path;
    return WithSeparator(folder);
}

std::wstring VirtualStoreName(const std::wstring& name) {
    const std::wstring local = KnownFolder(FOLDERID_LocalAppData);  // none on XP, which virtualizes nothing
    if (local.empty() || name.starts_with(kExtendedUnc)) return {};
    for (const KNOWNFOLDERID* root :
         {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows, &FOLDERID_ProgramData}) {
        const std::wstring folder = KnownFolder(*root);
        if (folder.empty() || !Inside(name, WithSeparator(Extended(folder)))) continue;
        // The path without its drive ("C:\"), below the store.
        const std::wstring plain = Plain(name);
        return WithSeparator(Extended(local)) + L"VirtualStore\\" + plain.substr(plain.find(L'\\') + 1);
    }
    return {};
}

}  // namespace kov::detail
