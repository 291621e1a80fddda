#include "scan/protected_paths.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <iterator>

#include "base/ansi.h"
#include "base/program_paths.h"
#include "base/win_handles.h"
#include "scan/wildcard.h"

namespace {

using enum ProtectedKind;

constexpr char kBootFile[] = "Starts Windows: a boot file";
constexpr char kOtherWindows[] = "Another Windows installation on this drive, or this one seen from another system";
constexpr char kUpgrade[] = "A Windows upgrade or repair under way, or kept for going back";
constexpr char kRecycleBin[] = "The recycle bin: emptied as a whole, never file by file";
constexpr char kVersionControl[] = "A version-control record: without it a project's history is lost";
constexpr char kSecrets[] = "A user's keys and saved passwords: without them encrypted files and sign-ins are lost";

constexpr ProtectedEntry kTable[] = {
    {KnownFolder, Known::Windows, "",
     "Windows itself: its programs, drivers, settings, component store and its own temporary folder"},
    {KnownFolder, Known::ProgramFiles, "", "Installed programs"},
    {KnownFolder, Known::ProgramData, "Microsoft",
     "Windows' data for every user: machine keys, security definitions, search index, error reports"},
    {KnownFolder, Known::ProgramData, "Package Cache", "Installers kept so that programs can be repaired or removed"},
    {RootFolder, Known::None, "Windows", kOtherWindows},
    {RootFolder, Known::None, "Program Files", kOtherWindows},
    {RootFolder, Known::None, "Program Files (x86)", kOtherWindows},
    {RootFolder, Known::None, "Boot", "Windows' start-up settings (the boot configuration)"},
    {RootFolder, Known::None, "EFI", "The boot loaders the firmware starts"},
    {RootFolder, Known::None, "Recovery", "The recovery environment that repairs Windows when it cannot start"},
    {RootFolder, Known::None, "Config.Msi", "Undo files of an installation under way"},
    {RootFolder, Known::None, "$Windows.~BT", kUpgrade},
    {RootFolder, Known::None, "$Windows.~WS", kUpgrade},
    {RootFolder, Known::None, "$WinREAgent", kUpgrade},
    {RootFolder, Known::None, "$SysReset", kUpgrade},
    {RootFolder, Known::None, "Windows.old", kUpgrade},
    {RootFolder, Known::None, "MSOCache", "Installers kept so that programs can be repaired or removed"},
    {FolderName, Known::None, "$Recycle.Bin", kRecycleBin},
    {FolderName, Known::None, "RECYCLER", kRecycleBin},
    {FolderName, Known::None, "RECYCLED", kRecycleBin},
    {FolderName, Known::None, "System Volume Information", "Restore points, shadow copies and the drive's index"},
    // Under a profile's AppData\Roaming and AppData\Local, whoever's profile and wherever it lies.
    {FolderName, Known::None, "Microsoft\\Protect", kSecrets},
    {FolderName, Known::None, "Microsoft\\Credentials", kSecrets},
    {FolderName, Known::None, "Microsoft\\Crypto", kSecrets},
    {FolderName, Known::None, "Microsoft\\SystemCertificates", "A user's certificates"},
    {FolderName, Known::None, "Microsoft\\Vault", kSecrets},
    {FolderName, Known::None, "Microsoft\\Windows\\Start Menu", "A user's programs in the Start menu"},
    {FolderName, Known::None, "Microsoft\\Internet Explorer\\Quick Launch",
     "A user's taskbar and quick-launch shortcuts"},
    {FolderName, Known::None, ".git", kVersionControl},
    {FolderName, Known::None, ".svn", kVersionControl},
    {FolderName, Known::None, ".hg", kVersionControl},
    {FolderName, Known::None, ".bzr", kVersionControl},
    {FolderName, Known::None, "CVS", kVersionControl},
    {RootFile, Known::None, "pagefile.sys", "Windows' page file (virtual memory), in use while Windows runs"},
    {RootFile, Known::None, "swapfile.sys", "Windows' swap file for apps, in use while Windows runs"},
    {RootFile, Known::None, "hiberfil.sys", "The hibernation file: the memory Windows wakes up with"},
    {RootFile, Known::None, "DumpStack.log", "Kept open by Windows to write crash dumps"},
    {RootFile, Known::None, "DumpStack.log.tmp", "Kept open by Windows to write crash dumps"},
    {RootFile, Known::None, "bootmgr", kBootFile},
    {RootFile, Known::None, "BOOTNXT", kBootFile},
    {RootFile, Known::None, "bootsect.bak", kBootFile},
    {RootFile, Known::None, "boot.ini", kBootFile},
    {RootFile, Known::None, "ntldr", kBootFile},
    {RootFile, Known::None, "NTDETECT.COM", kBootFile},
    {RootFile, Known::None, "io.sys", kBootFile},
    {RootFile, Known::None, "msdos.sys", kBootFile},
    {RootFile, Known::None, "config.sys", kBootFile},
    {RootFile, Known::None, "autoexec.bat", kBootFile},
    {FileName, Known::None, "ntuser.dat*", "A user's registry settings and their transaction logs"},
    {FileName, Known::None, "ntuser.ini", "A user's profile settings"},
    {FileName, Known::None, "ntuser.pol", "A user's policy settings"},
    {FileName, Known::None, "UsrClass.dat*", "A user's file-type and Explorer settings and their transaction logs"},
    {FileName, Known::None, ".git", "Points a submodule or extra working tree at its repository's records"},
    {FileName, Known::None, "desktop.ini", "A folder's own name, icon and look in Explorer"},
};

void AddFolder(std::vector<std::string>& to, std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    if (path.empty()) return;
    std::string lower = ToLowerAnsi(path);
    if (std::none_of(to.begin(), to.end(), [&](const std::string& known) { return ToLowerAnsi(known) == lower; }))
        to.push_back(std::move(path));
}

void AddShellFolder(std::vector<std::string>& to, int csidl) {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) AddFolder(to, path);
}

void AddKnownFolder(std::vector<std::string>& to, REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) AddFolder(to, FromWide(path));
    CoTaskMemFree(path);
}

// The environment only adds to what the system says: a changed variable can protect more, never less.
void AddEnvironmentFolder(std::vector<std::string>& to, const char* name) {
    char path[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(to, path);
}

std::string WithoutTrailingSeparators(std::string_view path) {
    size_t keep = path.size();
    while (keep > 0 && path[keep - 1] == '\\' && keep - 1 >= RootLength(path) && keep - 1 > 0) --keep;
    return std::string(path.substr(0, keep));
}

std::string FoldedPath(std::string_view path) { return ToLowerAnsi(WithoutTrailingSeparators(path)); }

// The long form of a path; empty when it has none other or cannot be read.
std::string LongForm(std::string_view path) {
    std::string given(path);
    char buffer[32768];
    DWORD length = GetLongPathNameA(given.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return {};
    std::string full(buffer, length);
    return full == given ? std::string() : full;
}

std::string ShortForm(const std::string& path) {
    char buffer[32768];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

// The folder a path names once every link on the way is followed; empty when it cannot be opened.
std::string FinalForm(std::string_view path) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return {};
    std::wstring resolved(32768, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file.Get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= resolved.size()) return {};
    resolved.resize(length);
    if (resolved.starts_with(L"\\\\?\\UNC\\")) return FromWide(L"\\\\" + resolved.substr(8));
    return FromWide(resolved.starts_with(L"\\\\?\\") ? resolved.substr(4) : resolved);
}

const char* ReasonIn(const auto& folded, std::string_view text) {
    for (const auto& entry : folded)
        if (entry.text == text) return entry.reason;
    return nullptr;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsWithFolded(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

// "server\share" at the start of text: its length, or 0 when either part is missing.
size_t ShareLength(std::string_view text) {
    size_t server = text.find('\\');
    if (server == 0 || server == std::string_view::npos || server + 1 >= text.size()) return 0;
    size_t share = text.find('\\', server + 1);
    if (share == server + 1) return 0;
    return share == std::string_view::npos ? text.size() : share;
}

}  // namespace

size_t RootLength(std::string_view path) {
    size_t prefix = 0;
    if (StartsWithFolded(path, "\\\\?\\unc\\")) {
        size_t share = ShareLength(path.substr(8));
        return share ? 8 + share : 0;
    }
    if (StartsWithFolded(path, "\\\\?\\") || StartsWithFolded(path, "\\\\.\\"))
        prefix = 4;
    else if (StartsWithFolded(path, "\\\\")) {
        size_t share = ShareLength(path.substr(2));
        return share ? 2 + share : 0;
    }
    if (path.size() >= prefix + 2 && IsLetter(path[prefix]) && path[prefix + 1] == ':') return prefix + 2;
    return 0;
}

std::span<const ProtectedEntry> ProtectedTable() { return kTable; }

KnownFolders SystemKnownFolders() {
    KnownFolders known;
    char path[MAX_PATH] = {};
    UINT length = GetSystemWindowsDirectoryA(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(known.windows, path);
    length = GetWindowsDirectoryA(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) AddFolder(known.windows, path);
    AddEnvironmentFolder(known.windows, "SystemRoot");
    AddEnvironmentFolder(known.windows, "windir");
    AddShellFolder(known.programFiles, CSIDL_PROGRAM_FILES);
    AddShellFolder(known.programFiles, CSIDL_PROGRAM_FILESX86);
    AddEnvironmentFolder(known.programFiles, "ProgramFiles");
    AddEnvironmentFolder(known.programFiles, "ProgramFiles(x86)");
    AddEnvironmentFolder(known.programFiles, "ProgramW6432");
    AddShellFolder(known.programData, CSIDL_COMMON_APPDATA);
    AddEnvironmentFolder(known.programData, "ProgramData");
    for (REFKNOWNFOLDERID id : {FOLDERID_Profile, FOLDERID_Public, FOLDERID_RoamingAppData, FOLDERID_LocalAppData,
                                FOLDERID_LocalAppDataLow})
        AddKnownFolder(known.profiles, id);
    for (const char* name : {"USERPROFILE", "PUBLIC", "APPDATA", "LOCALAPPDATA"})
        AddEnvironmentFolder(known.profiles, name);
    for (REFKNOWNFOLDERID id :
         {FOLDERID_Documents, FOLDERID_Desktop, FOLDERID_Pictures, FOLDERID_Music, FOLDERID_Videos, FOLDERID_Downloads,
          FOLDERID_SkyDrive, FOLDERID_PublicDocuments, FOLDERID_PublicDesktop, FOLDERID_PublicPictures,
          FOLDERID_PublicMusic, FOLDERID_PublicVideos, FOLDERID_PublicDownloads})
        AddKnownFolder(known.documents, id);
    // Where a document folder is a link (under Wine, to the home folder), its target too.
    for (size_t i = 0, count = known.documents.size(); i < count; ++i)
        AddFolder(known.documents, FinalForm(known.documents[i]));
    return known;
}

KnownFoldersFunction& KnownFoldersSource() {
    static KnownFoldersFunction source = SystemKnownFolders;
    return source;
}

ProtectedPaths::ProtectedPaths(const KnownFolders& known) {
    auto foldersOf = [&](Known which) -> const std::vector<std::string>& {
        return which == Known::Windows ? known.windows : which == Known::ProgramFiles ? known.programFiles
                                                                                      : known.programData;
    };
    for (const ProtectedEntry& entry : kTable) {
        const std::string name = ToLowerAnsi(entry.name);
        switch (entry.kind) {
            case KnownFolder:
                for (const std::string& folder : foldersOf(entry.below)) {
                    std::string full = WithoutTrailingSeparators(folder);
                    if (RootLength(full) == 0) continue;  // a relative path would protect wherever the walk is
                    if (!name.empty()) full += '\\' + std::string(entry.name);
                    // The walk builds its paths from the folder it was given, in whichever form.
                    for (const std::string& form : {full, ShortForm(full), LongForm(full)}) {
                        if (form.empty()) continue;
                        const std::string lower = ToLowerAnsi(form);
                        AddKnown(lower, entry.reason);
                        if (RootLength(lower) == 2) AddKnown("\\\\?\\" + lower, entry.reason);  // c:\x as \\?\c:\x
                    }
                }
                break;
            case RootFolder: rootFolders.push_back({name, entry.reason}); break;
            case FolderName:
                if (name.find('\\') == std::string::npos)
                    folderNames.push_back({name, entry.reason});
                else
                    folderTails.push_back({'\\' + name, entry.reason});
                break;
            case RootFile: rootFiles.push_back({name, entry.reason}); break;
            case FileName:
                fileNames.push_back({name, entry.reason});
                fileFirstBytes[static_cast<unsigned char>(name.front())] = true;
                break;
        }
    }
}

void ProtectedPaths::AddKnown(std::string lowerPath, const char* reason) {
    if (!ReasonIn(knownFolders, lowerPath)) knownFolders.push_back({std::move(lowerPath), reason});
}

const char* ProtectedPaths::FolderEntryReason(std::string_view lowerPath, std::string_view lowerName,
                                              bool atRoot) const {
    if (const char* reason = ReasonIn(folderNames, lowerName)) return reason;
    for (const Folded& tail : folderTails)
        if (lowerPath.ends_with(tail.text)) return tail.reason;
    if (atRoot)
        if (const char* reason = ReasonIn(rootFolders, lowerName)) return reason;
    return ReasonIn(knownFolders, lowerPath);
}

const char* ProtectedPaths::FileEntryReason(std::string_view lowerName, bool atRoot) const {
    if (atRoot)
        if (const char* reason = ReasonIn(rootFiles, lowerName)) return reason;
    if (lowerName.empty() || !fileFirstBytes[static_cast<unsigned char>(lowerName.front())]) return nullptr;
    for (const Folded& pattern : fileNames)
        if (MatchWildcard(pattern.text, lowerName)) return pattern.reason;
    return nullptr;
}

// Each folder along a folded full path, from the one below the root down to the path itself.
const char* ProtectedPaths::ReasonAlong(const std::string& lower) const {
    const size_t root = RootLength(lower);
    size_t start = root;
    while (start < lower.size()) {
        if (lower[start] == '\\') ++start;
        size_t end = lower.find('\\', start);
        if (end == std::string::npos) end = lower.size();
        if (end > start) {
            const bool atRoot = root > 0 && start == root + 1;
            std::string_view name(lower.data() + start, end - start);
            if (const char* reason = FolderEntryReason(std::string_view(lower).substr(0, end), name, atRoot))
                return reason;
        }
        start = end;
    }
    return nullptr;
}

const char* ProtectedPaths::FolderReason(std::string_view path) const {
    const std::string folded = FoldedPath(path);
    if (RootLength(folded) == folded.size()) return nullptr;  // a root ("C:" alone would mean its current folder)
    if (const char* reason = ReasonAlong(folded)) return reason;
    std::string longForm = LongForm(path);
    return longForm.empty() ? nullptr : ReasonAlong(FoldedPath(longForm));
}

const char* ProtectedPaths::FileReason(std::string_view path) const {
    const std::string trimmed = WithoutTrailingSeparators(path);
    const size_t separator = trimmed.rfind('\\');
    if (separator == std::string::npos || separator + 1 >= trimmed.size()) return nullptr;
    const std::string folder = trimmed.substr(0, separator);
    if (const char* reason = FolderReason(folder)) return reason;
    const bool atRoot = RootLength(folder) == folder.size();
    return FileEntryReason(ToLowerAnsi(std::string_view(trimmed).substr(separator + 1)), atRoot);
}

std::string FoldedFolder(std::string_view folder) {
    std::string folded = FoldedPath(folder);
    std::replace(folded.begin(), folded.end(), '/', '\\');
    if (RootLength(folded) == 0) folded.erase(0, folded.find_first_not_of('\\'));
    return folded;
}

bool InFolder(std::string_view lowerPath, std::string_view foldedFolder, size_t from) {
    if (foldedFolder.empty()) return true;
    auto endsPart = [&](size_t end) { return end == lowerPath.size() || lowerPath[end] == '\\'; };
    if (RootLength(foldedFolder) > 0)
        return lowerPath.starts_with(foldedFolder) && endsPart(foldedFolder.size());
    // UTF-8 never matches in the middle of a character, so a byte search is safe.
    size_t start = from > foldedFolder.size() ? from - foldedFolder.size() : 0;
    for (size_t at; (at = lowerPath.find(foldedFolder, start)) != std::string_view::npos; start = at + 1)
        if ((at == 0 || lowerPath[at - 1] == '\\') && endsPart(at + foldedFolder.size())) return true;
    return false;
}

bool UnsafeSpecialFolder(std::string_view folder, const KnownFolders& known) {
    std::vector<std::string> holders, documents;
    auto addFull = [](std::vector<std::string>& to, const std::string& path) {
        if (RootLength(path) > 0) to.push_back(FoldedFolder(path));  // a relative path would match anywhere
    };
    for (const auto* list : {&known.windows, &known.programFiles, &known.programData, &known.profiles})
        for (const std::string& path : *list) addFull(holders, path);
    for (const std::string& path : known.documents) addFull(documents, path);
    for (const std::string& form : {std::string(folder), LongForm(folder), FinalForm(folder)}) {
        if (form.empty()) continue;
        const std::string folded = FoldedPath(form);
        const size_t root = RootLength(folded);
        if (root == 0 || root == folded.size()) return true;  // a relative path, or a whole drive
        for (const std::string& holder : holders)
            if (InFolder(holder, folded)) return true;
        for (const std::string& document : documents)
            if (InFolder(document, folded) || InFolder(folded, document)) return true;
    }
    return false;
}
