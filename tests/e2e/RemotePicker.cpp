#include "RemotePicker.h"

#include "support/PumpUntil.h"

#include <commctrl.h>

namespace e2e {

namespace {

const int kFileNameBoxId = 0x47C;

struct Search {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindPicker(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    wchar_t title[256] = {};
    ::GetWindowTextW(hwnd, title, 256);
    if (pid == search->processId && std::wstring(className) == L"#32770" && ::IsWindowVisible(hwnd) &&
        *search->caption == title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[1024] = {};
    ::SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

RemotePicker::RemotePicker(DWORD processId, const std::wstring& caption) : processId_(processId), caption_(caption)
{
    testkit::PumpUntil([&] {
        Search search{processId_, &caption_, nullptr};
        ::EnumWindows(&FindPicker, reinterpret_cast<LPARAM>(&search));
        dialog_ = search.found;
        return dialog_ != nullptr && FileList() != nullptr;
    });
}

HWND RemotePicker::FileList() const
{
    HWND view = ::FindWindowExW(dialog_, nullptr, L"SHELLDLL_DefView", nullptr);
    return view ? ::FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

std::wstring RemotePicker::NameBoxText() const
{
    return WindowText(::GetDlgItem(dialog_, kFileNameBoxId));
}

bool RemotePicker::Select(const std::wstring& entryName, const std::wstring& expectedPath) const
{
    if (!dialog_ || entryName.empty())
        return false;
    // The list may still be filling: the letter is typed again now and then.
    DWORD lastTyped = 0;
    return testkit::PumpUntil([&] {
        if (::lstrcmpiW(NameBoxText().c_str(), expectedPath.c_str()) == 0)
            return true;
        if (lastTyped == 0 || ::GetTickCount() - lastTyped > 1500) {
            // The list ignores a character without a repeat count.
            ::PostMessageW(FileList(), WM_CHAR, entryName[0], 1);
            lastTyped = ::GetTickCount();
        }
        return false;
    });
}

bool RemotePicker::Open() const
{
    if (!dialog_)
        return false;
    ::PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return testkit::PumpUntil([&] { return !::IsWindow(dialog_); });
}

bool RemotePicker::Cancel() const
{
    if (!dialog_)
        return false;
    ::PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return testkit::PumpUntil([&] { return !::IsWindow(dialog_); });
}

} // namespace e2e
