#include "tests/support/file_tree.h"

#include <shlobj.h>

#include "base/com_ptr.h"
#include "base/win_handles.h"

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void MakeFile(const std::string& path, std::uint64_t size) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || size == 0) return;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.Get());
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
