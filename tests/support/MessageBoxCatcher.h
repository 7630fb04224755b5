#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace testkit {

struct ShownMessageBox {
    std::wstring caption;
    std::wstring text;
};

// While it exists, every message box any thread of a process shows (this
// process unless another one is named) is recorded (caption and text) and
// answered with OK.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(DWORD processId = ::GetCurrentProcessId());
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    std::vector<ShownMessageBox> Boxes() const;
    size_t Count() const;
    // Waits, pumping this thread's messages, until at least count boxes were answered.
    bool WaitForCount(size_t count, DWORD limitMs = 30000) const;
    void Clear();

private:
    static DWORD WINAPI WatchThread(LPVOID self);
    static BOOL CALLBACK InspectWindow(HWND hwnd, LPARAM self);
    void Watch();
    void Answer(HWND box);

    mutable std::mutex mutex_;
    std::vector<ShownMessageBox> boxes_;
    std::set<HWND> answered_;
    DWORD processId_;
    std::atomic<bool> stop_{false};
    HANDLE thread_ = nullptr;
};

} // namespace testkit
