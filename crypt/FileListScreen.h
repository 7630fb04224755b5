#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

// What the folder walk and the encryption worker may do to the page's list of
// files, from their own threads. Each call is carried out on the page's thread
// before it returns; once the page window is gone the calls do nothing.
class FileListScreen {
public:
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

    // With this many rows queued the walk appends its next ones itself,
    // waiting for the list, instead of queueing more.
    static constexpr size_t kMaxQueuedRows = 2048;

    // The walk's rows: from StartRowQueue to EndRowQueue the page appends the
    // queued rows on a timer while the walk goes on; EndRowQueue returns once
    // every queued row is in the list. Each new row has the ready status of
    // the listed operation.
    virtual void StartRowQueue() = 0;
    virtual void QueueRows(const std::vector<FoundFile>& files) = 0;
    virtual void EndRowQueue() = 0;

    // Up to count rows from row first on; fewer at the end of the list.
    virtual std::vector<ListedFile> ReadRows(unsigned first, unsigned count) = 0;
    // "完成" with the tick for a file done, else "失败" with the cross.
    virtual void SetRowResults(const std::vector<RowResult>& results) = 0;
    // A run's password is not kept: the next run needs it typed again.
    virtual void ClearPasswords() = 0;

protected:
    ~FileListScreen() = default;
};
