// Windows' attributes of a file on Linux, where its file system keeps them: NTFS through ntfs-3g
// as an extended attribute, FAT through its ioctl. For the POSIX layer, and for the tests that
// set and read them on those file systems.
#pragma once

#include <endian.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>

#include <cstdint>

namespace kov::detail {

inline constexpr std::uint32_t kReadOnlyAttribute = 0x1;
inline constexpr std::uint32_t kHiddenAttribute = 0x2;
inline constexpr const char* kNtfsAttributes = "system.ntfs_attrib_be";

// False where the file system keeps none.
inline bool GetWindowsAttributes(int fd, std::uint32_t& attributes) {
    std::uint32_t bigEndian = 0;
    if (::fgetxattr(fd, kNtfsAttributes, &bigEndian, 4) != 4) return ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0;
    attributes = be32toh(bigEndian);
    return true;
}

inline bool SetWindowsAttributes(int fd, std::uint32_t attributes) {
    const std::uint32_t bigEndian = htobe32(attributes);
    return ::fsetxattr(fd, kNtfsAttributes, &bigEndian, 4, XATTR_REPLACE) == 0 ||
           ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes) == 0;
}

}  // namespace kov::detail
