#include "base/file_proof.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/file_tree.h"
#include "tests/support/temp_folder.h"

namespace {

class FileProofTest : public testing::Test {
protected:
    void SetUp() override {
        MakeFolder(root / "junk");
        MakeFolder(root / "outside");
        MakeFolder(root / "set");
        WriteFile(root / "outside\\doc.txt", "the only copy");
        WriteFile(root / "junk\\plain.tmp", "junk");
    }
    FileStamp StampOf(const std::string& path) { return ReadFileStamp(path).value_or(FileStamp{}); }
    TempFolder root;
};

// Every way the path stops naming the plain file meant; the disk outside is the same afterwards.
TEST_F(FileProofTest, OnlyThePlainFileMeantIsProvenAndRemoved) {
    ASSERT_TRUE(MakeFileLink(root / "junk\\evil.tmp", root / "outside\\doc.txt"));
    ASSERT_TRUE(MakeFolderLink(root / "junk\\swapped", root / "outside"));
    WriteFile(root / "junk\\a.tmp", "lower");
    const FileStamp plain = StampOf(root / "junk\\plain.tmp");
    FileStamp other = plain;
    ++other.writeTime;
    const struct {
        std::string path;
        const FileStamp* expected;
        Proof proof;
    } cases[] = {
        {root / "junk\\evil.tmp", nullptr, Proof::Elsewhere},             // a file link, plain to Wine
        {root / "junk\\swapped\\doc.txt", nullptr, Proof::Elsewhere},     // through a folder link
        {root / "junk\\A.TMP", nullptr, Proof::Elsewhere},                // another letter case
        {root / "junk", nullptr, Proof::NotPlain},                        // a folder
        {root / "junk\\gone.tmp", nullptr, Proof::Missing},
        {root / "junk\\plain.tmp", &other, Proof::Changed},
        {root / "junk\\plain.tmp", &plain, Proof::Proven},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ProvenFile file(c.path, DELETE, c.expected);
        EXPECT_EQ(file.Result(), c.proof);
        EXPECT_EQ(file.Remove(), c.proof == Proof::Proven);
    }
    EXPECT_FALSE(Exists(root / "junk\\plain.tmp"));
    EXPECT_EQ(ReadFile(root / "outside\\doc.txt"), "the only copy");
    EXPECT_EQ(ReadFile(root / "junk\\a.tmp"), "lower");
}

TEST_F(FileProofTest, AFileHeldOpenByAnotherProgramIsInUse) {
    HANDLE held = CreateFileA((root / "junk\\plain.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ProvenFile(root / "junk\\plain.tmp", DELETE, nullptr).Result(), Proof::InUse);
    CloseHandle(held);
}

// A copy is a new file at its own path with the source's write time, or nothing at all.
TEST_F(FileProofTest, ACopyNeverReplacesAFileNorLandsThroughALinkAndAStopLeavesNothing) {
    WriteFile(root / "set\\A.TMP", "first copy");
    ASSERT_TRUE(MakeFolderLink(root / "set\\linked", root / "outside"));
    ProvenFile source(root / "junk\\plain.tmp", GENERIC_READ, nullptr);
    ASSERT_TRUE(source.Proven());
    std::atomic<bool> stop{true};
    EXPECT_EQ(CopyToNewFile(source, root / "set\\a.tmp"), CopyResult::Exists);  // the same name to Windows
    EXPECT_EQ(CopyToNewFile(source, root / "set\\plain.tmp", &stop), CopyResult::Stopped);
    EXPECT_EQ(CopyToNewFile(source, root / "set\\linked\\new.tmp"), CopyResult::Failed);
    EXPECT_EQ(CopyToNewFile(source, root / "set\\linked\\below\\new.tmp"), CopyResult::Failed);
    EXPECT_EQ(ReadFile(root / "set\\A.TMP"), "first copy");
    EXPECT_FALSE(Exists(root / "set\\plain.tmp"));
    EXPECT_FALSE(Exists(root / "outside\\new.tmp") || Exists(root / "outside\\below"));

    EXPECT_EQ(CopyToNewFile(source, root / "set\\deep\\er\\plain.tmp"), CopyResult::Copied);
    EXPECT_EQ(ReadFile(root / "set\\deep\\er\\plain.tmp"), "junk");
    EXPECT_EQ(StampOf(root / "set\\deep\\er\\plain.tmp"), source.Stamp());
}

// A stop reaches a copy between its blocks: a long copy ends at once, and no cut copy is left.
TEST_F(FileProofTest, AStopCutsALongCopyShortAndRemovesWhatWasCopied) {
    UniqueFile big(CreateFileA((root / "junk\\big.dmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    LARGE_INTEGER size{};
    size.QuadPart = 2LL << 30;  // sparse where the file system allows; a copy of it takes seconds
    ASSERT_TRUE(SetFilePointerEx(big.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(big.Get()));
    big.Reset();
    ProvenFile source(root / "junk\\big.dmp", GENERIC_READ, nullptr);
    std::atomic<bool> stop{false}, done{false};
    std::thread stopper([&] {  // once the copy is under way
        while (!done && !Exists(root / "set\\big.dmp")) Sleep(1);
        Sleep(50);
        stop = true;
    });
    EXPECT_EQ(CopyToNewFile(source, root / "set\\big.dmp", &stop), CopyResult::Stopped);
    done = true;
    stopper.join();
    EXPECT_FALSE(Exists(root / "set\\big.dmp"));
}

// A tree removal walks: links inside stay (or go as links) and what they point at is untouched.
TEST_F(FileProofTest, RemovingATreeNeverFollowsALink) {
    MakeFileAlong(root / "outside\\keep\\deep.txt");
    WriteFile(root / "outside\\keep\\deep.txt", "deep");
    MakeFileAlong(root / "set\\C\\Temp\\a.tmp", 10);
    ASSERT_TRUE(MakeFolderLink(root / "set\\C\\Temp\\linked", root / "outside\\keep"));
    ASSERT_TRUE(MakeFileLink(root / "set\\C\\doc.txt", root / "outside\\doc.txt"));
    ASSERT_TRUE(MakeFolderLink(root / "fakeset", root / "outside"));
    MakeFolder(root / "outside\\empty");  // Wine's RemoveDirectoryW on a link removes an empty target
    ASSERT_TRUE(MakeFolderLink(root / "set\\C\\empty", root / "outside\\empty"));

    EXPECT_EQ(RemoveTree(root / "fakeset").removed, 0u);
    TreeRemoval removal = RemoveTree(root / "set");
    EXPECT_GE(removal.removed, 1u);
    EXPECT_FALSE(Exists(root / "set\\C\\Temp\\a.tmp"));
    EXPECT_EQ(ReadFile(root / "outside\\doc.txt"), "the only copy");
    EXPECT_EQ(ReadFile(root / "outside\\keep\\deep.txt"), "deep");
    EXPECT_TRUE(Exists(root / "outside\\empty"));
    EXPECT_EQ(removal.left == 0, !Exists(root / "set"));
}

}  // namespace
