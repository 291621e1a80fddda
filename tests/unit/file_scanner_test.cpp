#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

#include "scan/file_scanner.h"
#include "scan/shortcut_judge.h"
#include "scan/wildcard.h"
#include "tests/support/file_tree.h"
#include "tests/support/temp_folder.h"

namespace {

struct Collected {
    std::map<std::string, std::string> found;
    int reports = 0;
    std::vector<std::string> folders;
};

void Found(const std::string& path, const std::string& reason, const WIN32_FIND_DATAA&, void* context) {
    auto* c = static_cast<Collected*>(context);
    c->found[path] = reason;
    ++c->reports;
}

void Folder(const std::string& path, const WIN32_FIND_DATAA&, void* context) {
    static_cast<Collected*>(context)->folders.push_back(path);
}

Collected Scan(const std::string& folder, const MaskTable& masks, FileScanner::Criteria criteria = {},
               const std::vector<std::string>& skip = {}, bool withFolders = false) {
    Collected c;
    FileScanner::Request request{folder, masks, skip, criteria, [&](auto& path, auto& reason, auto& entry) {
                                     Found(path, reason, entry, &c);
                                 }, {}};
    if (withFolders) request.onFolder = [&](auto& path, auto& entry) { Folder(path, entry, &c); };
    FileScanner::Search(request);
    return c;
}

std::set<std::string> Paths(const Collected& c) {
    std::set<std::string> paths;
    for (const auto& [path, reason] : c.found) paths.insert(path);
    return paths;
}

}  // namespace

TEST(MatchWildcard, StarsAndQuestionMarks) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.tmp", "a.tmp", true},     {"*.tmp", "a.tmp.bak", false}, {"*.*", "readme", false},
        {"*.*", "a.b", true},         {"*", "", true},               {"*", "anything", true},
        {"", "", true},               {"", "a", false},              {"?", "", false},
        {"?", "a", true},             {"a?c", "abc", true},          {"a?c", "ac", false},
        {"~*.*", "~$doc.docx", true}, {"a*b*c", "axxbyyc", true},    {"a*b*c", "axxbyy", false},
        {"*a", "banana", true},       {"*ab*ab", "xabyabab", true},  {"thumbs.db", "thumbs.db", true},
        {"**", "", true},             {"*.~*", "file.~tmp", true},   {"*.$$$", "x.$$$", true},
        // "?" is one character, however many bytes it takes in UTF-8.
        {"?.tmp", "é.tmp", true},     {"??.tmp", "é.tmp", false},    {"a?c", "aⱥc", true},
        {"*??", "é", false},          {"*?é", "xéé", true},          {"*é?", "éⱥéé", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
        EXPECT_EQ(MatchWildcard(c.pattern, c.name), c.match);
    }
}

TEST(ToLowerAnsi, EveryLetterWhateverItsLengthInUtf8) {
    struct Case {
        const char* text;
        const char* lower;
    };
    const Case cases[] = {
        {"Ⱥ.TMP", "ⱥ.tmp"},  // two bytes become three
        {"aȺB.tmp", "aⱥb.tmp"},
        {"Ⱦ", "ⱦ"},
        {"Ɫ.tmp", "ɫ.tmp"},  // three bytes become two
        {"Ɽ", "ɽ"},
        {"C:\\ȺDIR\\ⱢX", "c:\\ⱥdir\\ɫx"},
        {"ÄÖÜ", "äöü"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToLowerAnsi(c.text), c.lower);
    }
}

TEST(WindowsCanHoldName, RefusesNamesThatMeanAnotherFile) {
    struct Case {
        const char* name;
        bool holdable;
    };
    const Case cases[] = {
        {"plain.tmp", true},  {".hidden", true},    {"..x", true},        {"a b.tmp", true},
        {"ⱥ.tmp", true},      {"console.txt", true}, {"com0", true},       {"nullify", true},
        {"lpt10.txt", true},  {".", false},         {"..", false},        {"~x\\..\\victim.txt", false},
        {"a/b", false},       {"a:b.txt", false},   {"a*.txt", false},    {"q?.txt", false},
        {"l<.txt", false},    {"g>.txt", false},    {"p|.txt", false},    {"q\".txt", false},
        {"\x01.txt", false}, {"tab\t.txt", false}, {"trail.", false},    {"trail ", false},
        {"NUL", false},       {"aux.txt", false},   {"Com1.tar.gz", false}, {"lpt9", false},
        {"con .txt", false},  {"CONOUT$", false},   {"bad\xEF\xBF\xBD.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WindowsCanHoldName(c.name), c.holdable);
    }
}

TEST(WholeDaysBetween, CountsWholeDaysInEitherOrder) {
    SYSTEMTIME a{2006, 3, 0, 5, 14, 3, 9, 0};
    SYSTEMTIME b{2006, 4, 0, 5, 14, 3, 8, 0};  // a second short of 31 days later
    EXPECT_EQ(WholeDaysBetween(a, b), 30u);
    EXPECT_EQ(WholeDaysBetween(b, a), 30u);
    b.wSecond = 9;
    EXPECT_EQ(WholeDaysBetween(a, b), 31u);
}

class FileScannerTest : public testing::Test {
protected:
    std::string Make(const std::string& relative, std::uint64_t size = 1) {
        std::string path = root / relative;
        MakeFile(path, size);
        return path;
    }
    TempFolder root;
};

TEST_F(FileScannerTest, TrailingBackslashAndFolderCallbacks) {
    MakeFolder(root / "sub");
    MakeFolder(root / "empty");
    Make("sub\\a.tmp");
    MaskTable masks{{"*.tmp", "Temporary"}};
    Collected plain = Scan(root.Path(), masks, {}, {}, true);
    Collected slashed = Scan(root.Path() + "\\", masks, {}, {}, true);
    EXPECT_EQ(plain.found, slashed.found);
    EXPECT_EQ(Paths(plain), (std::set<std::string>{root / "sub\\a.tmp"}));
    std::set<std::string> folders(plain.folders.begin(), plain.folders.end());
    for (const char* expected : {".", "..", "sub", "empty", "sub\\.", "sub\\..", "empty\\.", "empty\\.."})
        EXPECT_TRUE(folders.count(root / expected)) << expected;

    EXPECT_TRUE(Scan(root / "empty", masks).found.empty());
    Collected missing = Scan(root / "no-such-folder", masks, {}, {}, true);
    EXPECT_TRUE(missing.found.empty());
    EXPECT_TRUE(missing.folders.empty());
}

TEST_F(FileScannerTest, MasksWinInKeyOrderAndOverEveryOtherTest) {
    Make("a.tmp", 0);
    Make("README", 0);
    Make("A.TMP.bak");
    MaskTable masks{{"a*", "Starts with a"}, {"*.tmp", "Temporary"}};
    FileScanner::Criteria criteria;
    criteria.findZeroLength = true;
    Collected c = Scan(root.Path(), masks, criteria);
    EXPECT_EQ(c.found[root / "a.tmp"], "Temporary");          // "*" sorts before letters, and wins
    EXPECT_EQ(c.found[root / "A.TMP.bak"], "Starts with a");  // names compare without case
    EXPECT_EQ(c.found[root / "README"], "_ZeroLengthFile");   // the mask test found nothing
    EXPECT_EQ(c.reports, 3);                                   // each file once
    EXPECT_FALSE(Scan(root.Path(), {{"*.*", "Has a dot"}}).found.count(root / "README"));
}

// The walk side of InFolder: the searched folder itself and every entry.
TEST_F(FileScannerTest, SkipsAreWholeFolders) {
    for (const char* file : {"Skipme\\x.tmp", "SKIPME2\\x.tmp", "keep\\x.tmp"}) MakeFileAlong(root / file);
    MaskTable masks{{"*.tmp", "T"}};
    EXPECT_EQ(Paths(Scan(root.Path(), masks, {}, {root / "skipme\\", "me2\\x.tmp"})),
              (std::set<std::string>{root / "keep\\x.tmp", root / "SKIPME2\\x.tmp"}));
    EXPECT_TRUE(Scan(root / "keep", masks, {}, {root.Path()}).found.empty());
}

TEST_F(FileScannerTest, MasksAndSkipsFoldEveryLetter) {
    for (const char* name : {"Ⱥ.tmp", "Ⱦ.tmp", "Ɫ.tmp", "Ɽ.tmp", "aȺB.tmp", "plain.tmp", "ⱥ.TXT"}) Make(name);
    std::set<std::string> tmp;
    for (const char* name : {"Ⱥ.tmp", "Ⱦ.tmp", "Ɫ.tmp", "Ɽ.tmp", "aȺB.tmp", "plain.tmp"}) tmp.insert(root / name);
    EXPECT_EQ(Paths(Scan(root.Path(), {{"*.tmp", "T"}})), tmp);
    EXPECT_EQ(Paths(Scan(root.Path(), {{"*.TMP", "T"}})), tmp);
    EXPECT_EQ(Paths(Scan(root.Path(), {{"ⱥ*", "A"}})), (std::set<std::string>{root / "Ⱥ.tmp", root / "ⱥ.TXT"}));
    EXPECT_EQ(Paths(Scan(root.Path(), {{"*Ⱥb.*", "B"}})), (std::set<std::string>{root / "aȺB.tmp"}));

    // Below a parent whose lower case is shorter, and one whose lower case is longer.
    for (const char* folder : {"Ɫ", "Ɫ\\Skip", "Ɫ\\keep", "Ⱥdir", "Ⱥdir\\Skip"}) MakeFolder(root / folder);
    for (const char* file : {"Ɫ\\Skip\\x.dat", "Ɫ\\keep\\x.dat", "Ⱥdir\\Skip\\x.dat"}) Make(file);
    MaskTable dat{{"*.dat", "D"}};
    EXPECT_EQ(Paths(Scan(root.Path(), dat, {}, {"ɫ\\skip"})),
              (std::set<std::string>{root / "Ɫ\\keep\\x.dat", root / "Ⱥdir\\Skip\\x.dat"}));
    EXPECT_EQ(Paths(Scan(root.Path(), dat, {}, {"ⱥDIR\\SKIP"})),
              (std::set<std::string>{root / "Ɫ\\keep\\x.dat", root / "Ɫ\\Skip\\x.dat"}));
    EXPECT_TRUE(Scan(root / "Ⱥdir", dat, {}, {"ⱥdir"}).found.empty());  // the searched folder itself
}

TEST_F(FileScannerTest, AttributesPassEntriesOverAndKeepFoldersClosed) {
    MakeFolder(root / "hidden");
    Make("hidden\\in.tmp");
    SetFileAttributesA((root / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::string readOnly = Make("ro.tmp");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string system = Make("sys.tmp");
    SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
    MaskTable masks{{"*.tmp", "T"}};

    EXPECT_EQ(Scan(root.Path(), masks).found.size(), 3u);
    FileScanner::Criteria criteria;
    criteria.skipHidden = true;
    EXPECT_EQ(Paths(Scan(root.Path(), masks, criteria)), (std::set<std::string>{readOnly, system}));
    criteria = {};
    criteria.skipReadOnly = true;
    criteria.skipSystem = true;
    EXPECT_EQ(Paths(Scan(root.Path(), masks, criteria)), (std::set<std::string>{root / "hidden\\in.tmp"}));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((root / "hidden").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileScannerTest, EmptyFilesBySizeNeverByTheLow32Bits) {
    std::string empty = Make("empty.dat", 0);
    Make("small.dat", 10);
    std::string huge = Make("huge.dat", 4ULL << 30);  // sparse: 4 GiB whose low 32 bits are 0
    FileScanner::Criteria criteria;
    criteria.findZeroLength = true;
    EXPECT_EQ(Paths(Scan(root.Path(), {}, criteria)), (std::set<std::string>{empty}));
    EXPECT_EQ(ReadFileSize(huge), std::optional<std::uint64_t>(4ULL << 30));
    EXPECT_EQ(ReadFileSize(root / "missing"), std::nullopt);
}

TEST_F(FileScannerTest, AFileThatVanishesBeforeItsTestIsNotReported) {
    MakeFolder(root / "d");
    std::string doomed = Make("d\\doomed.dat", 0);
    FileScanner::Criteria criteria;
    criteria.findZeroLength = true;
    struct Context {
        Collected collected;
        std::string doomed;
    } context{{}, doomed};
    FileScanner::Search({root.Path(), {}, {}, criteria,
                         [&](auto& path, auto& reason, auto& entry) { Found(path, reason, entry, &context.collected); },
                         [&](const std::string& path, const WIN32_FIND_DATAA&) {
                             if (path.size() > 2 && path.substr(path.size() - 2) == "\\.") DeleteFileA(doomed.c_str());
                         }});
    EXPECT_TRUE(context.collected.found.empty());
}

TEST_F(FileScannerTest, ShortcutsWhoseTargetIsGone) {
    std::string target = Make("target.txt");
    MakeFolder(root / "folder");
    ASSERT_TRUE(MakeShortcut(root / "gone.LNK", target));
    ASSERT_TRUE(MakeShortcut(root / "folder.lnk", root / "folder"));
    ASSERT_TRUE(MakeShortcut(root / "kept.lnk", target));
    ASSERT_TRUE(MakeShortcut(root / "nowhere.lnk", ""));
    WriteFile(root / "fake.lnk", "not a shortcut");
    WriteFile(root / "gone.LNK.txt", "");
    DeleteFileA(target.c_str());
    MakeFile(root / "kept-target.txt");
    ASSERT_TRUE(MakeShortcut(root / "kept.lnk", root / "kept-target.txt"));

    FileScanner::Criteria criteria;
    criteria.findInvalidShortcuts = true;
    Collected c = Scan(root.Path(), {}, criteria);
    EXPECT_EQ(Paths(c), (std::set<std::string>{root / "gone.LNK", root / "nowhere.lnk"}));
    EXPECT_EQ(c.found[root / "gone.LNK"], "_InvalidShortcut");
    EXPECT_FALSE(ResolveShortcut(root / "fake.lnk"));
    EXPECT_TRUE(TargetExists(root / "folder"));
    EXPECT_FALSE(TargetExists(""));
}

TEST_F(FileScannerTest, NotAccessedCountsWholeMonthsOf31Days) {
    struct Case {
        int months;
        int daysAgo;
        bool found;
    };
    const Case cases[] = {
        {0, 30, false}, {0, 31, true},   {3, 123, false}, {3, 124, true},
        {-1, 400, false},  // a negative threshold lets no file qualify
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.months) + " months, " + std::to_string(c.daysAgo) + " days");
        std::string file = Make("old.dat");
        SetLastAccess(file, c.daysAgo, 1);
        FileScanner::Criteria criteria;
        criteria.findNotAccessed = true;
        criteria.months = c.months;
        Collected collected = Scan(root.Path(), {}, criteria);
        EXPECT_EQ(collected.found.count(file) == 1, c.found);
        if (c.found) {
            EXPECT_EQ(collected.found[file], "_HaveNotAccessed");
        }
        DeleteFileA(file.c_str());
    }
}

TEST_F(FileScannerTest, LongPathsEndTheirBranchQuietly) {
    std::string deep = "\\\\?\\" + root.Path();
    std::string name(120, 'd');
    for (int level = 0; level < 4; ++level) {
        deep += "\\" + name;
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    CreateFileA((deep + "\\x.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Make("near.tmp");
    Collected c = Scan(root.Path(), {{"*.tmp", "T"}});
    EXPECT_TRUE(c.found.count(root / "near.tmp"));
    for (const auto& [path, reason] : c.found) EXPECT_LT(path.size(), 400u);
}

TEST_F(FileScannerTest, FolderLinksAreNotFollowed) {
    MakeFolder(root / "real");
    Make("real\\x.tmp");
    if (!CreateSymbolicLinkA((root / "real\\loop").c_str(), root.Path().c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !(GetFileAttributesA((root / "real\\loop").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system makes no folder links here";
    Collected c = Scan(root.Path(), {{"*.tmp", "T"}});
    EXPECT_EQ(Paths(c), (std::set<std::string>{root / "real\\x.tmp"}));
    RemoveDirectoryA((root / "real\\loop").c_str());
}

TEST_F(FileScannerTest, AStopEndsTheWalkBeforeTheNextEntry) {
    for (int i = 0; i < 50; ++i) Make("f" + std::to_string(i) + ".tmp");
    std::atomic<bool> stop{false};
    struct Context {
        int reports = 0;
        std::atomic<bool>* stop;
    } context{0, &stop};
    FileScanner::Search({root.Path(), {{"*.tmp", "T"}}, {}, {},
                         [&](const std::string&, const std::string&, const WIN32_FIND_DATAA&) {
                             if (++context.reports == 3) *context.stop = true;
                         },
                         {}, &stop});
    EXPECT_EQ(context.reports, 3);
}

// Under Wine a Unix-side name may hold a backslash; its Windows path then names another file.
TEST_F(FileScannerTest, NamesWindowsCannotHoldAreNeverReportedOrOpened) {
    WriteFile(root / "victim.txt", "12345");
    Make("empty.dat", 0);
    std::string target = Make("target.txt");
    ASSERT_TRUE(MakeShortcut(root / "gone.lnk", target));
    DeleteFileA(target.c_str());
    MakeFolder(root / "sub");
    Make("sub\\plain.txt");
    struct HostEntry {
        const char* relative;
        const char* content;  // null: a folder
    };
    const HostEntry entries[] = {
        {"sub/~x\\..\\..\\victim.txt", "x"}, {"sub/e\\..\\..\\empty.dat", ""}, {"sub/l\\..\\..\\gone.lnk", "x"},
        {"sub/w\\..", nullptr},              {"sub/w\\../inner.txt", "x"},    {"sub/a:b.txt", "x"},
        {"sub/star*.txt", "x"},              {"sub/q?.txt", "x"},             {"sub/pipe|.txt", "x"},
        {"sub/trail.txt.", "x"},             {"sub/aux.txt", "x"},            {"sub/ctl\x01.txt", "x"},
        {"sub/ⱥ.txt", "x"},
    };
    for (const HostEntry& entry : entries) {
        std::optional<std::string_view> content;
        if (entry.content) content = entry.content;
        if (!MakeHostEntry(root.Path(), entry.relative, content)) {
            RemoveHostTree(root.Path());
            GTEST_SKIP() << "no host side to make names Windows cannot hold";
        }
    }
    FileScanner::Criteria criteria;
    criteria.findZeroLength = true;
    criteria.findInvalidShortcuts = true;
    Collected everything = Scan(root.Path(), {{"*", "Any"}}, {}, {}, true);
    Collected tests = Scan(root.Path(), {}, criteria);
    RemoveHostTree(root.Path());

    EXPECT_EQ(Paths(everything), (std::set<std::string>{root / "victim.txt", root / "empty.dat", root / "gone.lnk",
                                                        root / "sub\\plain.txt", root / "sub\\ⱥ.txt"}));
    EXPECT_EQ(std::set<std::string>(everything.folders.begin(), everything.folders.end()),
              (std::set<std::string>{root / ".", root / "..", root / "sub", root / "sub\\.", root / "sub\\.."}));
    EXPECT_EQ(tests.found, (std::map<std::string, std::string>{{root / "empty.dat", "_ZeroLengthFile"},
                                                                {root / "gone.lnk", "_InvalidShortcut"}}));
}

namespace {

// Stands in for the shell: the first shortcut it is asked about blocks until the test ends (as a
// crafted one keeps the shell busy); every later one is called broken at once.
struct BlockingResolver {
    static inline HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline HANDLE left = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline std::atomic<int> calls{0};
    static inline std::atomic<bool>* stopOnBlock = nullptr;
    static inline std::atomic<ULONGLONG> blockedAt{0};
    static inline std::mutex mutex;
    static inline std::string blockedPath;

    static ShortcutVerdict Judge(const std::string& path) {
        if (calls++ > 0) return ShortcutVerdict::Broken;
        {
            std::lock_guard<std::mutex> lock(mutex);
            blockedPath = path;
        }
        blockedAt = GetTickCount64();
        if (stopOnBlock) *stopOnBlock = true;
        WaitForSingleObject(release, INFINITE);
        SetEvent(left);
        return ShortcutVerdict::Broken;  // too late: nobody waits for it any more
    }
};

class SlowShortcutTest : public FileScannerTest {
protected:
    void SetUp() override {
        ResetEvent(BlockingResolver::release);
        ResetEvent(BlockingResolver::left);
        BlockingResolver::calls = 0;
        BlockingResolver::stopOnBlock = nullptr;
        saved = std::exchange(ShortcutJudge::Resolver(), BlockingResolver::Judge);
        for (const char* name : {"one.lnk", "two.lnk", "three.lnk"}) WriteFile(root / name, "x");
        Make("a.tmp");
        criteria.findInvalidShortcuts = true;
    }
    void TearDown() override {
        SetEvent(BlockingResolver::release);
        if (BlockingResolver::calls > 0) {
            EXPECT_EQ(WaitForSingleObject(BlockingResolver::left, 5000), WAIT_OBJECT_0);
        }
        ShortcutJudge::Resolver() = saved;
    }
    ShortcutJudge::Judgment saved = nullptr;
    FileScanner::Criteria criteria;
};

}  // namespace

TEST_F(SlowShortcutTest, IsPassedOverAndAFreshJudgeTakesTheNext) {
    Collected c = Scan(root.Path(), {{"*.tmp", "T"}}, criteria);
    std::string blocked;
    {
        std::lock_guard<std::mutex> lock(BlockingResolver::mutex);
        blocked = BlockingResolver::blockedPath;
    }
    std::map<std::string, std::string> expected{{root / "a.tmp", "T"}};
    for (const char* name : {"one.lnk", "two.lnk", "three.lnk"})
        if (root / name != blocked) expected[root / name] = "_InvalidShortcut";
    EXPECT_EQ(expected.size(), 3u) << blocked;  // one of the three was the blocked one
    EXPECT_EQ(c.found, expected);
    EXPECT_EQ(WaitForSingleObject(BlockingResolver::left, 0), WAIT_TIMEOUT);  // it never waited for the shell
}

TEST_F(SlowShortcutTest, AStopDuringTheWaitEndsTheSearchAtOnce) {
    std::atomic<bool> stop{false};
    BlockingResolver::stopOnBlock = &stop;
    Collected c;
    FileScanner::Search({root.Path(), {}, {}, criteria,
                         [&](auto& path, auto& reason, auto& entry) { Found(path, reason, entry, &c); }, {}, &stop});
    ULONGLONG waited = GetTickCount64() - BlockingResolver::blockedAt;
    EXPECT_LT(waited, 500u);  // well inside the bound a slow shortcut is given
    EXPECT_TRUE(c.found.empty());
    EXPECT_EQ(BlockingResolver::calls, 1);
}
