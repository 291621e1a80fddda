#include "base/job_progress.h"

void JobProgress::Begin(std::string text, std::size_t length) {
    std::lock_guard guard(lock);
    ++stage;
    stageText = std::move(text);
    total = length;
}

void JobProgress::Latest(const std::string& text) {
    const ULONGLONG now = GetTickCount64();
    if (now - latestAt < kProgressMilliseconds) return;
    latestAt = now;
    std::lock_guard guard(lock);
    latest = text;
}

void JobProgress::Note(std::string text) {
    std::lock_guard guard(lock);
    notes.push_back(std::move(text));
}

JobProgress::View JobProgress::Read() const {
    std::lock_guard guard(lock);
    return {stage, stageText, done.load(std::memory_order_relaxed), total, latest};
}

std::vector<std::string> JobProgress::NotesFrom(std::size_t index) const {
    std::lock_guard guard(lock);
    if (index >= notes.size()) return {};
    return std::vector<std::string>(notes.begin() + static_cast<std::ptrdiff_t>(index), notes.end());
}
