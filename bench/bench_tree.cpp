#include "bench/bench_tree.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/win_handles.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000ULL;
constexpr std::uint64_t kTicksPerDay = 86400ULL * kTicksPerSecond;
constexpr int kMarkerVersion = 1;

// splitmix64: the same sequence on every machine and build.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int Below(int limit) { return static_cast<int>(Next() % static_cast<std::uint64_t>(limit)); }

private:
    std::uint64_t state;
};

constexpr const char* kWords[] = {"report", "photo", "notes", "setup", "data",   "index",  "image", "draft",
                                  "music",  "letter", "budget", "invoice", "scan", "readme", "plan",  "chart"};
// None of these matches a factory mask, checked or not.
constexpr const char* kExtensions[] = {"txt", "doc", "jpg", "dll", "exe", "ini", "log", "dat",
                                       "htm", "png", "xml", "pdf", "xls", "wav", "zip", "cfg"};

std::uint64_t NowTicks() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

FILETIME ToFileTime(std::uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks & 0xffffffffULL), static_cast<DWORD>(ticks >> 32)};
}

// A file name that the mask matches: the first "*" takes the base, later ones the extension.
std::string NameForMask(const std::string& mask, const std::string& base, const std::string& extension) {
    std::string name;
    bool firstStar = true;
    for (char c : mask) {
        if (c == '*') {
            name += firstStar ? base : extension;
            firstStar = false;
        } else if (c == '?') {
            name += 'x';
        } else {
            name += c;
        }
    }
    return name;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool MakeSizedFile(const std::string& path, std::uint64_t size, std::uint64_t accessTicks, std::uint64_t writeTicks) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (size > 0) {
        // The size without writing the bytes: the scan reads names, sizes and times only.
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        if (!SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())) return false;
    }
    FILETIME access = ToFileTime(accessTicks), write = ToFileTime(writeTicks);
    return SetFileTime(file.Get(), &write, &access, &write) != FALSE;
}

bool MakeShortcut(const std::string& shortcut, const std::string& target) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return false;
    return SUCCEEDED(file->Save(ToWide(shortcut).c_str(), TRUE));
}

// Deletes a tree this benchmark made; links to folders are removed, never followed.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry{};
    UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (find) {
        do {
            if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
            std::string path = folder + "\\" + entry.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (directory && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(path);
            else if (directory) RemoveDirectoryA(path.c_str());
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryA(folder.c_str());
}

std::string ShapeLine(const TreeShape& shape, const std::vector<std::string>& masks) {
    std::ostringstream line;
    line << "shape " << shape.topFolders << ' ' << shape.middleFolders << ' ' << shape.leafFolders << ' '
         << shape.filesPerLeaf << " seed " << shape.seed << " permille " << shape.maskPermille << ' '
         << shape.emptyPermille << ' ' << shape.readOnlyPermille << ' ' << shape.hiddenPermille << ' '
         << shape.oldPermille << " days " << shape.recentDays << ' ' << shape.oldFromDays << ' ' << shape.oldToDays
         << " shortcuts " << shape.shortcutEvery << " masks";
    for (const std::string& mask : masks) line << ' ' << mask;
    return line.str();
}

std::string CountsLine(const TreeCounts& c) {
    std::ostringstream line;
    line << "counts " << c.files << ' ' << c.maskNamed << ' ' << c.empty << ' ' << c.old << ' ' << c.readOnly << ' '
         << c.hidden << ' ' << c.shortcuts << ' ' << c.brokenShortcuts << ' ' << c.expectedFound << ' '
         << c.expectedBrokenShortcuts;
    return line.str();
}

// Reads the marker; true when it names this shape and is young enough to reuse.
bool ReadMarker(const std::string& path, const TreeShape& shape, const std::string& shapeLine, BenchTree& tree) {
    std::ifstream in(path);
    std::string version, shapeText, generated, counts;
    if (!std::getline(in, version) || !std::getline(in, shapeText) || !std::getline(in, generated) ||
        !std::getline(in, counts))
        return false;
    if (version != "tidyhold-bench-tree " + std::to_string(kMarkerVersion) || shapeText != shapeLine) return false;
    std::istringstream g(generated), c(counts);
    std::string word;
    std::uint64_t ticks = 0;
    if (!(g >> word >> ticks >> tree.generationSeconds) || word != "generated") return false;
    if (NowTicks() < ticks || (NowTicks() - ticks) / kTicksPerDay > static_cast<std::uint64_t>(shape.maxAgeDays))
        return false;
    TreeCounts& t = tree.counts;
    return static_cast<bool>(c >> word >> t.files >> t.maskNamed >> t.empty >> t.old >> t.readOnly >> t.hidden >>
                             t.shortcuts >> t.brokenShortcuts >> t.expectedFound >> t.expectedBrokenShortcuts) &&
           word == "counts";
}

// Lays out the tree folder by folder, drawing every choice from one seeded sequence in a fixed order.
class Generator {
public:
    Generator(const TreeShape& shape, const std::vector<std::string>& masks, TreeCounts& counts)
        : shape(shape), masks(masks), counts(counts), random(shape.seed), now(NowTicks()) {
        for (const std::string& mask : masks)
            if (mask.find('*') != std::string::npos) starMasks.push_back(mask);
    }

    bool Tree(const std::string& filesRoot) {
        if (!CreateDirectoryA(filesRoot.c_str(), nullptr)) return false;
        int leafIndex = 0;
        for (int top = 0; top < shape.topFolders; ++top) {
            std::string topPath = filesRoot + Numbered("\\d", top);
            if (!CreateDirectoryA(topPath.c_str(), nullptr)) return false;
            for (int middle = 0; middle < shape.middleFolders; ++middle) {
                std::string middlePath = topPath + Numbered("\\m", middle);
                if (!CreateDirectoryA(middlePath.c_str(), nullptr)) return false;
                for (int leaf = 0; leaf < shape.leafFolders; ++leaf, ++leafIndex) {
                    if (!Leaf(middlePath + Numbered("\\f", leaf), leafIndex)) return false;
                    if ((leafIndex + 1) % 2000 == 0) {
                        std::fprintf(stderr, "  %d of %d folders\n", leafIndex + 1, shape.LeafCount());
                        std::fflush(stderr);
                    }
                }
            }
        }
        return true;
    }

private:
    static std::string Numbered(const char* prefix, int number) {
        char name[16];
        std::snprintf(name, sizeof(name), "%s%02d", prefix, number);
        return name;
    }

    int Below(size_t limit) { return random.Below(static_cast<int>(limit)); }

    bool Leaf(const std::string& leafPath, int leafIndex) {
        if (!CreateDirectoryA(leafPath.c_str(), nullptr)) return false;
        fixedNameUsed = false;
        const bool withShortcut = shape.shortcutEvery > 0 && leafIndex % shape.shortcutEvery == 0;
        std::string firstFile;
        for (int index = 0; index < shape.filesPerLeaf; ++index) {
            ++counts.files;
            std::string base = std::string(kWords[Below(std::size(kWords))]) + std::to_string(index);
            std::string extension = kExtensions[Below(std::size(kExtensions))];
            bool made = withShortcut && index == shape.filesPerLeaf - 1
                            ? Shortcut(leafPath, base, (leafIndex / shape.shortcutEvery) % 2 == 1, firstFile)
                            : File(leafPath, base, extension, index == 0 ? &firstFile : nullptr);
            if (!made) return false;
        }
        return true;
    }

    // Shortcuts stay recent: loading one reads it, and that may move its access time.
    bool Shortcut(const std::string& leafPath, const std::string& base, bool broken, const std::string& firstFile) {
        ++counts.shortcuts;
        std::string target = broken ? leafPath + "\\gone-" + base + ".txt" : firstFile;
        if (broken && !MakeSizedFile(target, 1, now, now)) return false;
        if (!MakeShortcut(leafPath + "\\" + base + ".lnk", target)) return false;
        if (broken) {
            DeleteFileA(target.c_str());
            ++counts.brokenShortcuts;
            ++counts.expectedBrokenShortcuts;
        }
        return true;
    }

    // A plain file; its path goes to pathOut when that is set (a shortcut's target).
    bool File(const std::string& leafPath, const std::string& base, const std::string& extension,
              std::string* pathOut) {
        const int kind = random.Below(1000);
        const bool maskNamed = kind < shape.maskPermille && !starMasks.empty();
        const bool empty = !maskNamed && kind < shape.maskPermille + shape.emptyPermille;
        std::string fileName = base + "." + extension;
        if (maskNamed) {
            const std::string* mask = &masks[static_cast<size_t>(Below(masks.size()))];
            if (mask->find('*') == std::string::npos) {  // a fixed name fits once in a folder
                if (fixedNameUsed) mask = &starMasks.front();
                fixedNameUsed = true;
            }
            fileName = NameForMask(*mask, base, extension);
        }
        if (random.Below(4) == 0) fileName = Upper(fileName);  // the scan ignores case
        const std::uint64_t size = empty ? 0 : 1 + static_cast<std::uint64_t>(random.Below(4096));
        const int attribute = random.Below(1000);
        const bool readOnly = attribute < shape.readOnlyPermille;
        const bool hidden = !readOnly && attribute < shape.readOnlyPermille + shape.hiddenPermille;
        const bool old = random.Below(1000) < shape.oldPermille;
        const int ageDays = old ? shape.oldFromDays + random.Below(shape.oldToDays - shape.oldFromDays)
                                : random.Below(shape.recentDays);
        const std::uint64_t access = now - static_cast<std::uint64_t>(ageDays) * kTicksPerDay -
                                     static_cast<std::uint64_t>(random.Below(86400)) * kTicksPerSecond;
        const std::uint64_t write = access - static_cast<std::uint64_t>(random.Below(30)) * kTicksPerDay;

        std::string path = leafPath + "\\" + fileName;
        if (!MakeSizedFile(path, size, access, write)) return false;
        if (readOnly || hidden)
            SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_HIDDEN);
        if (pathOut) *pathOut = path;
        counts.maskNamed += maskNamed;
        counts.empty += empty;
        counts.old += old;
        counts.readOnly += readOnly;
        counts.hidden += hidden;
        if (!readOnly && !hidden && (maskNamed || empty || old)) ++counts.expectedFound;
        return true;
    }

    const TreeShape& shape;
    const std::vector<std::string>& masks;
    TreeCounts& counts;
    Random random;
    const std::uint64_t now;
    std::vector<std::string> starMasks;  // masks that can name many files in one folder
    bool fixedNameUsed = false;
};

}  // namespace

std::string BenchRoot() {
    char temp[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string root(temp, length);
    if (root.back() != '\\') root += '\\';
    return root + "tidyhold-bench-tree";
}

BenchTree PrepareTree(const TreeShape& shape, const std::vector<std::string>& masks) {
    BenchTree tree;
    std::string root = BenchRoot();
    if (root.empty()) return tree;
    const std::string marker = root + "\\marker.txt";
    const std::string shapeLine = ShapeLine(shape, masks);
    tree.files = root + "\\files";
    if (ReadMarker(marker, shape, shapeLine, tree)) {
        tree.root = root;
        tree.reused = true;
        return tree;
    }

    std::fprintf(stderr, "Generating %d files in %d folders under %s\n", shape.FileCount(), shape.FolderCount(),
                 root.c_str());
    std::fflush(stderr);
    if (GetFileAttributesA(root.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "  removing the earlier tree\n");
        RemoveTree(root);
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateDirectoryA(root.c_str(), nullptr)) return tree;
    tree.counts = TreeCounts{};
    if (!Generator(shape, masks, tree.counts).Tree(tree.files)) {
        std::fprintf(stderr, "Generation failed (error %lu)\n", GetLastError());
        return tree;
    }
    QueryPerformanceCounter(&end);
    tree.generationSeconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

    // Written last: an interrupted generation leaves no marker and is made again.
    std::ofstream out(marker, std::ios::trunc);
    out << "tidyhold-bench-tree " << kMarkerVersion << '\n'
        << shapeLine << '\n'
        << "generated " << NowTicks() << ' ' << tree.generationSeconds << '\n'
        << CountsLine(tree.counts) << '\n';
    if (!out) return tree;
    tree.root = root;
    return tree;
}
