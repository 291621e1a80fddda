#include "tests/support/file_tree.h"

#include <shlobj.h>

#include <vector>

#include "base/com_ptr.h"
#include "base/win_handles.h"
#include "clean/backup_set.h"

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void MakeFile(const std::string& path, std::uint64_t size) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || size == 0) return;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.Get());
}

void MakeFileAlong(const std::string& path, std::uint64_t size) {
    MakeFolders(path);
    MakeFile(path, size);
}

void SetLastAccess(const std::string& path, int daysAgo, int extraHours) {
    UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= (static_cast<ULONGLONG>(daysAgo) * 24 + static_cast<ULONGLONG>(extraHours)) * 36000000000ULL;
    FILETIME access{ticks.LowPart, ticks.HighPart};
    SetFileTime(file.Get(), nullptr, &access, nullptr);
}

bool MakeShortcut(const std::string& shortcut, const std::string& target) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return false;
    if (!target.empty() && FAILED(link->SetPath(target.c_str()))) return false;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return false;
    return SUCCEEDED(file->Save(ToWide(shortcut).c_str(), TRUE));
}

namespace {

// Wine's own exports; real Windows has neither.
using UnixFileName = char*(CDECL*)(const WCHAR* dosName);
using UnixSpawn = LONG(CDECL*)(char* const argv[], int wait);

std::optional<std::string> HostPathOf(const std::string& windowsPath) {
    auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return std::nullopt;
    char* unixPath = convert(ToWide(windowsPath).c_str());
    if (!unixPath) return std::nullopt;
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Runs a host shell script with its arguments as $1, $2 ..., and waits for it; true when it ran.
bool RunHostScript(const char* script, std::vector<std::string> arguments) {
    auto spawn = reinterpret_cast<UnixSpawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn) return false;
    arguments.insert(arguments.begin(), {"/bin/sh", "-c", script, "sh"});
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE) == 0;
}

}  // namespace

bool MakeHostEntry(const std::string& folder, const std::string& relative, std::optional<std::string_view> content) {
    std::optional<std::string> host = HostPathOf(folder);
    if (!host) return false;
    std::string path = *host + "/" + relative;
    if (content) return RunHostScript("printf %s \"$2\" > \"$1\"", {path, std::string(*content)});
    return RunHostScript("mkdir -- \"$1\"", {path});
}

void RemoveHostTree(const std::string& folder) {
    if (std::optional<std::string> host = HostPathOf(folder)) RunHostScript("rm -rf -- \"$1\"", {*host});
}

bool MakeFolderLink(const std::string& link, const std::string& target) {
    auto isLink = [&] {
        DWORD attributes = GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink()) return true;
    std::optional<std::string> hostLink = HostPathOf(link), hostTarget = HostPathOf(target);
    return hostLink && hostTarget && RunHostScript("ln -s -- \"$2\" \"$1\"", {*hostLink, *hostTarget}) && isLink();
}

bool MakeFileLink(const std::string& link, const std::string& target) {
    std::optional<std::string> hostLink = HostPathOf(link), hostTarget = HostPathOf(target);
    return hostLink && hostTarget && RunHostScript("ln -s -- \"$2\" \"$1\"", {*hostLink, *hostTarget});
}

ScopedDrive::ScopedDrive(const std::string& folder) : folder(folder) {
    const DWORD used = GetLogicalDrives();
    char letter = 'P';
    while (letter <= 'Y' && (used & (1u << (letter - 'A')))) ++letter;
    if (letter > 'Y') return;
    const std::string device{letter, ':'};
    std::optional<std::string> systemDrive = HostPathOf("C:\\"), target = HostPathOf(folder);
    const std::string_view ownLink = "/c:/";
    if (systemDrive && target && systemDrive->ends_with(ownLink)) {
        const char lower = static_cast<char>(letter - 'A' + 'a');
        std::string link = systemDrive->substr(0, systemDrive->size() - ownLink.size() + 1) + lower + ":";
        if (!RunHostScript("ln -s -- \"$2\" \"$1\"", {link, *target})) return;
        hostLink = link;
    } else if (!DefineDosDeviceA(0, device.c_str(), folder.c_str())) {
        return;
    }
    root = device + "\\";
    if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) root.clear();
}

ScopedDrive::~ScopedDrive() {
    if (!hostLink.empty())
        RunHostScript("rm -f -- \"$1\"", {hostLink});  // the link alone, never what it points at
    else if (!root.empty())
        DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, root.substr(0, 2).c_str(), folder.c_str());
}
