// The file boundary: kov.ini in the folder the program was started in, read when the dialog
// opens and saved on OK. Nothing else in the program touches the file.
//
// Contract, written once here:
// - The file is reached through a handle on the starting folder, never through its name, so a
//   long, undecodable or deleted folder name never leads to another folder's file. (On Windows
//   through the folder's name, which Windows keeps from changing while it is the current one.)
// - Reading takes all or nothing: a file that exists but cannot be read completely (not a
//   regular file, no permission, an I/O error, larger than kMaxFileSize, UTF-16 text) leaves
//   the store untouched and says why. Nothing blocks: a FIFO is opened without waiting.
// - Saving never leaves a half-written file: on any failure the file keeps its old bytes.
//   Owner, group, mode, extended attributes (ACLs among them) and hard links are kept; a
//   symbolic link stays a link and its target receives the text; something that is not a
//   regular file, or a regular file without write permission, is never replaced.
// - Reasons are plain words, ready to show.
// - The text is given and read with "\n" line ends; on Windows the file has "\r\n".
#pragma once

#include <cstdint>
#include <string>

#include "configuration_store.h"

namespace kov {

inline constexpr const char* kConfigFileName = "kov.ini";
// Far beyond any real settings file; a larger one is not read.
inline constexpr std::uint64_t kMaxFileSize = 16u << 20;

// The file as it was seen when read: compared again before a save.
struct FileSnapshot {
    int error = 0;  // of looking at it: ENOENT when there was none
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool hashed = false;  // the bytes were read, and hash holds them
    std::uint64_t hash = 0;
    bool operator==(const FileSnapshot&) const = default;
};

enum class OpenOutcome { Read, Missing, Unreadable };

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Missing;
    std::string reason;        // Unreadable: why, in plain words
    bool replaceable = false;  // Unreadable: a regular file, which a save may replace
    ReadReport dropped;        // Read: the lines a save would lose
};

struct SaveResult {
    bool saved = false;
    std::string reason;          // why not, in plain words
    bool fileUnchanged = true;   // when not saved: the file holds its old bytes
};

class ConfigFile {
public:
    // Takes hold of the current folder.
    ConfigFile();
    ~ConfigFile();
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // The file's absolute name when it can be formed (bytes that are not UTF-8 escaped), else
    // "kov.ini in the current folder".
    const std::string& DisplayName() const { return displayName_; }

    // Adds the file's settings to the store, or nothing. A ConfigurationException (out of
    // memory) passes to the caller.
    OpenResult Read(ConfigurationStore& store);
    // Whether the file appeared, vanished, or changed in identity, size, time or bytes since Read.
    bool ChangedSinceRead() const;
    // Replaces the file's contents with text (creating the file when there is none).
    SaveResult Save(const std::string& text);

private:
#ifdef _WIN32
    std::wstring folder_;  // the starting folder's absolute name, with a trailing separator
#else
    int folder_ = -1;
#endif
    int folderError_ = 0;
    std::string displayName_;
    FileSnapshot snapshot_;
};

}  // namespace kov
