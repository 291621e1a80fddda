// A worker job's progress as one page timer shows it: the worker writes, the UI thread reads, and
// no file waits for a paint.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

// How often a page shows its worker's progress. Each update of a control costs the window system a
// dozen requests, which under Wine queue with the worker's file calls: twenty a second look smooth.
constexpr UINT kProgressMilliseconds = 50;

class JobProgress {
public:
    struct View {
        unsigned stage = 0;  // how many stages have begun
        std::string stageText;
        std::size_t done = 0;
        std::size_t total = 0;
        std::string latest;
    };

    // Worker side. A new stage, with the text that names it and its length; the count goes on.
    void Begin(std::string text, std::size_t total);
    void Done(std::size_t count) { done.store(count, std::memory_order_relaxed); }
    // The newest path, kept at most once per kProgressMilliseconds: nobody sees more.
    void Latest(const std::string& text);
    // A line the page shows besides (a folder passed over), in order.
    void Note(std::string text);

    // UI side.
    View Read() const;
    std::vector<std::string> NotesFrom(std::size_t index) const;

private:
    std::atomic<std::size_t> done{0};
    ULONGLONG latestAt = 0;  // the worker's own
    mutable std::mutex lock;
    unsigned stage = 0;
    std::string stageText;
    std::size_t total = 0;
    std::string latest;
    std::vector<std::string> notes;
};
