#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Plays the user of the standard open dialog from a second thread while the
// test thread runs the dialog modally. Steps record what went wrong instead
// of asserting (the test thread reports it); whatever the script does, the
// dialog is cancelled if it is still open afterwards, so the modal run ends.
class PickerDriver {
public:
    explicit PickerDriver(std::function<void(PickerDriver&)> script);
    ~PickerDriver();
    PickerDriver(const PickerDriver&) = delete;
    PickerDriver& operator=(const PickerDriver&) = delete;

    // Waits for the script's end; then failures are complete.
    void Finish();
    const std::vector<std::string>& Failures() const { return failures_; }

    // Steps, for the script.
    bool WaitForDialog(const std::wstring& caption);
    bool WaitForItem(const std::wstring& name);
    bool HasItem(const std::wstring& name) const;
    bool Select(const std::wstring& name);
    void Type(const std::wstring& text) const;
    std::wstring NameBoxText() const;
    void PressOpen() const;
    // Opens the parent folder with the dialog's own toolbar command.
    void GoUp() const;
    bool WaitForNameBox(const std::wstring& text);
    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return ::GetDlgItem(dialog_, id); }
    void Fail(const std::string& what) { failures_.push_back(what); }

private:
    static BOOL CALLBACK FindPicker(HWND hwnd, LPARAM self);
    HWND FileList() const;
    int FindItem(const std::wstring& name) const;
    void Run(const std::function<void(PickerDriver&)>& script);

    std::wstring caption_;
    HWND dialog_ = nullptr;
    std::vector<std::string> failures_;
    std::thread thread_;
};
