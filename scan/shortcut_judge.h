// The shortcut test on a thread of its own, so that a shortcut the shell is slow to load holds up
// neither the walk nor a stop.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

enum class ShortcutVerdict {
    Broken,   // the target is plainly gone
    Sound,    // the target is there, or might be
    Unknown,  // not loaded, not judged in time, or a stop came first: left alone
};

// A shortcut not judged within this time is passed over. Loading a sound one takes milliseconds;
// a crafted one has been seen to keep the shell busy for seven seconds.
constexpr unsigned kShortcutJudgeLimitMs = 1000;

// One judge thread at a time, started at the first shortcut, with its own COM apartment. A judge
// that overruns the limit is abandoned: it finishes its load on its own and leaves, touching only
// state it shares, and a fresh one takes the next shortcut. An idle judge is parked when its owner
// goes and serves the next owner, so a scan of many folders starts one thread, not one a folder.
class ShortcutJudge {
public:
    using Judgment = ShortcutVerdict (*)(const std::string& shortcutPath);

    ShortcutJudge() = default;
    ShortcutJudge(const ShortcutJudge&) = delete;
    ShortcutJudge& operator=(const ShortcutJudge&) = delete;
    ~ShortcutJudge();  // parks the judge thread, or lets it leave; never waits for it

    // Waits for the verdict at most kShortcutJudgeLimitMs, and no longer than a set stop flag.
    ShortcutVerdict Judge(const std::string& shortcutPath, const std::atomic<bool>* stop);

    // What the judge thread runs for each shortcut; tests put one that blocks in its place.
    static Judgment& Resolver();

private:
    struct Channel;
    bool StartJudge();
    void LetGo(bool abandoned);
    static std::mutex& ParkingLock();
    static std::shared_ptr<Channel>& Parked();

    std::shared_ptr<Channel> channel;  // null until the first shortcut and after an abandonment
};

// The shell's verdict: the shortcut is loaded and resolved, then its target probed.
ShortcutVerdict JudgeShortcut(const std::string& shortcutPath);
// The target of a shortcut through the shell link object; nothing when it cannot be loaded.
// A shortcut to a shell object without a file-system path gives an empty target.
std::optional<std::string> ResolveShortcut(const std::string& shortcutPath);
bool TargetExists(const std::string& target);
