#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "base/program_paths.h"
#include "res/resource.h"
#include "scan/protected_paths.h"
#include "scan/scan_page.h"
#include "settings/junk_descriptions.h"
#include "settings/settings_store.h"
#include "tests/support/file_tree.h"
#include "tests/support/scan_driver.h"
#include "tests/support/settings_fixture.h"
#include "tests/support/temp_folder.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

class ScopedKnownFolders {
public:
    explicit ScopedKnownFolders(KnownFolders known) : saved(KnownFoldersSource()) {
        KnownFoldersSource() = [known] { return known; };
    }
    ~ScopedKnownFolders() { KnownFoldersSource() = saved; }

private:
    KnownFoldersFunction saved;
};

class ScopedTemporaryFolder {
public:
    explicit ScopedTemporaryFolder(const std::string& path) {
        char buffer[MAX_PATH] = {};
        DWORD length = GetEnvironmentVariableA("TMP", buffer, MAX_PATH);
        if (length > 0 && length < MAX_PATH) saved = buffer;
        SetEnvironmentVariableA("TMP", path.c_str());
    }
    ~ScopedTemporaryFolder() { SetEnvironmentVariableA("TMP", saved ? saved->c_str() : nullptr); }

private:
    std::optional<std::string> saved;
};

// Within a drive laid out like a Windows installation: what Windows, programs and profiles need.
const char* const kProtected[] = {
    "Windows\\System32\\setup.tmp",
    "Windows\\System32\\config\\SYSTEM.LOG1",
    "Windows\\System32\\empty.dll",
    "Windows\\System32\\gone.lnk",
    "Windows\\WinSxS\\Backup\\x.tmp",
    "Windows\\Temp\\install.tmp",
    "Windows\\INetCache\\page.htm",
    "Program Files\\App\\cache.tmp",
    "Program Files\\App\\app.dll",
    "Program Files (x86)\\Old\\~setup.tmp",
    "ProgramData\\Microsoft\\Windows\\WER\\crash.dmp",
    "ProgramData\\Package Cache\\{1234}\\setup.tmp",
    "pagefile.sys",
    "hiberfil.sys",
    "bootmgr",
    "bootsect.bak",
    "DumpStack.log.tmp",
    "Boot\\BCD.LOG1",
    "$Recycle.Bin\\S-1-5-21\\$Rxyz.tmp",
    "System Volume Information\\tracking.log.tmp",
    "Users\\Ann\\NTUSER.DAT",
    "Users\\Ann\\NTUSER.DAT.LOG1",
    "Users\\Ann\\ntuser.dat.tmp",
    "Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat.LOG1",
    "Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\History\\desktop.ini",
    "Users\\Ann\\project\\.git\\objects\\ab\\cd.tmp",
    "Users\\Ann\\AppData\\Local\\Temp\\build\\.git\\index.tmp",
};

}  // namespace

// The factory masks, every search option and special folders that point at the wrong places (the
// Windows folder, the drive's root) over a drive laid out like a Windows installation.
TEST(ProtectedScan, NothingProtectedReachesTheReportWhateverTheMasksAndOptions) {
    SettingsFixture fixture;
    ScopedLanguage language(ShippedLanguageFile());
    TempFolder tree;
    ScopedDrive drive(tree.Path());
    ASSERT_FALSE(drive.Root().empty()) << "no drive letter for " << tree.Path();
    auto at = [&](std::string_view relative) { return drive.Root() + std::string(relative); };

    for (const char* path : kProtected) MakeFileAlong(at(path), std::string_view(path).ends_with("empty.dll") ? 0 : 10);
    MakeFileAlong(at("Users\\Ann\\Desktop\\removed.exe"), 10);
    ASSERT_TRUE(MakeShortcut(at("Users\\Ann\\Desktop\\gone.lnk"), at("Users\\Ann\\Desktop\\removed.exe")));
    ASSERT_TRUE(MakeShortcut(at("Windows\\System32\\gone.lnk"), at("Users\\Ann\\Desktop\\removed.exe")));
    DeleteFileA(at("Users\\Ann\\Desktop\\removed.exe").c_str());
    const std::map<std::string, std::string> junk = {
        {at("Users\\Ann\\Downloads\\setup.tmp"), "Temporary files"},
        {at("Users\\Ann\\Documents\\~draft.docx"), "Temporary copies left by editors"},
        {at("Users\\Ann\\Documents\\empty.txt"), Language().Lookup("_ZeroLengthFile")},
        {at("Users\\Ann\\Documents\\old.doc"), Language().Lookup("_HaveNotAccessed")},
        {at("Users\\Ann\\Desktop\\gone.lnk"), Language().Lookup("_InvalidShortcut")},
        {at("Win2\\x.tmp"), "Temporary files"},
    };
    for (const auto& [path, reason] : junk)
        if (!path.ends_with(".lnk")) MakeFileAlong(path, path.ends_with("empty.txt") ? 0 : 10);
    SetLastAccess(at("Users\\Ann\\Documents\\old.doc"), 400);
    SetLastAccess(at("Program Files\\App\\app.dll"), 400);
    // Found only by the special folders' "*": not at a root, or not a protected name.
    const std::string nearlyProtected[] = {at("Users\\Ann\\AppData\\Local\\Temp\\pagefile.sys"),
                                           at("Users\\Ann\\AppData\\Local\\Temp\\left.dat"),
                                           at("Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\History\\h.dat")};
    for (const std::string& path : nearlyProtected) MakeFileAlong(path, 10);
    MakeFileAlong(at("Users\\Ann\\Keep\\skip.tmp"), 10);

    ScopedKnownFolders known({{at("Windows")}, {at("Program Files"), at("Program Files (x86)")}, {at("ProgramData")}});
    ScopedTemporaryFolder temporary(at("Users\\Ann\\AppData\\Local\\Temp"));
    ShellFolderOverride cache("Cache", at("Windows\\INetCache"));
    ShellFolderOverride recent("Recent", drive.Root());
    ShellFolderOverride history("History", at("Users\\Ann\\AppData\\Local\\Microsoft\\Windows\\History"));
    ShellFolderOverride cookies("Cookies", at("Windows"));

    ScanSettings settings;
    settings.Folders = {drive.Root()};
    for (const ListRow& row : OpenConfig().ReadList(ListSection::JunkFiles, true))
        settings.JunkMasks[row.text] = ShownDescription(row.description);
    ASSERT_GE(settings.JunkMasks.size(), 10u);
    settings.SkipFolders = {at("Users\\Ann\\Keep"), ProgramFolder()};
    for (bool ScanSettings::*flag :
         {&ScanSettings::FindFilesHaveNotAccessed, &ScanSettings::FindZeroLengthFiles,
          &ScanSettings::FindInvalidShortcuts, &ScanSettings::FindTemp, &ScanSettings::FindIETemp,
          &ScanSettings::FindRecent, &ScanSettings::FindIEHistory, &ScanSettings::FindIECookies})
        settings.*flag = true;
    settings.Months = 0;

    ScanPage page;
    ASSERT_TRUE(page.CreateModeless(fixture.Host()));
    bool finished = false;
    page.finishedCallback = [&] { finished = true; };
    page.StartScan(settings);
    ASSERT_TRUE(PumpUntil([&] { return finished; }));

    for (const char* path : kProtected) EXPECT_FALSE(page.found.contains(at(path))) << path;
    EXPECT_FALSE(page.found.contains(at("Users\\Ann\\Keep\\skip.tmp")));
    for (const auto& [path, reason] : junk) {
        auto found = page.found.find(path);
        ASSERT_NE(found, page.found.end()) << path;
        EXPECT_EQ(found->second, reason) << path;
    }
    for (const std::string& path : nearlyProtected) EXPECT_TRUE(page.found.contains(path)) << path;
    // The special folders that point at protected places or a whole drive were passed over, and say so.
    HWND list = GetDlgItem(page.Hwnd(), IDC_SCAN_LIST);
    ASSERT_EQ(RowCount(list), 4);
    for (int row = 1; row < 4; ++row)
        EXPECT_EQ(RowText(list, row, 1), Language().Lookup("_StateSpecialFolderPassedOver")) << row;
    EXPECT_EQ(RowText(list, 3, 0), at("Windows"));
    DestroyWindow(page.Hwnd());
}
