#include "base/file_proof.h"

#include <winternl.h>

#include <string_view>
#include <vector>

#include "base/ansi.h"
#include "base/program_paths.h"

namespace {

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

std::uint64_t Ticks(const FILETIME& time) { return Join(time.dwHighDateTime, time.dwLowDateTime); }

Proof ProofOfOpenError(DWORD error, const std::wstring& path) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return Proof::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Proof::InUse;
    case ERROR_ACCESS_DENIED: {
        // A folder opened as a file is refused as access denied.
        DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Proof::NotPlain
                                                                                                 : Proof::Denied;
    }
    case ERROR_CANT_ACCESS_FILE:  // a reparse point of a kind the system cannot open
        return Proof::NotPlain;
    default:
        return Proof::Denied;
    }
}

// Attributes, size and write time of an open file. Not GetFileInformationByHandle: it asks for the
// volume's serial number too, which costs Wine a hundred microseconds and more per file.
struct HandleFacts {
    DWORD attributes = 0;
    FileStamp stamp;
};
std::optional<HandleFacts> FactsOf(HANDLE handle, bool wantSize) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)) ||
        (wantSize && !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard))))
        return std::nullopt;
    return HandleFacts{basic.FileAttributes, {static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
                                              static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart)}};
}

std::optional<HandleFacts> FactsOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return HandleFacts{data.dwFileAttributes,
                       {Join(data.nFileSizeHigh, data.nFileSizeLow), Ticks(data.ftLastWriteTime)}};
}

bool SameFolders(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

// The name exactly, so a.tmp never stands for A.TMP in a folder that holds both.
bool SamePath(std::wstring_view final, std::wstring_view meant) {
    const size_t a = final.rfind(L'\\'), b = meant.rfind(L'\\');
    return a != std::wstring_view::npos && b != std::wstring_view::npos && final.substr(a) == meant.substr(b) &&
           SameFolders(final.substr(0, a), meant.substr(0, b));
}

// Wine 8 answers ERROR_MORE_DATA for any final path past MAX_PATH, whatever the buffer; the
// object's name it is made from reads \??\C:\... there and serves instead.
std::wstring ObjectName(HANDLE handle) {
    std::vector<char> buffer(sizeof(UNICODE_STRING) + 65536);
    ULONG length = 0;
    if (NtQueryObject(handle, static_cast<OBJECT_INFORMATION_CLASS>(1 /* ObjectNameInformation */), buffer.data(),
                      static_cast<ULONG>(buffer.size()), &length) != 0)
        return {};
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    std::wstring_view text(name->Buffer, name->Length / sizeof(wchar_t));
    if (!text.starts_with(L"\\??\\")) return {};  // a device path, as Windows gives it
    return L"\\\\?\\" + std::wstring(text.substr(4));
}

std::wstring FinalPath(HANDLE handle) {
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return GetLastError() == ERROR_MORE_DATA ? ObjectName(handle) : std::wstring();
        if (length < final.size()) {
            final.resize(length);
            return final;
        }
        final.resize(length + 1);
    }
}

bool FinalPathIsWide(HANDLE handle, const std::wstring& meant) {
    const std::wstring final = FinalPath(handle);
    if (final.empty()) return false;
    if (SamePath(final, meant)) return true;
    if (meant.find(L'~') == std::wstring::npos) return false;  // only a short name may read otherwise
    std::wstring longPath(meant.size() + MAX_PATH, L'\0');
    DWORD length = GetLongPathNameW(meant.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (length == 0 || length >= longPath.size()) return false;
    longPath.resize(length);
    return SamePath(final, longPath);
}

bool IsPlainFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder, opened without following a link, that names itself. Held without delete sharing while
// its entries go, so it cannot be renamed or swapped meanwhile; Wine lists nothing in a folder
// that a handle with DELETE access holds, so that access comes only for the folder's own removal.
UniqueFile OpenPlainFolder(const std::wstring& path, DWORD access) {
    UniqueFile folder(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    // Wine reports no reparse point on a folder link's handle, only on its path; the final path
    // catches it either way.
    const std::optional<HandleFacts> facts = folder ? FactsOf(folder.Get(), false) : std::nullopt;
    if (!facts || !(facts->attributes & FILE_ATTRIBUTE_DIRECTORY) || (facts->attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !IsPlainFolder(path) || !FinalPathIsWide(folder.Get(), path))
        return {};
    return folder;
}

void RemoveTreeOf(const std::wstring& path, TreeRemoval& outcome) {
    UniqueFile held = OpenPlainFolder(path, FILE_LIST_DIRECTORY);
    if (!held) {
        ++outcome.left;
        return;
    }
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring_view name(entry.cFileName);
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // Wine's RemoveDirectoryW on a folder link removes the folder it points at when that
                // is empty: a link stays.
                ++outcome.left;
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTreeOf(child, outcome);
            } else {
                ProvenFile file(FromWide(child), DELETE, nullptr);
                if (file.Proven() && file.Remove())
                    ++outcome.removed;
                else
                    ++outcome.left;  // a Wine file link proves elsewhere: removing it would remove its target
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    held.Reset();
    // Proved again and removed through its handle: a folder swapped for a link meanwhile stays.
    UniqueFile emptied = OpenPlainFolder(path, DELETE);
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (emptied && SetFileInformationByHandle(emptied.Get(), FileDispositionInfo, &disposition, sizeof(disposition)))
        ++outcome.removed;
    else
        ++outcome.left;
}

}  // namespace

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
    const std::optional<HandleFacts> facts = FactsOf(ExtendedPath(path));
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return facts->stamp;
}

ProvenFile::ProvenFile(const std::string& path, DWORD access, const FileStamp* expected) {
    const std::wstring wide = ExtendedPath(path);
    // Without delete sharing nothing can rename, replace or delete the file while the handle lives,
    // so what its path says now is what the handle holds.
    file.Reset(CreateFileW(wide.c_str(), access | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        result = ProofOfOpenError(GetLastError(), wide);
        return;
    }
    // A handle's own facts cost Wine a transfer of its Unix descriptor, about as much as a whole
    // deletion: read by path unless the handle is read anyway.
    const std::optional<HandleFacts> facts = (access & GENERIC_READ) ? FactsOf(file.Get(), true) : FactsOf(wide);
    if (!facts) {
        result = Proof::Denied;
    } else if (facts->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        result = Proof::NotPlain;
    } else if (!FinalPathIsWide(file.Get(), wide)) {
        result = Proof::Elsewhere;  // under Wine a file link looks plain: only its final path tells
    } else {
        stamp = facts->stamp;
        result = expected && *expected != stamp ? Proof::Changed : Proof::Proven;
    }
    if (result != Proof::Proven) file.Reset();
}

void ProvenFile::Close() { file.Reset(); }

bool ProvenFile::Remove() {
    if (!Proven()) return false;
    FILE_DISPOSITION_INFO disposition{TRUE};
    const bool marked = SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition));
    const DWORD error = GetLastError();
    file.Reset();
    SetLastError(error);
    return marked;
}

bool FinalPathIs(HANDLE handle, const std::string& path) { return FinalPathIsWide(handle, ExtendedPath(path)); }

bool MakePlainFolders(const std::string& path) {
    const std::wstring wide = ExtendedPath(path);
    const size_t last = wide.rfind(L'\\');
    // Past the \\?\C:\ or \\?\UNC\server\share\ root, which is no folder to make.
    size_t start = wide.starts_with(L"\\\\?\\UNC\\") ? wide.find(L'\\', wide.find(L'\\', 8) + 1) : 6;
    if (last == std::wstring::npos || start == std::wstring::npos || last <= start) return false;
    for (size_t i = wide.find(L'\\', start + 1); i != std::wstring::npos && i <= last; i = wide.find(L'\\', i + 1)) {
        const std::wstring prefix = wide.substr(0, i);
        if (IsPlainFolder(prefix)) continue;
        if (!CreateDirectoryW(prefix.c_str(), nullptr) || !IsPlainFolder(prefix)) return false;
    }
    return true;
}

CopyResult CopyToNewFile(const ProvenFile& source, const std::string& target, const std::atomic<bool>* stop) {
    if (!source.Proven()) return CopyResult::Failed;
    const std::wstring wide = ExtendedPath(target);
    auto create = [&] {
        return UniqueFile(CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    };
    UniqueFile copy = create();
    // Wine answers "file not found" for some missing folders.
    if (!copy && (GetLastError() == ERROR_PATH_NOT_FOUND || GetLastError() == ERROR_FILE_NOT_FOUND)) {
        if (!MakePlainFolders(target)) return CopyResult::Failed;
        copy = create();
    }
    if (!copy) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CopyResult::Exists : CopyResult::Failed;
    }
    auto discard = [&](CopyResult why) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(copy.Get(), FileDispositionInfo, &disposition, sizeof(disposition));
        return why;
    };
    // Made through a folder link swapped in on the way: the new, empty file goes again.
    if (!FinalPathIs(copy.Get(), target)) return discard(CopyResult::Failed);
    if (!SetFilePointerEx(source.Handle(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return discard(CopyResult::Failed);
    static thread_local std::vector<char> buffer(1 << 20);
    std::uint64_t copied = 0;
    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed)) return discard(CopyResult::Stopped);
        DWORD read = 0, written = 0;
        if (!ReadFile(source.Handle(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return discard(CopyResult::Failed);
        if (read == 0) break;
        if (!WriteFile(copy.Get(), buffer.data(), read, &written, nullptr) || written != read)
            return discard(CopyResult::Failed);  // a full disk, most likely
        copied += read;
    }
    if (copied != source.Stamp().size) return discard(CopyResult::Failed);
    FILETIME writeTime{static_cast<DWORD>(source.Stamp().writeTime), static_cast<DWORD>(source.Stamp().writeTime >> 32)};
    if (!SetFileTime(copy.Get(), nullptr, nullptr, &writeTime)) return discard(CopyResult::Failed);
    return CopyResult::Copied;
}

TreeRemoval RemoveTree(const std::string& folder) {
    TreeRemoval outcome;
    RemoveTreeOf(ExtendedPath(folder), outcome);
    return outcome;
}
