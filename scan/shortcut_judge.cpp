#include "scan/shortcut_judge.h"

#include <windows.h>

#include <mutex>
#include <process.h>
#include <shlobj.h>

#include "base/ansi.h"
#include "base/com_ptr.h"
#include "base/win_handles.h"

namespace {

constexpr DWORD kStopPollMs = 20;
// Abandoned judges still inside a load; with this many, shortcuts are passed over unjudged until
// one comes back, so a folder of crafted shortcuts cannot pile up threads.
constexpr int kMostAbandonedJudges = 4;

std::atomic<int>& AbandonedJudges() {
    static std::atomic<int> count{0};
    return count;
}

}  // namespace

// Owned jointly by the scanning thread and the judge thread, so an abandoned judge that comes back
// late writes only here.
struct ShortcutJudge::Channel {
    UniqueHandle request{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle answered{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    std::string path;  // written before request is set, read by the judge after
    ShortcutVerdict verdict = ShortcutVerdict::Unknown;
    std::atomic<bool> quit{false};
    std::atomic<bool> abandoned{false};

    static unsigned __stdcall Run(void* argument);
};

unsigned __stdcall ShortcutJudge::Channel::Run(void* argument) {
    std::shared_ptr<Channel> channel = std::move(*static_cast<std::shared_ptr<Channel>*>(argument));
    delete static_cast<std::shared_ptr<Channel>*>(argument);
    {
        ComApartment apartment;
        while (WaitForSingleObject(channel->request.Get(), INFINITE) == WAIT_OBJECT_0 && !channel->quit) {
            ShortcutVerdict verdict = ShortcutVerdict::Unknown;
            try {
                verdict = Resolver()(channel->path);
            } catch (...) {
                // An exception stops at the thread's entry; the shortcut stays unjudged.
            }
            channel->verdict = verdict;
            SetEvent(channel->answered.Get());
        }
    }
    if (channel->abandoned) AbandonedJudges().fetch_sub(1);
    return 0;
}

ShortcutJudge::~ShortcutJudge() {
    if (!channel) return;
    std::lock_guard<std::mutex> lock(ParkingLock());
    if (Parked())
        LetGo(false);
    else
        Parked() = std::move(channel);
}

std::mutex& ShortcutJudge::ParkingLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<ShortcutJudge::Channel>& ShortcutJudge::Parked() {
    static std::shared_ptr<Channel> parked;
    return parked;
}

ShortcutJudge::Judgment& ShortcutJudge::Resolver() {
    static Judgment resolver = JudgeShortcut;
    return resolver;
}

bool ShortcutJudge::StartJudge() {
    {
        std::lock_guard<std::mutex> lock(ParkingLock());
        if (Parked()) {
            channel = std::move(Parked());
            return true;
        }
    }
    if (AbandonedJudges().load() >= kMostAbandonedJudges) return false;
    auto fresh = std::make_shared<Channel>();
    if (!fresh->request || !fresh->answered) return false;
    auto* argument = new std::shared_ptr<Channel>(fresh);
    UniqueHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Channel::Run, argument, 0, nullptr)));
    if (!thread) {
        delete argument;
        return false;
    }
    channel = std::move(fresh);
    return true;
}

void ShortcutJudge::LetGo(bool abandoned) {
    if (abandoned) {
        AbandonedJudges().fetch_add(1);
        channel->abandoned = true;
    }
    channel->quit = true;
    SetEvent(channel->request.Get());  // an idle judge wakes to leave; a busy one leaves after its load
    channel.reset();
}

ShortcutVerdict ShortcutJudge::Judge(const std::string& shortcutPath, const std::atomic<bool>* stop) {
    if (!channel && !StartJudge()) return ShortcutVerdict::Unknown;
    channel->path = shortcutPath;
    SetEvent(channel->request.Get());
    const ULONGLONG deadline = GetTickCount64() + kShortcutJudgeLimitMs;
    for (;;) {
        DWORD wait = WaitForSingleObject(channel->answered.Get(), kStopPollMs);
        if (wait == WAIT_OBJECT_0) return channel->verdict;
        if (wait != WAIT_TIMEOUT || (stop && stop->load(std::memory_order_relaxed)) || GetTickCount64() >= deadline)
            break;
    }
    LetGo(true);
    return ShortcutVerdict::Unknown;
}

ShortcutVerdict JudgeShortcut(const std::string& shortcutPath) {
    std::optional<std::string> target = ResolveShortcut(shortcutPath);
    if (!target) return ShortcutVerdict::Unknown;
    return TargetExists(*target) ? ShortcutVerdict::Sound : ShortcutVerdict::Broken;
}

std::optional<std::string> ResolveShortcut(const std::string& shortcutPath) {
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return std::nullopt;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return std::nullopt;
    std::wstring wide = ToWide(shortcutPath);
    if (wide.size() >= MAX_PATH || FAILED(file->Load(wide.c_str(), STGM_READ))) return std::nullopt;
    char target[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) return std::nullopt;
    if (target[0] == '\0') {
        // A shortcut to a shell object without a file-system path (a control panel item, say)
        // cannot be judged; one that points nowhere at all is broken.
        PIDLIST_ABSOLUTE items = nullptr;
        bool pointsSomewhere = SUCCEEDED(link->GetIDList(&items)) && items != nullptr;
        CoTaskMemFree(items);
        if (pointsSomewhere) return std::nullopt;
    }
    return std::string(target);
}

bool TargetExists(const std::string& target) {
    if (target.empty()) return false;
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // Only a plain "not there" counts as gone; a locked file, a denied folder or a network drive
    // or a removable drive that is offline might still be there, and the shortcut is left alone.
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME:
        return false;
    default:
        return true;
    }
}
