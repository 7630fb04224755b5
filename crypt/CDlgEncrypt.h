#pragma once
#include "crypt/CThreadEncrypt.h"
#include "crypt/CThreadEncryptSerach.h"
#include "framework/CrossThreadWindow.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/treelist/CZendalTreeListCtrl.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The "文件加密" page: encrypts or decrypts one file or every file of a folder.
// The user picks a file or folder, which fills the list (a folder through the
// folder walk), types the password twice and starts the encryption worker.
class CDlgEncrypt : public CZendalDialog {
public:
    CDlgEncrypt();
    // Waits for a running walk or encryption, which use this page until their end.
    ~CDlgEncrypt() override;

    bool ProcessMessage(fw::Message& m) override;

    // Handed to the workers. Written on the user-interface thread before a
    // worker starts; the workers disable every control that could change them.
    std::wstring password;
    std::wstring folderPath;
    // 1 when "文件加密" was selected, 0 for "文件解密".
    int encryptMode = 1;
    // The listed files' sizes, the denominator of the encryption progress.
    std::atomic<uint64_t> totalBytes{0};

    struct FoundFile {
        std::wstring path;
        uint64_t size;
    };
    struct ListedFile {
        HTREEITEM item;
        std::wstring path;
    };
    struct RowResult {
        HTREEITEM item;
        bool done;
    };

    // The workers' access to the page, from any thread. Each call is one
    // synchronous message to the page, which does the work on its own thread;
    // once the page window is gone the calls do nothing.
    void EnableEncryptControls(bool enable);
    void ClearPasswords();
    // New rows at the end, each with the ready status of the current mode;
    // their sizes are added to totalBytes.
    void AppendRows(const std::vector<FoundFile>& files);
    // The same for the folder walk, which goes on walking meanwhile: from
    // StartRowQueue to EndRowQueue the page appends the queued rows on a
    // timer; EndRowQueue returns once every queued row is in the list.
    void StartRowQueue();
    void QueueRows(const std::vector<FoundFile>& files);
    void EndRowQueue();
    // With this many rows queued the walk appends its next ones itself,
    // waiting for the list, instead of queueing more.
    static constexpr size_t kMaxQueuedRows = 2048;
    // Up to count rows from row first on; fewer at the end of the list.
    std::vector<ListedFile> ReadRows(unsigned first, unsigned count);
    // "完成" with the tick for a file done, else "失败" with the cross.
    void SetRowResults(const std::vector<RowResult>& results);
    bool IsOpen() const { return window_.Valid(); }
    // Thread-safe by itself.
    CZendalProgressCtrl& Progress() { return progress_; }

    HWND ListWindow() const { return list_.Handle(); }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    static constexpr UINT kRunOnPageThread = WM_APP + 1;
    static constexpr UINT_PTR kRowQueueTimer = 1;
    static constexpr UINT kRowQueueTickMs = 50;
    enum ListImage { kDocumentImage = 0, kTickImage = 1, kCrossImage = 2 };

    void OnOperationChange();
    void OnBrowse();
    void OnStart();
    bool OnDestroy(fw::Message& m);
    bool OnTimer(fw::Message& m);
    LRESULT OnRunOnPageThread(WPARAM, LPARAM work);

    void CreateList();
    std::wstring PickPath() const;
    static std::wstring ListedForm(const std::wstring& picked);
    void ListPickedFile(const std::wstring& path);
    void RunOnPageThread(const std::function<void()>& work) const;
    void AppendToList(const std::vector<FoundFile>& files);
    void AppendQueuedRows();
    void Tell(const wchar_t* text) const;

    CZendalComboBox operation_;
    CZendalEdit passwordEdit_;
    CZendalEdit confirmEdit_;
    CZendalButton browse_;
    CZendalButton start_;
    CZendalProgressCtrl progress_;
    CZendalColorFrame listFrame_;
    CZendalTreeListCtrl list_;
    fw::ImageList images_;
    CThreadEncryptSerach search_;
    CThreadEncrypt encrypt_;
    fw::CrossThreadWindow window_;
    std::mutex rowQueueLock_;
    std::vector<FoundFile> queuedRows_;
};
