/* Loaded before the C library into save_driver: once the program arms it (KOV_ARM=1), it counts
   the calls through which a program touches files, and before call number KOV_STOP_AT it stops
   the process with the signal KOV_SIGNAL (9: killed, 19: stopped, for a copy of the disk to be
   taken meanwhile). Calls made when it is not armed are not counted. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

static long calls;

static void before(void) {
    const char* armed = getenv("KOV_ARM");
    if (armed == NULL || armed[0] != '1') return;
    ++calls;
    const char* at = getenv("KOV_STOP_AT");
    if (at != NULL && calls == atol(at)) {
        const char* how = getenv("KOV_SIGNAL");
        kill(getpid(), how != NULL ? atoi(how) : SIGKILL);
    }
}

/* Reported at exit, so that the test knows how many calls a whole save makes. */
__attribute__((destructor)) static void report(void) {
    const char* to = getenv("KOV_CALLS_FILE");
    if (to == NULL) return;
    int (*real_open)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    const int fd = real_open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    char text[32];
    int length = 0;
    long value = calls;
    char digits[32];
    do digits[length++] = (char)('0' + value % 10); while ((value /= 10) > 0);
    for (int i = 0; i < length; ++i) text[i] = digits[length - 1 - i];
    text[length++] = '\n';
    ssize_t (*real_write)(int, const void*, size_t) = (ssize_t (*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    real_write(fd, text, (size_t)length);
    close(fd);
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

int openat(int folder, const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    before();
    return NEXT(openat)(folder, path, flags, mode);
}
int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    before();
    return NEXT(open)(path, flags, mode);
}
ssize_t read(int fd, void* buffer, size_t size) { before(); return NEXT(read)(fd, buffer, size); }
ssize_t pread(int fd, void* buffer, size_t size, off_t offset) { before(); return NEXT(pread)(fd, buffer, size, offset); }
ssize_t write(int fd, const void* buffer, size_t size) { before(); return NEXT(write)(fd, buffer, size); }
ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    before();
    return NEXT(pwrite)(fd, buffer, size, offset);
}
int fsync(int fd) { before(); return NEXT(fsync)(fd); }
int fdatasync(int fd) { before(); return NEXT(fdatasync)(fd); }
int close(int fd) { before(); return NEXT(close)(fd); }
int renameat(int from_folder, const char* from, int to_folder, const char* to) {
    before();
    return NEXT(renameat)(from_folder, from, to_folder, to);
}
int renameat2(int from_folder, const char* from, int to_folder, const char* to, unsigned int flags) {
    before();
    return NEXT(renameat2)(from_folder, from, to_folder, to, flags);
}
int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
    before();
    return NEXT(linkat)(from_folder, from, to_folder, to, flags);
}
int unlinkat(int folder, const char* name, int flags) { before(); return NEXT(unlinkat)(folder, name, flags); }
int ftruncate(int fd, off_t size) { before(); return NEXT(ftruncate)(fd, size); }
int fallocate(int fd, int mode, off_t offset, off_t size) { before(); return NEXT(fallocate)(fd, mode, offset, size); }
int fchown(int fd, uid_t user, gid_t group) { before(); return NEXT(fchown)(fd, user, group); }
int fchmod(int fd, mode_t mode) { before(); return NEXT(fchmod)(fd, mode); }
int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
    before();
    return NEXT(fsetxattr)(fd, name, value, size, flags);
}
int flock(int fd, int operation) { before(); return NEXT(flock)(fd, operation); }
int mkdir(const char* path, mode_t mode) { before(); return NEXT(mkdir)(path, mode); }
int fstatat(int folder, const char* path, struct stat* status, int flags) {
    before();
    return NEXT(fstatat)(folder, path, status, flags);
}
int fstat(int fd, struct stat* status) { before(); return NEXT(fstat)(fd, status); }
