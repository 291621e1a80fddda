// Building throwaway file trees for scanner tests: files, attributes, times and shortcuts.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, std::uint64_t size = 0);
// The same after making every missing folder along path.
void MakeFileAlong(const std::string& path, std::uint64_t size = 0);
void SetLastAccess(const std::string& path, int daysAgo, int extraHours = 0);
// A shortcut made through the shell link object; an empty target makes one that points nowhere.
bool MakeShortcut(const std::string& shortcut, const std::string& target);

// Under Wine, entries made from the host's side, where a name may hold what Windows refuses (a
// backslash, a colon, a trailing dot). relative separates host folders with '/'; a content of
// nullopt makes a folder. False where there is no host side (real Windows).
bool MakeHostEntry(const std::string& folder, const std::string& relative, std::optional<std::string_view> content);
// Removes folder and everything in it from the host's side: Windows cannot delete what it cannot name.
void RemoveHostTree(const std::string& folder);
// A link at link to the folder target: Windows' own symbolic link, or under Wine 8, which makes
// none, a host link, which Wine shows as a reparse point. False when neither can be made.
bool MakeFolderLink(const std::string& link, const std::string& target);
// A host link at link to the file target, which Wine shows as a plain file. False on real Windows.
bool MakeFileLink(const std::string& link, const std::string& target);

// A free drive letter standing for folder while this lives. Under Wine 8, DefineDosDevice names a
// device that the file functions never reach, so the letter is a link in the prefix's dosdevices
// folder, made and removed from the host's side; on Windows it is DefineDosDevice's.
class ScopedDrive {
public:
    explicit ScopedDrive(const std::string& folder);
    ~ScopedDrive();
    ScopedDrive(const ScopedDrive&) = delete;
    ScopedDrive& operator=(const ScopedDrive&) = delete;

    // "Q:\" or the like; empty when no letter could be made.
    const std::string& Root() const { return root; }

private:
    std::string folder, root, hostLink;
};
