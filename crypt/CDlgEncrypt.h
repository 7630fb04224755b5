#pragma once
#include "crypt/CThreadEncrypt.h"
#include "crypt/CThreadEncryptSerach.h"
#include "crypt/FileListScreen.h"
#include "framework/UniqueHandle.h"
#include "resource.h"
#include "ui/skin/CZendalButton.h"
#include "ui/skin/CZendalColorFrame.h"
#include "ui/skin/CZendalComboBox.h"
#include "ui/skin/CZendalDialog.h"
#include "ui/skin/CZendalEdit.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/skin/PageLink.h"
#include "ui/treelist/CZendalTreeListCtrl.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// The "文件加密" page: encrypts or decrypts one file or every file of a folder.
// The user picks a file or folder, which fills the list (a folder through the
// folder walk), types the password twice and starts the encryption worker.
class CDlgEncrypt : public CZendalDialog, public FileListScreen {
public:
    CDlgEncrypt();
    // Waits for a running walk or encryption, which use this page until their end.
    ~CDlgEncrypt() override;

    bool ProcessMessage(fw::Message& m) override;

    // Empties the list and lists every file below folder for the operation of
    // encryptMode (1 "文件加密", 0 "文件解密") through the folder walk. False
    // when a walk or an encryption runs.
    bool ListFolder(const std::wstring& folder, int encryptMode);
    // New rows at the end, each with the ready status of the listed operation.
    void AppendRows(const std::vector<FoundFile>& files);
    // The sizes of the listed files.
    uint64_t TotalBytes() const { return totalBytes_; }
    CZendalProgressCtrl& Progress() { return progress_; }
    HWND ListWindow() const { return list_.Handle(); }

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    static constexpr UINT_PTR kRowQueueTimer = 1;
    static constexpr UINT kRowQueueTickMs = 50;
    enum ListImage { kDocumentImage = 0, kTickImage = 1, kCrossImage = 2 };

    void OnOperationChange();
    void OnBrowse();
    void OnStart();
    bool OnDestroy(fw::Message& m);
    bool OnTimer(fw::Message& m);

    void StartRowQueue() override;
    void QueueRows(const std::vector<FoundFile>& files) override;
    void EndRowQueue() override;
    std::vector<ListedFile> ReadRows(unsigned first, unsigned count) override;
    void SetRowResults(const std::vector<RowResult>& results) override;
    void ClearPasswords() override;

    void CreateList();
    std::wstring PickPath() const;
    static std::wstring ListedForm(const std::wstring& picked);
    void ListPickedFile(const std::wstring& path);
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
    PageLink link_;
    // Written on the page's thread only; 1 "文件加密", 0 "文件解密".
    int listedMode_ = 1;
    uint64_t totalBytes_ = 0;
    std::mutex rowQueueLock_;
    std::vector<FoundFile> queuedRows_;
};
