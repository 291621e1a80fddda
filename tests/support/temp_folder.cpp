#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>

#include "base/program_paths.h"
#include "base/win_handles.h"

namespace {

// Wide calls with the long-path prefix, so folders past MAX_PATH go too. A link to a folder is
// removed as a link: nothing outside the temporary folder is ever entered.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            bool folderEntry = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            bool link = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if (folderEntry && !link) RemoveTree(path);
            else if (folderEntry) RemoveDirectoryW(path.c_str());
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string base(temp);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    for (;;) {
        path = base + "\\tidyhold-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        if (CreateDirectoryA(path.c_str(), nullptr)) break;
    }
}

TempFolder::~TempFolder() { RemoveTree(ExtendedPath(path)); }

std::string MakeLongFolder(const TempFolder& folder, size_t length) {
    std::string path = folder.Path();
    for (char step = 'a'; path.size() < length; ++step) {
        path += "\\" + std::string(60, step);
        CreateDirectoryW(ExtendedPath(path).c_str(), nullptr);
    }
    return path;
}

void WriteFile(const std::string& path, std::string_view content) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

std::string ReadFile(const std::string& path) {
    UniqueFile file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    return content;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str(), FALSE) != 0;
}

std::string HostPath(std::string_view path) {
    if (path.empty() || path.front() != '/') return std::string(path);
    std::string windows = "Z:" + std::string(path);
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
