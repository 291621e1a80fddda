#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "base/win_handles.h"
#include "clean/backup_set.h"
#include "clean/rescue_dialog.h"
#include "res/resource.h"
#include "scan/file_scanner.h"
#include "tests/support/file_tree.h"
#include "tests/support/lock_elsewhere.h"
#include "tests/support/scan_driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/ui_driver.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

// Can hold the restore worker before one of its files.
class RecordingRescueDialog : public RescueDialog {
public:
    explicit RecordingRescueDialog(std::string directory) : RescueDialog(std::move(directory), nullptr) {
        beforeFile = [this](std::size_t index, const std::atomic<bool>& stop) {
            if (index == holdAt) gate.Hold([&] { return stop.load(); });
        };
    }
    void HoldBefore(std::size_t index) {
        holdAt = index;
        gate.Arm();
    }
    WorkerGate gate;

private:
    std::size_t holdAt = SIZE_MAX;
};

class RescueDialogTest : public testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 400, nullptr, nullptr, nullptr, nullptr);
        WriteFile(root / "t.language",
                  "[String]\r\n_RescueDialogListItemFormat=%02d/%02d/%04d %02d:%02d:%02d\r\n"
                  "_RescueDialogResotoreConfirm=Restore %s?\r\n_LogRestoreFile=back %s > %s\r\n"
                  "_LogRestoreKeptDifferent=different %s > %s\r\n_LogRemoveRestorePoint=deleted %s\r\n"
                  "_RescueDialogStateRestoreKept=%d kept\r\n");
        savedLanguage = Language().File();
        Language().SetFile(root / "t.language");
        MakeFolder(backups);
    }
    void TearDown() override {
        Language().SetFile(savedLanguage);
        if (dialog && dialog->Hwnd()) DestroyWindow(dialog->Hwnd());
        dialog.reset();
        DestroyWindow(host);
    }
    // A set holding a copy of each file, with its path as content.
    std::string MakeSet(const char* name, std::initializer_list<std::string> files) {
        std::string set = backups + "\\" + name;
        MakeFolder(set);
        for (const std::string& file : files) {
            std::string copy = BackupSet::CopyPathInSet(set, file);
            MakeFolders(ParentFolder(copy) + "\\");
            WriteFile(copy, file);
        }
        return set;
    }
    void Open(const std::string& directory) {
        dialog = std::make_unique<RecordingRescueDialog>(directory);
        ASSERT_TRUE(dialog->CreateModeless(host));
    }
    HWND Item(int id) { return GetDlgItem(dialog->Hwnd(), id); }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int row = 0; row < RowCount(Item(IDC_RESCUE_LIST)); ++row) rows.push_back(RowText(Item(IDC_RESCUE_LIST), row, 0));
        return rows;
    }
    // Selects a row and answers the question with Yes; returns when the restore has ended.
    void Restore(int row) {
        SelectRow(Item(IDC_RESCUE_LIST), row);
        boxes.Answer(IDYES);
        Click(dialog->Hwnd(), IDC_RESCUE_RESTORE);
        ASSERT_TRUE(PumpUntil([&] { return !dialog->IsBusy(); }));
    }
    // A set of two files whose restore is held before its second file.
    void StartHeldRestore() {
        heldSet = MakeSet("2006-03-05_14-03-09", {one, two});
        Open(backups);
        dialog->HoldBefore(1);
        SelectRow(Item(IDC_RESCUE_LIST), 0);
        boxes.Answer(IDYES);
        Click(dialog->Hwnd(), IDC_RESCUE_RESTORE);
        ASSERT_TRUE(dialog->gate.WaitUntilHeld());
    }
    std::string State() { return Text(Item(IDC_RESCUE_STATE)); }
    bool ButtonsEnabled() {
        return IsWindowEnabled(Item(IDC_RESCUE_RESTORE)) && IsWindowEnabled(Item(IDC_RESCUE_BROWSE)) &&
               IsWindowEnabled(Item(IDC_RESCUE_DELETE));
    }

    TempFolder root;
    std::string backups = root / "bk";
    std::string one = root / "one.txt", two = root / "two.txt", heldSet;
    HWND host = nullptr;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<RecordingRescueDialog> dialog;
    std::string savedLanguage;
};

}  // namespace

TEST_F(RescueDialogTest, ListsTheSetsOfTheDirectoryInNameOrderAndFollowsTheBrowser) {
    MakeSet("2006-03-05_14-03-09", {});
    MakeSet("2005-12-31_23-59-59", {});
    MakeSet("2006-03-05_14-03-09 copy", {});
    MakeFolder(backups + "\\Old");
    WriteFile(backups + "\\2004-01-01_00-00-00", "a file, not a set");
    Open(backups + "\\");
    EXPECT_EQ(Text(Item(IDC_RESCUE_DIRECTORY)), backups + "\\");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"12/31/2005 23:59:59", "03/05/2006 14:03:09", "03/05/2006 14:03:09"}));

    ScriptedFolderBrowser browser;
    MakeFolder(root / "other");
    MakeSet("..\\other\\2001-02-03_04-05-06", {});
    browser.Pick(root / "other");
    Click(dialog->Hwnd(), IDC_RESCUE_BROWSE);
    EXPECT_EQ(Rows(), std::vector<std::string>{"02/03/2001 04:05:06"});
    // A directory that is not absolute lists nothing, not the sets beside the current folder.
    SetDlgItemTextA(dialog->Hwnd(), IDC_RESCUE_DIRECTORY, "bk");
    EXPECT_TRUE(Rows().empty());
}

TEST_F(RescueDialogTest, ARestoreBringsEveryFileBackRemovesTheSetAndLogsOnce) {
    const std::string a = root / "Data\\New Folder\\A.Tmp", b = root / "b.txt";
    std::string set = MakeSet("2006-03-05_14-03-09", {a, b});
    MakeSet("2007-01-01_00-00-00", {root / "later.txt"});
    Open(backups);
    Restore(0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Restore 03/05/2006 14:03:09?");
    EXPECT_EQ(boxes.shown[0].style & MB_YESNO, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(ReadFile(a), a);
    EXPECT_EQ(ReadFile(b), b);
    EXPECT_FALSE(Exists(set));
    EXPECT_EQ(Rows(), std::vector<std::string>{"01/01/2007 00:00:00"});
    EXPECT_EQ(State(), "_RescueDialogStateRestoreComplete");
    EXPECT_TRUE(ButtonsEnabled());
    HWND bar = Item(IDC_RESCUE_PROGRESS);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 2);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 2);
}

TEST_F(RescueDialogTest, AFileThatCannotGoBackKeepsTheSetAndTheStateSaysHowMany) {
    const std::string free = root / "free.txt", locked = root / "locked.txt";
    std::string set = MakeSet("2006-03-05_14-03-09", {free, locked});
    WriteFile(locked, "in use");
    UniqueFile open(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    Open(backups);
    Restore(0);
    EXPECT_EQ(ReadFile(free), free);
    open.Reset();
    EXPECT_EQ(ReadFile(locked), "in use");
    EXPECT_EQ(ReadFile(BackupSet::CopyPathInSet(set, locked)), locked);  // the only copy stays
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(State(), "1 kept");
}

TEST_F(RescueDialogTest, DeleteAsksFirstAndOnlyYesRemovesTheSet) {
    std::string set = MakeSet("2006-03-05_14-03-09", {root / "x.txt"});
    Open(backups);
    Click(dialog->Hwnd(), IDC_RESCUE_DELETE);  // nothing selected: told so, nothing asked
    Click(dialog->Hwnd(), IDC_RESCUE_RESTORE);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "_YouMustSelectAnItem");
    EXPECT_EQ(boxes.shown[1].text, "_YouMustSelectAnItem");

    SelectRow(Item(IDC_RESCUE_LIST), 0);
    boxes.Answer(IDNO);
    Click(dialog->Hwnd(), IDC_RESCUE_DELETE);
    EXPECT_EQ(boxes.shown.back().text, "_AreYouSureDelteBackupFile");
    EXPECT_TRUE(Exists(set));

    boxes.Answer(IDYES);
    Click(dialog->Hwnd(), IDC_RESCUE_DELETE);
    EXPECT_FALSE(Exists(set));
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(ButtonsEnabled());
}

TEST_F(RescueDialogTest, NeitherRestoreNorDeleteActsWhileAnotherCleaningRuns) {
    std::string set = MakeSet("2006-03-05_14-03-09", {one});
    Open(backups);
    SelectRow(Item(IDC_RESCUE_LIST), 0);
    {
        LockElsewhere other;
        for (int button : {IDC_RESCUE_RESTORE, IDC_RESCUE_DELETE}) {
            boxes.Answer(IDYES);
            Click(dialog->Hwnd(), button);
            EXPECT_EQ(boxes.shown.back().text, "_AnotherCleaningRuns");
        }
    }
    EXPECT_TRUE(Exists(set));
    EXPECT_FALSE(Exists(one));
    EXPECT_TRUE(ButtonsEnabled());

    dialog->HoldBefore(0);  // a restore holds it until its worker has left
    boxes.Answer(IDYES);
    Click(dialog->Hwnd(), IDC_RESCUE_RESTORE);
    ASSERT_TRUE(dialog->gate.WaitUntilHeld());
    EXPECT_FALSE(CleaningLockFree());
    dialog->gate.Release();
    ASSERT_TRUE(PumpUntil([&] { return !dialog->IsBusy(); }));
    EXPECT_TRUE(CleaningLockFree());
    EXPECT_TRUE(Exists(one));
}

TEST_F(RescueDialogTest, CancelIsRefusedWhileARestoreRunsAndClosesAfterIt) {
    StartHeldRestore();
    EXPECT_FALSE(ButtonsEnabled());

    Click(dialog->Hwnd(), IDCANCEL);
    SendMessageA(dialog->Hwnd(), WM_CLOSE, 0, 0);  // the dialog posts itself a Cancel
    PumpMessages();
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[1].text, "_CancelRequestThreadExit");
    EXPECT_EQ(boxes.shown[2].text, "_CancelRequestThreadExit");
    EXPECT_TRUE(IsWindow(dialog->Hwnd()));
    EXPECT_TRUE(dialog->IsBusy());

    dialog->gate.Release();
    ASSERT_TRUE(PumpUntil([&] { return !dialog->IsBusy(); }));
    EXPECT_FALSE(Exists(heldSet));
    EXPECT_TRUE(Exists(one) && Exists(two));
    Click(dialog->Hwnd(), IDCANCEL);
    EXPECT_FALSE(dialog->Hwnd());
    EXPECT_EQ(boxes.shown.size(), 3u);
}

// The owner going away takes the dialog with it mid-restore: the worker leaves between files.
TEST_F(RescueDialogTest, ADialogDestroyedMidRestoreJoinsItsWorkerAndKeepsTheSet) {
    StartHeldRestore();
    DestroyWindow(dialog->Hwnd());
    EXPECT_NE(Exists(one), Exists(two));  // the first listed came back, the second was not begun
    EXPECT_TRUE(Exists(BackupSet::CopyPathInSet(heldSet, one)));
    EXPECT_TRUE(Exists(BackupSet::CopyPathInSet(heldSet, two)));
}
