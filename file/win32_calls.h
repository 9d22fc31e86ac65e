// The Win32 calls through which the file boundary touches the disk, gathered in one table so
// that tests can make any of them fail the way a disk, a virus scanner or the game would.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <aclapi.h>

namespace kov::detail {

struct Win32Calls {
    decltype(&::CreateFileW) CreateFileW = ::CreateFileW;
    decltype(&::ReadFile) ReadFile = ::ReadFile;
    decltype(&::WriteFile) WriteFile = ::WriteFile;
    decltype(&::FlushFileBuffers) FlushFileBuffers = ::FlushFileBuffers;
    decltype(&::SetFileInformationByHandle) SetFileInformationByHandle = ::SetFileInformationByHandle;
    decltype(&::ReplaceFileW) ReplaceFileW = ::ReplaceFileW;
    decltype(&::MoveFileExW) MoveFileExW = ::MoveFileExW;
    decltype(&::DeleteFileW) DeleteFileW = ::DeleteFileW;
    decltype(&::GetNamedSecurityInfoW) GetNamedSecurityInfoW = ::GetNamedSecurityInfoW;
};

// The table every call of the boundary goes through.
Win32Calls& Calls();

}  // namespace kov::detail
