// The calls are defined in the test program itself, which puts them in front of the C
// library's for every caller in it; each passes on to the next definition unless armed.
#include "fail_injection.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>

#include "fault_plan.h"
#include "faults.h"

namespace kov::testing {
namespace {

using Plan = FaultPlan<char, int>;
Plan plans[static_cast<int>(Call::Count)];

// The name of the file a descriptor is open on, as the kernel tells it.
std::string NameOf(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

bool Fails(Call call, std::string_view file) {
    Plan& plan = plans[static_cast<int>(call)];
    if (!plan.Fails(file)) return false;
    errno = plan.error;
    return true;
}

bool Fails(Call call, int fd) {
    const Plan& plan = plans[static_cast<int>(call)];
    return plan.armed && Fails(call, plan.WantsName() ? NameOf(fd) : std::string());
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int ErrorOf(Fault fault) { return fault == Fault::DiskFull ? ENOSPC : fault == Fault::IoError ? EIO : EACCES; }

}  // namespace

void InjectFailure(Call call, int error, int pass, int times, const char* onlyFile) {
    plans[static_cast<int>(call)] = {true, error, pass, times, onlyFile != nullptr ? onlyFile : ""};
}

void ClearFailures() {
    for (Plan& plan : plans) plan = {};
}

// The platform-neutral faults on these calls.
void InjectFailure(Step step, Fault fault, int pass, int times, const char* onlyFile) {
    static constexpr Call kCalls[] = {Call::Openat, Call::Read, Call::Pwrite, Call::Fsync, Call::Renameat};
    InjectFailure(kCalls[static_cast<int>(step)], ErrorOf(fault), pass, times, onlyFile);
}

std::string ReasonOf(Fault fault) { return std::strerror(ErrorOf(fault)); }

}  // namespace kov::testing

using kov::testing::Call;
using kov::testing::Fails;

extern "C" {

int openat(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (Fails(Call::Openat, std::string_view(path))) return -1;
    static const auto next = kov::testing::Next<int (*)(int, const char*, int, ...)>("openat");
    return next(folder, path, flags, mode);
}

ssize_t read(int fd, void* buffer, size_t size) {
    if (Fails(Call::Read, fd)) return -1;
    static const auto next = kov::testing::Next<ssize_t (*)(int, void*, size_t)>("read");
    return next(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    if (Fails(Call::Pwrite, fd)) return -1;
    static const auto next = kov::testing::Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return next(fd, buffer, size, offset);
}

int fsync(int fd) {
    if (Fails(Call::Fsync, fd)) return -1;
    static const auto next = kov::testing::Next<int (*)(int)>("fsync");
    return next(fd);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (Fails(Call::Renameat, std::string_view(to))) return -1;
    static const auto next = kov::testing::Next<int (*)(int, const char*, int, const char*)>("renameat");
    return next(fromFolder, from, toFolder, to);
}

}  // extern "C"
