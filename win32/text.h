// UTF-8 and the Windows interface's UTF-16, both ways.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kov::win32 {

inline std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

// The table's texts are Latin-1.
inline std::wstring FromLatin1(const char* text) {
    std::wstring out;
    for (const char* c = text; *c != '\0'; ++c) out += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return out;
}

}  // namespace kov::win32
