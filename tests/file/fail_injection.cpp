// The calls are defined in the test program itself, which puts them in front of the C
// library's for every caller in it; each passes on to the next definition unless armed.
#include "fail_injection.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

namespace kov::testing {
namespace {

struct Plan {
    bool armed = false;
    int error = 0;
    int pass = 0;
    int times = 0;
};
Plan plans[static_cast<int>(Call::Count)];

bool Fails(Call call) {
    Plan& plan = plans[static_cast<int>(call)];
    if (!plan.armed) return false;
    if (plan.pass > 0) {
        --plan.pass;
        return false;
    }
    if (plan.times == 0) return false;
    if (plan.times > 0) --plan.times;
    errno = plan.error;
    return true;
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

void InjectFailure(Call call, int error, int pass, int times) {
    plans[static_cast<int>(call)] = {true, error, pass, times};
}

void ClearFailures() {
    for (Plan& plan : plans) plan = {};
}

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
    if (Fails(Call::Openat)) return -1;
    static const auto next = kov::testing::Next<int (*)(int, const char*, int, ...)>("openat");
    return next(folder, path, flags, mode);
}

ssize_t read(int fd, void* buffer, size_t size) {
    if (Fails(Call::Read)) return -1;
    static const auto next = kov::testing::Next<ssize_t (*)(int, void*, size_t)>("read");
    return next(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    if (Fails(Call::Pwrite)) return -1;
    static const auto next = kov::testing::Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return next(fd, buffer, size, offset);
}

int fsync(int fd) {
    if (Fails(Call::Fsync)) return -1;
    static const auto next = kov::testing::Next<int (*)(int)>("fsync");
    return next(fd);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (Fails(Call::Renameat)) return -1;
    static const auto next = kov::testing::Next<int (*)(int, const char*, int, const char*)>("renameat");
    return next(fromFolder, from, toFolder, to);
}

}  // extern "C"
