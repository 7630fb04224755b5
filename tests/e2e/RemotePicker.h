#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// The program's path picker (the standard open dialog, opened by a page's
// browse button), played from outside: an entry of the folder it opens in is
// selected by typing its first letter into the file list, as a user would;
// the picker then shows the entry's path in its name box, and its open button
// hands that path to the page.
class RemotePicker {
public:
    // Waits for the visible picker of that process with that caption.
    RemotePicker(DWORD processId, const std::wstring& caption);
    RemotePicker(const RemotePicker&) = delete;
    RemotePicker& operator=(const RemotePicker&) = delete;

    bool Found() const { return dialog_ != nullptr; }
    // Types the entry's first letter until the name box shows the path
    // (compared without regard to case); the letter must start no other entry.
    bool Select(const std::wstring& entryName, const std::wstring& expectedPath) const;
    std::wstring NameBoxText() const;
    // Presses open and waits until the picker is gone.
    bool Open() const;
    bool Cancel() const;

private:
    HWND FileList() const;

    DWORD processId_;
    std::wstring caption_;
    HWND dialog_ = nullptr;
};

} // namespace e2e
