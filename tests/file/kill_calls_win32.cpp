// Linked into save_driver.exe: once the program arms it (KOV_ARM=1), every call of the file
// boundary's Win32 table is counted, and before call number KOV_STOP_AT the process ends at once
// (TerminateProcess, as a crash or the task manager would end it).
#include <windows.h>

#include <cstdlib>

#include "win32_calls.h"

namespace {

const kov::detail::Win32Calls real;
long calls = 0;
long stopAt = 0;

void Before() {
    wchar_t armed[4] = {};
    if (stopAt <= 0 || GetEnvironmentVariableW(L"KOV_ARM", armed, 4) == 0 || armed[0] != L'1') return;
    if (++calls == stopAt) TerminateProcess(GetCurrentProcess(), 9);
}

// Each call of the table, counted first.
template <auto Member, typename Result, typename... Arguments>
Result WINAPI Counted(Arguments... arguments) {
    Before();
    return (real.*Member)(arguments...);
}

template <auto Member, typename Result, typename... Arguments>
void Install(Result(WINAPI*&)(Arguments...)) {
    kov::detail::Calls().*Member = &Counted<Member, Result, Arguments...>;
}

const bool installed = [] {
    if (const char* at = std::getenv("KOV_STOP_AT")) stopAt = std::atol(at);
    using kov::detail::Win32Calls;
    Win32Calls& calls = kov::detail::Calls();
    Install<&Win32Calls::CreateFileW>(calls.CreateFileW);
    Install<&Win32Calls::ReadFile>(calls.ReadFile);
    Install<&Win32Calls::WriteFile>(calls.WriteFile);
    Install<&Win32Calls::FlushFileBuffers>(calls.FlushFileBuffers);
    Install<&Win32Calls::SetFileInformationByHandle>(calls.SetFileInformationByHandle);
    Install<&Win32Calls::ReplaceFileW>(calls.ReplaceFileW);
    Install<&Win32Calls::MoveFileExW>(calls.MoveFileExW);
    Install<&Win32Calls::DeleteFileW>(calls.DeleteFileW);
    Install<&Win32Calls::GetNamedSecurityInfoW>(calls.GetNamedSecurityInfoW);
    return true;
}();

}  // namespace
