#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

// The one path picker of the program: the standard open dialog (classic
// Explorer style with a hook) adapted to return a file, a folder, or either.
// It tracks the path of whatever the user last selected or opened as a
// folder and returns that; in the folder modes the open button ends the
// dialog at once with that path.
class CZendalFileFolderDialog {
public:
    static constexpr int kFileMode = 0;
    static constexpr int kFolderMode = 1;
    static constexpr int kFileOrFolderMode = 2;

    // filter: descriptions and patterns separated by "|"; empty for none.
    CZendalFileFolderDialog(int mode, const std::wstring& filter);
    CZendalFileFolderDialog(const CZendalFileFolderDialog&) = delete;
    CZendalFileFolderDialog& operator=(const CZendalFileFolderDialog&) = delete;

    // The standard dialog's settings; callers may set lpstrFilter directly.
    OPENFILENAMEW& Settings() { return settings_; }
    int Mode() const { return mode_; }

    // IDOK when the dialog was confirmed, IDCANCEL otherwise.
    INT_PTR DoModal();
    std::wstring Choice() const { return choice_; }

private:
    // Controls of the standard dialog that the picker adjusts.
    static constexpr int kFileNameLabelId = 0x442;
    static constexpr int kFileNameBoxId = 0x47C;
    static constexpr int kFileTypeLabelId = 0x441;
    static constexpr int kFileTypeBoxId = 0x470;
    static constexpr int kFileListId = 0x460;

    static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PickerProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    static std::wstring FilterList(const std::wstring& filter);
    static std::wstring QueryPath(HWND dialog, UINT message);
    static bool IsFileSystemPath(const std::wstring& path);

    void OnInitDialog(HWND dialog);
    void SetCaption(HWND dialog) const;
    void AdjustControls(HWND dialog) const;
    void MoveControls(HWND dialog) const;
    void OnNotify(HWND dialog, UINT code);
    void OnSelectionChange(HWND dialog);
    void SetChoice(HWND dialog, const std::wstring& path);

    int mode_;
    std::wstring choice_;
    std::wstring filter_;
    wchar_t fileName_[MAX_PATH] = {};
    OPENFILENAMEW settings_{};
};
