// Acting on one file and only on it: before a copy, removal or restore, the path is proved to
// still name the plain file meant, reached through plain folders, unchanged since it was seen.
// Every proof is made afresh on an open handle, and the act goes through that handle.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "base/ansi.h"
#include "base/win_handles.h"

// What was seen of a file: its size and last write time (FILETIME as one number).
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// A file the user left checked: why it was found and what the report saw of it (nothing when it
// could not be read, and then it cannot be proved unchanged).
struct CheckedFile {
    std::string reason;
    std::optional<FileStamp> seen;
    bool operator==(const CheckedFile&) const = default;
};
// Full path -> checked file, in the byte order every pass walks.
using CleanFiles = std::map<std::string, CheckedFile, AnsiLess>;

// The stamp of whatever the path names now, read without a handle; nothing when it cannot be read.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

enum class Proof {
    Proven,
    Missing,    // nothing at the path, or its folder is gone
    NotPlain,   // a folder, or a link or junction of any kind
    Elsewhere,  // the handle reached another file: a link on the way, or another letter case
    Changed,    // another size or write time than expected
    InUse,      // another program holds it open
    Denied,     // access denied: read-only, or not ours to touch
};

class ProvenFile {
public:
    ProvenFile() = default;  // proves nothing: Missing
    // Opens path for access (FILE_READ_ATTRIBUTES is always added) without following a link at its
    // end; expected, when given, must match its size and write time. Writers, renames and deletions
    // are shut out while the handle lives, so neither the content nor the path can change under the act.
    ProvenFile(const std::string& path, DWORD access, const FileStamp* expected);

    Proof Result() const { return result; }
    bool Proven() const { return result == Proof::Proven; }
    const FileStamp& Stamp() const { return stamp; }
    HANDLE Handle() const { return file.Get(); }
    // Marks the proven file for deletion; it goes when the handle closes, here.
    bool Remove();
    // Lets others move the file again (the shell's recycle bin takes a path, not a handle).
    void Close();

private:
    UniqueFile file;
    Proof result = Proof::Missing;
    FileStamp stamp;
};

// Whether the final path a handle reports names path itself: the file's own name in exactly its
// letters, the folders without regard to case (as typed, or a short name expanded).
bool FinalPathIs(HANDLE handle, const std::string& path);

enum class CopyResult { Copied, Exists, Failed, Stopped };

// Copies the proven source into a new file at target, never over one that is there (in any letter
// case). Missing folders are made inside plain ones; the new file must land exactly at target.
// A copy cut short is removed; the write time is set last, so a remnant never carries the
// source's. stop is checked between blocks.
CopyResult CopyToNewFile(const ProvenFile& source, const std::string& target, const std::atomic<bool>* stop = nullptr);

// Creates the missing folders of path's folder part (text up to its last backslash), each one only
// inside a proven plain folder. False when a folder on the way is a link, a file or cannot be made.
bool MakePlainFolders(const std::string& path);

// What deleting a tree left behind.
struct TreeRemoval {
    std::size_t removed = 0;
    std::size_t left = 0;  // links, files in use, and the folders that hold them
};

// Deletes a folder and what is in it, walking it: a link or junction is never entered, and where
// it cannot be removed as a link it stays; a file is removed only when it proves plain.
TreeRemoval RemoveTree(const std::string& folder);
