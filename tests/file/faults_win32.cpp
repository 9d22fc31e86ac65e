// Faults on Windows: the file boundary's table of Win32 calls gets wrappers that fail when armed
// and otherwise pass on to the real calls.
#include <array>
#include <string>
#include <string_view>

#include "fault_plan.h"
#include "faults.h"
#include "win32_calls.h"

namespace kov::testing {
namespace {

using Plan = FaultPlan<wchar_t, DWORD>;
std::array<Plan, 5> plans;
const detail::Win32Calls real;  // the table as the boundary starts with it

DWORD ErrorOf(Fault fault) {
    return fault == Fault::DiskFull ? ERROR_DISK_FULL : fault == Fault::IoError ? ERROR_IO_DEVICE : ERROR_ACCESS_DENIED;
}

std::wstring NameOf(HANDLE file) {
    wchar_t name[4096];
    const DWORD length = GetFinalPathNameByHandleW(file, name, 4096, 0);
    return length > 0 && length < 4096 ? std::wstring(name, length) : std::wstring();
}

bool Fails(Step step, std::wstring_view file) {
    Plan& plan = plans[static_cast<std::size_t>(step)];
    if (!plan.Fails(file)) return false;
    SetLastError(plan.error);
    return true;
}

bool Fails(Step step, HANDLE file) {
    const Plan& plan = plans[static_cast<std::size_t>(step)];
    return plan.armed && Fails(step, plan.WantsName() ? NameOf(file) : std::wstring());
}

HANDLE WINAPI CreateFileFaulty(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE model) {
    if (Fails(Step::Open, std::wstring_view(name))) return INVALID_HANDLE_VALUE;
    return real.CreateFileW(name, access, share, security, disposition, flags, model);
}

BOOL WINAPI ReadFileFaulty(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    if (Fails(Step::Read, file)) return FALSE;
    return real.ReadFile(file, buffer, size, done, overlapped);
}

BOOL WINAPI WriteFileFaulty(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped) {
    if (Fails(Step::Write, file)) return FALSE;
    return real.WriteFile(file, buffer, size, done, overlapped);
}

BOOL WINAPI FlushFaulty(HANDLE file) {
    if (Fails(Step::Sync, file)) return FALSE;
    return real.FlushFileBuffers(file);
}

BOOL WINAPI ReplaceFaulty(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
                          LPVOID reserved) {
    if (Fails(Step::Replace, std::wstring_view(replaced))) return FALSE;
    return real.ReplaceFileW(replaced, replacement, backup, flags, exclude, reserved);
}

BOOL WINAPI MoveFaulty(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (to != nullptr && Fails(Step::Replace, std::wstring_view(to))) return FALSE;
    return real.MoveFileExW(from, to, flags);
}

void Install() {
    detail::Win32Calls& calls = detail::Calls();
    calls.CreateFileW = CreateFileFaulty;
    calls.ReadFile = ReadFileFaulty;
    calls.WriteFile = WriteFileFaulty;
    calls.FlushFileBuffers = FlushFaulty;
    calls.ReplaceFileW = ReplaceFaulty;
    calls.MoveFileExW = MoveFaulty;
}

}  // namespace

void InjectFailure(Step step, Fault fault, int pass, int times, const char* onlyFile) {
    Install();
    std::wstring only;
    for (const char* c = onlyFile; c != nullptr && *c != '\0'; ++c) only += static_cast<wchar_t>(*c);
    plans[static_cast<std::size_t>(step)] = {true, ErrorOf(fault), pass, times, only};
}

void ClearFailures() {
    for (Plan& plan : plans) plan = {};
}

std::string ReasonOf(Fault fault) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, ErrorOf(fault), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    std::string out;
    for (wchar_t c : text) out += static_cast<char>(c);  // the system's English words are ASCII
    return out;
}

}  // namespace kov::testing
