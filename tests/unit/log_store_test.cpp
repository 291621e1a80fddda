#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "base/worker_run.h"
#include "components/log/record_store.h"
#include "tests/support/file_tree.h"
#include "tests/support/log_component.h"
#include "tests/support/temp_folder.h"

namespace {

LogRecord Record(std::string text, std::string type = "Cleaning") {
    return LogRecord{{2024, 5, 1, 14, 3, 22}, {2024, 5, 1, 12, 3, 22}, std::move(type), "Tidyhold", "Delete",
                     "Tidyhold", std::move(text)};
}

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

// Texts that must come back exactly, whichever field holds them.
struct Unusual {
    const char* name;
    std::string text;
};
std::vector<Unusual> UnusualTexts() {
    return {
        {"empty", ""},
        {"plain path", "C:\\Temp\\a.tmp"},
        {"CRLF lines", "Header\r\n\r\nC:\\a.tmp\r\n\r\n"},
        {"lone LF and CR", "a\nb\rc"},
        {"only a line break", "\r\n"},
        {"CR before CRLF", "x\r\r\n\ny"},
        {"escapes written out", "not\\r an \\n escape\\\\"},
        {"trailing backslash", "C:\\"},
        {"forged record", "ok\r\n@end\r\n@record 2020-01-01 00:00:00 (UTC 2020-01-01 00:00:00)\r\ntype|forged\r\n@end"},
        {"forged field", "text|forged\r\ntype|forged"},
        {"separators", "|\\@|@end|"},
        {"Japanese", "\xE3\x81\x94\xE3\x81\xBF\xE7\xAE\xB1\xE3\x82\x92\xE7\xA9\xBA\xE3\x81\xAB"},
        {"emoji", "\xF0\x9F\xA7\xB9 \xE2\x9C\xA8 \xF0\x9F\x97\x91\xEF\xB8\x8F"},
        {"control characters", std::string("\x01\x02\t\x1B\x7F", 5)},
        {"100 KB", std::string(100 * 1024, 'x') + "\r\n" + std::string(1000, '\n')},
    };
}

}  // namespace

// The written form is what a person reads in an editor: any change to it is a change of format.
TEST(LogRecordFormat, ReadsAsPlainLinesBetweenRecordAndEnd) {
    EXPECT_EQ(EncodeRecord(Record("Delete files\r\n\r\nC:\\a.tmp\nb")),
              "@record 2024-05-01 14:03:22 (UTC 2024-05-01 12:03:22)\r\n"
              "type|Cleaning\r\ncategory|Tidyhold\r\naction|Delete\r\nsource|Tidyhold\r\n"
              "text|Delete files\r\ntext|\r\ntext\\C:\\\\a.tmp\\nb\r\n"
              "@end\r\n");
    EXPECT_EQ(MonthFileName({2024, 5, 1, 0, 0, 0}), "2024-05.log");
}

TEST(LogRecordFormat, UnusualTextsComeBackExactlyInEveryField) {
    for (const auto& unusual : UnusualTexts()) {
        SCOPED_TRACE(unusual.name);
        LogRecord record = Record(unusual.text, unusual.text);
        record.source = unusual.text;
        std::string file = EncodeRecord(Record("before")) + EncodeRecord(record) + EncodeRecord(Record("after"));
        std::vector<LogRecord> back = ParseRecords(file);
        ASSERT_EQ(back.size(), 3u);
        EXPECT_EQ(back[0], Record("before"));
        EXPECT_TRUE(back[1] == record);
        EXPECT_EQ(back[2], Record("after"));
    }
}

TEST(LogRecordFormat, DamagedRecordsAreSkippedAndTheirNeighboursKept) {
    const std::string good = EncodeRecord(Record("good"));
    const std::string head = "@record 2024-05-01 14:03:22 (UTC 2024-05-01 12:03:22)\r\n";
    struct Case {
        const char* name;
        std::string damaged;
    } cases[] = {
        {"unknown field", head + "colour|red\r\n@end\r\n"},
        {"fields out of order", head + "text|a\r\ntype|b\r\n@end\r\n"},
        {"bad escape", head + "text\\a\\qb\r\n@end\r\n"},
        {"escape cut at line end", head + "text\\a\\\r\n@end\r\n"},
        {"bad time", "@record 2024-05-01 14:03 (UTC 2024-05-01 12:03:22)\r\ntext|a\r\n@end\r\n"},
        {"no end before the next record", head + "text|cut short\r\n"},
        {"stray lines", "garbage\r\n\r\ntext|orphan\r\n@end\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<LogRecord> back = ParseRecords(good + c.damaged + good);
        ASSERT_EQ(back.size(), 2u);
        EXPECT_EQ(back[0], Record("good"));
        EXPECT_EQ(back[1], Record("good"));
    }
}

TEST(LogRecordStore, MakesTheMissingFolderAndReadsBackWhatItAppended) {
    TempFolder temp;
    std::wstring folder = Wide(temp / "Log\\Data");
    EXPECT_TRUE(ReadRecords(folder).empty());
    for (const auto& unusual : UnusualTexts()) ASSERT_TRUE(AppendRecord(folder, Record(unusual.text)));
    std::vector<LogRecord> back = ReadRecords(folder);
    ASSERT_EQ(back.size(), UnusualTexts().size());
    for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(back[i] == Record(UnusualTexts()[i].text)) << i;
    EXPECT_EQ(ReadFile(temp / "Log\\Data\\2024-05.log").substr(0, 8), "@record ");
}

TEST(LogRecordStore, WorksInAFolderPastMaxPath) {
    TempFolder temp;
    std::string deep = MakeLongFolder(temp, 300) + "\\Log\\Data";
    ASSERT_TRUE(AppendRecord(Wide(deep), Record("deep")));
    std::vector<LogRecord> back = ReadRecords(Wide(deep));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].text, "deep");
}

TEST(LogRecordStore, MonthFilesAreReadOldestFirst) {
    TempFolder temp;
    std::wstring folder = Wide(temp.Path());
    LogRecord june = Record("june"), may = Record("may"), january = Record("january");
    june.local.month = 6;
    january.local.year = 2025;
    january.local.month = 1;
    ASSERT_TRUE(AppendRecord(folder, january));
    ASSERT_TRUE(AppendRecord(folder, june));
    ASSERT_TRUE(AppendRecord(folder, may));
    WriteFile(temp / "notes.txt", "not a month file\r\n");
    std::vector<LogRecord> back = ReadRecords(folder);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].text, "may");
    EXPECT_EQ(back[1].text, "june");
    EXPECT_EQ(back[2].text, "january");
}

// A crash or a full disk leaves half a record; the next append starts on a line of its own, and the
// reader gives back every whole record and nothing of the torn one.
TEST(LogRecordStore, TornTailIsSkippedAndTheNextAppendStartsCleanly) {
    const std::string torn = EncodeRecord(Record("torn\r\nsecond line"));
    struct Case {
        const char* name;
        size_t keep;
        bool tornCounts;
    } cases[] = {
        {"one byte", 1, false},
        {"inside the time", 20, false},
        {"after the header line", torn.find("type|"), false},
        {"inside a line", torn.find("second") + 3, false},
        {"between CR and LF", torn.find("\r\ntext|second") + 1, false},
        {"before @end", torn.find("@end"), false},
        {"inside @end", torn.find("@end") + 2, false},
        {"between @end's CR and LF", torn.size() - 1, false},
        {"all but @end's line break", torn.size() - 2, true},  // every field is there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        std::wstring folder = Wide(temp.Path());
        ASSERT_TRUE(AppendRecord(folder, Record("first")));
        ASSERT_TRUE(AppendRecord(folder, Record("second")));
        std::string path = temp / "2024-05.log";
        WriteFile(path, ReadFile(path) + torn.substr(0, c.keep));
        ASSERT_TRUE(AppendRecord(folder, Record("after the crash")));
        ASSERT_TRUE(AppendRecord(folder, Record("and one more")));

        std::vector<std::string> texts;
        for (const auto& record : ReadRecords(folder)) texts.push_back(record.text);
        std::vector<std::string> expected = {"first", "second", "after the crash", "and one more"};
        if (c.tornCounts) expected.insert(expected.begin() + 2, "torn\r\nsecond line");
        EXPECT_EQ(texts, expected);
    }
}

// Records are written into no month file that leads elsewhere, nor into a folder that is a link:
// the append fails and the place outside is as it was.
TEST(LogRecordStore, NoLinkIsWrittenThrough) {
    enum Kind { FileLink, DanglingLink, HardLink, FolderLink };
    for (Kind kind : {FileLink, DanglingLink, HardLink, FolderLink}) {
        SCOPED_TRACE(kind);
        TempFolder temp;
        std::string data = temp / "Data", outside = temp / "outside";
        std::string month = data + "\\2024-05.log", target = outside + "\\2024-05.log";
        MakeFolder(outside);
        if (kind != DanglingLink) WriteFile(target, "kept\r\n");
        if (kind != FolderLink) MakeFolder(data);
        bool made = kind == FolderLink ? MakeFolderLink(data, outside)
                    : kind == HardLink ? CreateHardLinkA(month.c_str(), target.c_str(), nullptr) != FALSE
                                       : MakeFileLink(month, target);
        ASSERT_TRUE(made);
        EXPECT_FALSE(AppendRecord(Wide(data), Record("not here")));
        if (kind == DanglingLink) EXPECT_FALSE(Exists(target));
        else EXPECT_EQ(ReadFile(target), "kept\r\n");
        RemoveHostTree(temp.Path());  // the links as links: Wine's DeleteFileW would take a file link's target
    }
}

// Two threads with a handle each, and two processes, append to one month file at once: every
// record arrives whole, none interleaved, each writer's in its own order.
TEST(LogRecordStore, ConcurrentAppendsFromThreadsAndProcessesStayWhole) {
    TempFolder temp;
    std::wstring folder = Wide(temp / "Data");
    const int count = 150;
    std::vector<PROCESS_INFORMATION> processes;
    for (std::string tag : {"processA", "processB"}) {
        std::string commandLine =
            "\"" + HostPath(TIDYHOLD_LOG_WRITER) + "\" \"" + (temp / "Data") + "\" " + tag + " " + std::to_string(count);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        CloseHandle(process.hThread);
        processes.push_back(process);
    }
    std::atomic<int> failures{0};
    auto writer = [&](std::string tag) {
        for (int i = 0; i < count; ++i) {
            if (!AppendRecord(folder, StampedRecord("Writer", tag, "Append", "test", WriterText(tag, i)))) ++failures;
        }
    };
    std::thread one(writer, "threadA"), two(writer, "threadB");
    one.join();
    two.join();
    for (auto& process : processes) {
        WaitPumpingSentMessages(process.hProcess);
        DWORD code = 99;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(process.hProcess);
    }
    EXPECT_EQ(failures, 0);

    std::map<std::string, int> next;  // writer tag -> the index its next record must carry
    std::vector<LogRecord> records = ReadRecords(folder);
    EXPECT_EQ(records.size(), 4u * count);
    for (const auto& record : records) {
        int index = next[record.category]++;
        ASSERT_EQ(record.text, WriterText(record.category, index)) << record.category;
    }
    for (std::string tag : {"threadA", "threadB", "processA", "processB"}) EXPECT_EQ(next[tag], count) << tag;
}
