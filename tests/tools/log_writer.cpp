// The second process of the concurrent-append test: log_writer.exe <folder> <tag> <count> appends
// count records, as the log component does, while the test and other writers append too.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "components/log/record_store.h"
#include "tests/support/log_component.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    std::wstring folder = argv[1];
    std::wstring wideTag = argv[2];
    std::string tag(wideTag.begin(), wideTag.end());
    int count = _wtoi(argv[3]);
    for (int i = 0; i < count; ++i)
        if (!AppendRecord(folder, StampedRecord("Writer", tag, "Append", "log_writer", WriterText(tag, i)))) return 1;
    return 0;
}
