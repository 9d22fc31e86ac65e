// Makes chosen system calls of this test program fail with a chosen error, for the paths of
// the file boundary that a real disk cannot be made to take on demand.
#pragma once

namespace kov::testing {

enum class Call { Openat, Read, Pwrite, Fsync, Renameat, Count };

// After `pass` calls of this kind succeed, the next `times` ones (all when -1) fail with error.
// With onlyFile, only calls on a file whose name ends with it count.
void InjectFailure(Call call, int error, int pass = 0, int times = -1, const char* onlyFile = nullptr);
void ClearFailures();

}  // namespace kov::testing
