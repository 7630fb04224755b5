#include "PickerDriver.h"

#include "support/PumpUntil.h"

#include <commctrl.h>

namespace {

const int kFileNameBoxId = 0x47C;
// The toolbar command of Wine's and Windows' open dialog that opens the parent folder.
const int kUpFolderCommand = 0xA001;

std::wstring TextOf(HWND hwnd)
{
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

} // namespace

PickerDriver::PickerDriver(std::function<void(PickerDriver&)> script)
    : thread_([this, script] { Run(script); })
{
}

PickerDriver::~PickerDriver()
{
    Finish();
}

void PickerDriver::Finish()
{
    if (thread_.joinable())
        thread_.join();
}

void PickerDriver::Run(const std::function<void(PickerDriver&)>& script)
{
    script(*this);
    if (dialog_ && !testkit::PumpUntil([&] { return !::IsWindow(dialog_); }, 10000)) {
        Fail("the dialog stayed open");
        ::PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

BOOL CALLBACK PickerDriver::FindPicker(HWND hwnd, LPARAM param)
{
    auto* self = reinterpret_cast<PickerDriver*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (pid == ::GetCurrentProcessId() && std::wstring(className) == L"#32770" && ::IsWindowVisible(hwnd) &&
        (self->caption_.empty() || TextOf(hwnd) == self->caption_)) {
        self->dialog_ = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool PickerDriver::WaitForDialog(const std::wstring& caption)
{
    caption_ = caption;
    bool found = testkit::PumpUntil([&] {
        ::EnumWindows(&PickerDriver::FindPicker, reinterpret_cast<LPARAM>(this));
        return dialog_ != nullptr && FileList() != nullptr;
    });
    if (!found) {
        Fail("no open dialog with the expected caption");
        // Whatever open dialog there is gets cancelled when the script ends.
        caption_.clear();
        dialog_ = nullptr;
        ::EnumWindows(&PickerDriver::FindPicker, reinterpret_cast<LPARAM>(this));
    }
    return found;
}

HWND PickerDriver::FileList() const
{
    HWND view = ::FindWindowExW(dialog_, nullptr, L"SHELLDLL_DefView", nullptr);
    return view ? ::FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

int PickerDriver::FindItem(const std::wstring& name) const
{
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    return static_cast<int>(::SendMessageW(FileList(), LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find)));
}

bool PickerDriver::HasItem(const std::wstring& name) const
{
    return FindItem(name) >= 0;
}

bool PickerDriver::WaitForItem(const std::wstring& name)
{
    if (testkit::PumpUntil([&] { return HasItem(name); }, 10000))
        return true;
    Fail("the file list never showed an item");
    return false;
}

bool PickerDriver::Select(const std::wstring& name)
{
    int index = FindItem(name);
    if (index < 0) {
        Fail("no item to select");
        return false;
    }
    HWND list = FileList();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return true;
}

void PickerDriver::Type(const std::wstring& text) const
{
    ::SetWindowTextW(Control(kFileNameBoxId), text.c_str());
}

std::wstring PickerDriver::NameBoxText() const
{
    return TextOf(Control(kFileNameBoxId));
}

bool PickerDriver::WaitForNameBox(const std::wstring& text)
{
    if (testkit::PumpUntil([&] { return NameBoxText() == text; }, 10000))
        return true;
    Fail("the name box never showed the expected path");
    return false;
}

// Sent, not posted: a folder the dialog opens is shown and reported before the next step.
void PickerDriver::PressOpen() const
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Control(IDOK)),
                          SMTO_NORMAL, 10000, &result);
}

void PickerDriver::GoUp() const
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(dialog_, WM_COMMAND, MAKEWPARAM(kUpFolderCommand, 0), 0, SMTO_NORMAL, 10000, &result);
}
