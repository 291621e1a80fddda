#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "scan/file_scanner.h"
#include "scan/protected_paths.h"
#include "tests/support/file_tree.h"
#include "tests/support/temp_folder.h"

namespace {

KnownFolders SampleFolders() {
    return {{"X:\\Win"}, {"X:\\Program Files\\", "X:\\Apps32"}, {"X:\\ProgramData"}};
}

}  // namespace

TEST(ProtectedPaths, KnownFoldersMatchWholeComponentsInAnyCase) {
    const ProtectedPaths paths(SampleFolders());
    for (const char* path : {"X:\\Win\\System32\\a.tmp", "x:\\WIN\\winsxs\\b.log", "X:\\Win\\Temp\\c.tmp",
                             "\\\\?\\X:\\Win\\d.tmp", "X:\\Program Files\\App\\cache.tmp", "X:\\APPS32\\x.tmp",
                             "X:\\ProgramData\\Microsoft\\Crypto\\k.tmp", "X:\\ProgramData\\Package Cache\\a.msi"})
        EXPECT_NE(paths.FileReason(path), nullptr) << path;
    EXPECT_NE(paths.FolderReason("X:\\Win\\"), nullptr);
    for (const char* path : {"X:\\Win2\\a.tmp", "X:\\Win-backup\\a.tmp", "X:\\Data\\Win\\a.tmp", "Y:\\Win\\a.tmp",
                             "X:\\ProgramData\\Vendor\\cache.tmp", "X:\\ProgramData\\Microsoft2\\x.tmp",
                             "X:\\ProgramData\\x.tmp", "X:\\Program Files (x86)Old\\x.tmp"})
        EXPECT_EQ(paths.FileReason(path), nullptr) << path;
    EXPECT_EQ(paths.FolderReason("X:\\"), nullptr);
}

TEST(ProtectedPaths, RootEntriesOnlyAtTheRootOfADriveOrShare) {
    const ProtectedPaths paths(KnownFolders{});
    for (const char* path : {"D:\\pagefile.sys", "D:\\PAGEFILE.SYS", "\\\\server\\share\\hiberfil.sys",
                             "\\\\?\\D:\\bootmgr", "\\\\?\\UNC\\server\\share\\swapfile.sys", "D:\\Windows\\x.tmp",
                             "D:\\Boot\\BCD.LOG", "D:\\DumpStack.log.tmp", "S:\\EFI\\Microsoft\\Boot\\bootmgfw.efi"})
        EXPECT_NE(paths.FileReason(path), nullptr) << path;
    for (const char* path :
         {"D:\\Data\\pagefile.sys", "\\\\server\\share\\dir\\hiberfil.sys", "D:\\Data\\Windows\\x.tmp",
          "D:\\Data\\Boot\\x.tmp", "D:\\Data\\EFI\\x.tmp", "D:\\pagefile.sys.tmp", "pagefile.sys",
          "\\\\server\\pagefile.sys"})
        EXPECT_EQ(paths.FileReason(path), nullptr) << path;
}

TEST(ProtectedPaths, FolderAndFileNamesAnywhere) {
    const ProtectedPaths paths(KnownFolders{});
    for (const char* path :
         {"D:\\p\\.git\\objects\\ab\\cd.tmp", "D:\\p\\.GIT\\x", "D:\\$RECYCLE.BIN\\S-1\\$Rxyz.tmp",
          "E:\\a\\System Volume Information\\x.tmp", "C:\\Users\\Ann\\NTUSER.DAT.LOG1",
          "C:\\Users\\Ann\\ntuser.dat.tmp", "C:\\Users\\Ann\\ntuser.ini", "C:\\x\\desktop.ini", "D:\\p\\sub\\.git",
          "C:\\Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat{1}.TM.blf",
          "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Protect\\S-1-5-21\\key",
          "C:\\Users\\Ann\\AppData\\Local\\Microsoft\\Credentials\\C1", "D:\\Old\\Bob\\Microsoft\\CRYPTO\\RSA\\k",
          "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\SystemCertificates\\My\\c",
          "C:\\Users\\Ann\\AppData\\Local\\Microsoft\\Vault\\v",
          "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\app.lnk"})
        EXPECT_NE(paths.FileReason(path), nullptr) << path;
    for (const char* path :
         {"D:\\p\\.github\\x.tmp", "D:\\p\\x.git\\y.tmp", "D:\\p\\a.git", "C:\\Users\\Ann\\my_ntuser.dat",
          "C:\\Users\\Ann\\ntuser.ini.bak", "C:\\Users\\Ann\\Downloads\\setup.tmp",
          "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Protection\\x", "C:\\Users\\Ann\\Protect\\x",
          "C:\\Users\\Ann\\AppData\\Roaming\\NotMicrosoft\\Vault\\x"})
        EXPECT_EQ(paths.FileReason(path), nullptr) << path;
}

TEST(ProtectedPaths, LongAndShortForms) {
    const ProtectedPaths paths(SampleFolders());
    std::string deep = "X:\\Win";
    std::string plain = "X:\\Data";
    while (deep.size() < 400) {
        deep += "\\a folder with a long name";
        plain += "\\a folder with a long name";
    }
    EXPECT_NE(paths.FileReason(deep + "\\x.tmp"), nullptr);
    EXPECT_NE(paths.FileReason(plain + "\\.svn\\x.tmp"), nullptr);
    EXPECT_EQ(paths.FileReason(plain + "\\x.tmp"), nullptr);

    // A known folder named in its long form still protects the walk of its short form, and back.
    TempFolder root;
    const std::string known = root / "Program Files Of This Test";
    MakeFolder(known);
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(known.c_str(), shortPath, MAX_PATH), 0u);
    if (known == shortPath) GTEST_SKIP() << "this volume keeps no short names";
    const ProtectedPaths fromLong(KnownFolders{{}, {known}, {}});
    const ProtectedPaths fromShort(KnownFolders{{}, {shortPath}, {}});
    EXPECT_NE(fromLong.FolderReason(shortPath), nullptr);
    EXPECT_NE(fromShort.FolderReason(known), nullptr);
}

TEST(ProtectedPaths, TheWalkNeverEntersOrReportsWhatIsProtected) {
    TempFolder root;
    MakeFileAlong(root / "Sys\\a.tmp");
    MakeFileAlong(root / "Sys\\Deeper\\b.tmp");
    MakeFileAlong(root / "Sys2\\c.tmp");
    MakeFileAlong(root / "p\\.git\\objects\\d.tmp");
    MakeFileAlong(root / "p\\ntuser.dat.tmp");
    MakeFileAlong(root / "p\\e.tmp");
    const ProtectedPaths paths(KnownFolders{{root / "Sys"}, {}, {}});
    FileScanner::Criteria criteria;
    criteria.protectedPaths = &paths;
    struct Seen {
        std::set<std::string> found, folders;
    } seen;
    auto search = [&](const std::string& folder) {
        FileScanner::Search({folder, {{"*.tmp", "Temporary"}}, {}, criteria,
                             [&](const std::string& path, const std::string&, const WIN32_FIND_DATAA&) {
                                 seen.found.insert(path);
                             },
                             [&](const std::string& path, const WIN32_FIND_DATAA&) { seen.folders.insert(path); }});
    };
    search(root.Path());
    EXPECT_EQ(seen.found, (std::set<std::string>{root / "Sys2\\c.tmp", root / "p\\e.tmp"}));
    EXPECT_FALSE(seen.folders.contains(root / "Sys\\Deeper"));
    EXPECT_FALSE(seen.folders.contains(root / "p\\.git\\objects"));

    seen = {};
    search(root / "Sys\\Deeper\\");  // a search that starts inside a protected folder
    search(root / "p\\.git");
    EXPECT_TRUE(seen.found.empty());
    EXPECT_TRUE(seen.folders.empty());
}

TEST(InFolder, WholePathPartsInAnyCase) {
    for (auto [path, folder] : {std::pair{"d:\\skipme\\x", "D:\\SKIPME\\"}, {"d:\\skipme", "D:\\skipme"},
                                {"c:\\x", "C:\\"}, {"d:\\a\\$recycle.bin\\s-1", "\\$Recycle.Bin"},
                                {"d:\\p\\cache\\tmp\\x", "cache\\tmp"}, {"d:\\x", ""}})
        EXPECT_TRUE(InFolder(path, FoldedFolder(folder))) << path << " in " << folder;
    for (auto [path, folder] : {std::pair{"d:\\skipme2\\x", "D:\\skipme"}, {"c:\\apple\\x", "C:\\app"},
                                {"d:\\c\\app", "C:\\app"}, {"d:\\$recycle.bin2", "\\$Recycle.Bin"},
                                {"d:\\mycache\\tmp", "cache\\tmp"}, {"d:\\cache\\tmp2", "cache\\tmp"}})
        EXPECT_FALSE(InFolder(path, FoldedFolder(folder))) << path << " in " << folder;
}

TEST(UnsafeSpecialFolder, RootsProfilesAndDocumentsButNotTheirTemporaryFolders) {
    KnownFolders known = SampleFolders();
    known.profiles = {"X:\\Users\\Ann", "X:\\Users\\Ann\\AppData\\Local"};
    known.documents = {"X:\\Users\\Ann\\Documents", "X:\\Users\\Ann\\Desktop\\"};
    for (const char* folder : {"D:\\", "X:", "\\\\server\\share\\", "Temp", "X:\\Users\\Ann", "x:\\users\\ANN\\",
                               "X:\\Users", "X:\\Users\\Ann\\AppData", "X:\\Users\\Ann\\Documents",
                               "X:\\Users\\Ann\\Desktop\\Cache", "X:\\Program Files"})
        EXPECT_TRUE(UnsafeSpecialFolder(folder, known)) << folder;
    for (const char* folder : {"X:\\Users\\Ann\\AppData\\Local\\Temp", "X:\\Users\\Ann\\Documents2", "X:\\Tmp",
                               "X:\\Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\INetCache"})
        EXPECT_FALSE(UnsafeSpecialFolder(folder, known)) << folder;
}
