// Places a scan never proposes, whatever the masks and options say: what Windows, installed programs
// and the user's profile need. A protected folder is not entered, a protected file not reported.
#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Where this system keeps what it needs: full paths, each kind possibly under several spellings.
struct KnownFolders {
    std::vector<std::string> windows;       // the Windows folder
    std::vector<std::string> programFiles;  // Program Files and its 32-bit twin
    std::vector<std::string> programData;   // programs' data shared by every user
    // Never searched as a special folder, nor is any folder above one of them.
    std::vector<std::string> profiles{};   // the user's profile, the shared one, the user's application data
    std::vector<std::string> documents{};  // the user's own files (Documents, Desktop, ...): nor any folder in them
};

// What the running system says (its folder functions and the environment).
KnownFolders SystemKnownFolders();
// The source a scan asks once per run; tests put folders of their own in its place.
using KnownFoldersFunction = std::function<KnownFolders()>;
KnownFoldersFunction& KnownFoldersSource();

enum class ProtectedKind {
    KnownFolder,  // a known folder, or the folder `name` inside it, and everything below
    RootFolder,   // a folder of that name at the root of any drive or share, and everything below
    FolderName,   // a folder of that name (or ending in those parts, "Microsoft\Vault") anywhere, and everything below
    RootFile,     // a file of that name at the root of any drive or share
    FileName,     // a file whose name matches the pattern ("*" and "?") anywhere
};
enum class Known { None, Windows, ProgramFiles, ProgramData };

struct ProtectedEntry {
    ProtectedKind kind;
    Known below;  // KnownFolder only
    const char* name;
    const char* reason;
};

// Every protected location with the reason it is left alone.
std::span<const ProtectedEntry> ProtectedTable();

// The table resolved against one set of known folders, folded to lower case once.
class ProtectedPaths {
public:
    explicit ProtectedPaths(const KnownFolders& known);

    // The reason a folder, given by its full path, is protected (it or a folder above it); null when
    // it is not. A path in short (8.3) form or with the \\?\ prefix counts as its long form.
    const char* FolderReason(std::string_view path) const;
    // Likewise for a file: its folder's reason or its own.
    const char* FileReason(std::string_view path) const;

    // The walk's checks, for an entry whose parent is not protected. lowerPath is the entry's full
    // path and lowerName its name, both lower-cased as the scanner folds them; atRoot: the parent is
    // the root of a drive or share.
    const char* FolderEntryReason(std::string_view lowerPath, std::string_view lowerName, bool atRoot) const;
    const char* FileEntryReason(std::string_view lowerName, bool atRoot) const;

private:
    struct Folded {
        std::string text;
        const char* reason;
    };
    void AddKnown(std::string lowerPath, const char* reason);
    const char* ReasonAlong(const std::string& lower) const;

    std::vector<Folded> knownFolders;  // full paths, long and short forms
    std::vector<Folded> rootFolders, folderNames, rootFiles, fileNames;
    std::vector<Folded> folderTails;  // FolderName entries of several parts, each with a leading backslash
    bool fileFirstBytes[256] = {};  // the first bytes of fileNames' patterns, for a quick refusal
};

// The length of the root of a lower-cased or plain full path: "c:", "\\server\share", "\\?\c:" or
// "\\?\unc\server\share"; 0 when it has none.
size_t RootLength(std::string_view path);

// A folder as InFolder takes it: lower case, no trailing backslash ("c:\" gives "c:"), and without a
// root no leading one either ("\$Recycle.Bin" gives "$recycle.bin").
std::string FoldedFolder(std::string_view folder);
// Whether a lower-cased full path is the folder or lies below it, by whole path parts: c:\app holds
// c:\app\x, never c:\apple. A folder without a root stands for those parts anywhere along the path;
// an empty one holds every path. from: a match of such a folder ends at or after it.
bool InFolder(std::string_view lowerPath, std::string_view foldedFolder, size_t from = 0);

// Whether a special folder, all of whose files a scan proposes, must not be searched: it is not a full
// path, or it (its long form, or the folder a link makes of it) is a drive's root, a document folder,
// a folder in one, or a folder that holds a document folder, a profile or a known folder.
bool UnsafeSpecialFolder(std::string_view folder, const KnownFolders& known);
