// Makes the file boundary's calls fail on demand, the same way on every platform: a step of
// reading or saving fails with a fault a disk can have, and the platform words it its own way.
#pragma once

#include <string>

namespace kov::testing {

enum class Step {
    Open,     // opening or creating a file
    Read,
    Write,
    Sync,     // fsync, FlushFileBuffers
    Replace,  // putting a file under another name: renameat, ReplaceFileW, MoveFileExW
};

enum class Fault { DiskFull, IoError, AccessDenied };

// After `pass` calls of the step succeed, the next `times` (all when -1) fail with the fault.
// With onlyFile, only calls on a file whose name ends with it count.
void InjectFailure(Step step, Fault fault, int pass = 0, int times = 1, const char* onlyFile = nullptr);
void ClearFailures();

// The platform's words for a fault, as the boundary reports them.
std::string ReasonOf(Fault fault);

}  // namespace kov::testing
