#include "support/MessageBoxCatcher.h"

#include "support/PumpUntil.h"

namespace testkit {

namespace {

// The text control of a message box has this id on Windows and on Wine.
const int kMessageBoxTextId = 0xFFFF;

std::wstring TextOf(HWND hwnd)
{
    wchar_t buffer[4096] = {};
    ::GetWindowTextW(hwnd, buffer, 4096);
    return buffer;
}

} // namespace

MessageBoxCatcher::MessageBoxCatcher(DWORD processId) : processId_(processId)
{
    thread_ = ::CreateThread(nullptr, 0, &MessageBoxCatcher::WatchThread, this, 0, nullptr);
}

MessageBoxCatcher::~MessageBoxCatcher()
{
    stop_ = true;
    if (thread_) {
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
    }
}

DWORD WINAPI MessageBoxCatcher::WatchThread(LPVOID self)
{
    static_cast<MessageBoxCatcher*>(self)->Watch();
    return 0;
}

void MessageBoxCatcher::Watch()
{
    while (!stop_) {
        ::EnumWindows(&MessageBoxCatcher::InspectWindow, reinterpret_cast<LPARAM>(this));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = answered_.begin(); it != answered_.end();)
                it = ::IsWindow(*it) ? std::next(it) : answered_.erase(it);
        }
        ::Sleep(5);
    }
}

BOOL CALLBACK MessageBoxCatcher::InspectWindow(HWND hwnd, LPARAM param)
{
    auto* self = reinterpret_cast<MessageBoxCatcher*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != self->processId_ || !::IsWindowVisible(hwnd))
        return TRUE;
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) != L"#32770" || !::GetDlgItem(hwnd, kMessageBoxTextId))
        return TRUE;
    self->Answer(hwnd);
    return TRUE;
}

void MessageBoxCatcher::Answer(HWND box)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!answered_.insert(box).second)
            return;
        boxes_.push_back({TextOf(box), TextOf(::GetDlgItem(box, kMessageBoxTextId))});
    }
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::vector<ShownMessageBox> MessageBoxCatcher::Boxes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

size_t MessageBoxCatcher::Count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_.size();
}

bool MessageBoxCatcher::WaitForCount(size_t count, DWORD limitMs) const
{
    return PumpUntil([&] { return Count() >= count; }, limitMs);
}

void MessageBoxCatcher::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.clear();
}

} // namespace testkit
