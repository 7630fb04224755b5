// Workers reach the list only through synchronous messages, which Windows
// hands to the window's own thread one at a time: a test of that path sees
// the list's thread model, not its semaphore. The semaphore is tested
// directly below, from threads that contend for it, and by a holder that
// asks for it again.
#include "TreeListHost.h"
#include "framework/UniqueHandle.h"
#include "support/PumpUntil.h"
#include "ui/treelist/TreeListData.h"

#include <atomic>
#include <string>

using treelist_test::TreeListHost;

namespace {

struct WorkerJob {
    HWND list = nullptr;
    int rows = 0;
    std::atomic<int> appended{0};
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::vector<unsigned> items;
};

DWORD WINAPI AppendRows(LPVOID parameter)
{
    auto* job = static_cast<WorkerJob*>(parameter);
    for (int i = 0; i < job->rows; ++i) {
        std::wstring path = L"C:\\WORK\\FOLDER\\FILE" + std::to_wstring(i) + L".DAT";
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<LPWSTR>(path.c_str());
        unsigned item = treelist_test::ItemNumberOf(
            ::SendMessageW(job->list, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        if (!item) {
            job->failures++;
            continue;
        }
        job->items.push_back(item);
        TVITEMW cell{};
        cell.mask = TLIF_COLUMN | TVIF_TEXT | TVIF_IMAGE;
        cell.hItem = reinterpret_cast<HTREEITEM>(static_cast<ULONG_PTR>(item));
        cell.pszText = const_cast<LPWSTR>(L"准备加密");
        cell.cchTextMax = 256;
        cell.iImage = cell.iSelectedImage = 2;
        cell.cChildren = 1;
        if (::SendMessageW(job->list, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell)) != 0)
            job->failures++;
        job->appended++;
    }
    job->done = true;
    return 0;
}

// What a page's worker relies on: its inserts and cell texts, sent while the
// window's thread pumps and inserts and reads rows of its own, all arrive,
// in the order sent, with their texts and rows.
TEST(TreeListThreads, WorkerAppendsWhileTheWindowThreadPumpsAndWorks)
{
    TreeListHost host;
    host.AddColumn(L"准备操作的文件列表", 392);
    host.AddColumn(L"操作状态", 100);
    WorkerJob job;
    job.list = host.List();
    job.rows = 3000;
    fw::KernelHandle thread(::CreateThread(nullptr, 0, AppendRows, &job, 0, nullptr));
    ASSERT_TRUE(thread.Valid());

    // Meanwhile the window's thread inserts its own rows under the first row
    // and reads the newest rows the worker made.
    std::vector<unsigned> own;
    int reads = 0;
    bool finished = testkit::PumpUntil([&] {
        int count = job.appended.load();
        if (count > 0 && own.size() < 200) {
            unsigned first = treelist_test::ItemNumberOf(host.Send(TLM_ROWTOITEM, 0, 0));
            own.push_back(host.Insert(L"own", first));
            unsigned last = host.Next(treelist_test::RootParam(), TLGN_LASTCHILD);
            std::wstring text = host.Text(last);
            EXPECT_EQ(0u, text.find(L"C:\\WORK\\FOLDER\\FILE"));
            ++reads;
        }
        return job.done.load();
    }, 120000);
    ::WaitForSingleObject(thread.Get(), INFINITE);
    ASSERT_TRUE(finished);
    EXPECT_EQ(0, job.failures.load());
    EXPECT_GT(reads, 0);

    ASSERT_EQ(static_cast<size_t>(job.rows), job.items.size());
    EXPECT_EQ(static_cast<LRESULT>(job.rows + own.size()), host.Send(TVM_GETCOUNT));
    std::vector<unsigned> top = host.Children(0);
    EXPECT_EQ(job.items, top);
    for (int i = 0; i < job.rows; ++i) {
        unsigned item = job.items[static_cast<size_t>(i)];
        ASSERT_EQ(L"C:\\WORK\\FOLDER\\FILE" + std::to_wstring(i) + L".DAT", host.Text(item)) << i;
        ASSERT_EQ(L"准备加密", host.Text(item, 1)) << i;
        ASSERT_EQ(static_cast<LRESULT>(i), host.Send(TLM_ITEMTOROW, 0, item)) << i;
    }
    for (unsigned item : own)
        EXPECT_EQ(L"own", host.Text(item));
}

struct LockRace {
    TreeListData* record = nullptr;
    int rounds = 0;
    volatile LONG inside = 0;
    volatile LONG overlaps = 0;
    volatile LONG refusals = 0;
    long counter = 0; // changed only by a holder: a second holder loses updates
};

DWORD WINAPI HoldAndCount(LPVOID parameter)
{
    auto* race = static_cast<LockRace*>(parameter);
    for (int i = 0; i < race->rounds; ++i) {
        if (!TreeListLock(race->record)) {
            ::InterlockedIncrement(&race->refusals);
            continue;
        }
        if (::InterlockedIncrement(&race->inside) != 1)
            ::InterlockedIncrement(&race->overlaps);
        long seen = race->counter;
        if (i % 64 == 0)
            ::Sleep(0);
        race->counter = seen + 1;
        ::InterlockedDecrement(&race->inside);
        TreeListUnlock(race->record);
    }
    return 0;
}

TEST(TreeListThreads, TheSemaphoreLetsOneThreadAtATimeHoldTheRecord)
{
    TreeListHost host;
    LockRace race;
    race.record = reinterpret_cast<TreeListData*>(::GetWindowLongPtrW(host.List(), 0));
    race.rounds = 20000;
    fw::KernelHandle threads[3];
    HANDLE waitFor[3] = {};
    for (int i = 0; i < 3; ++i) {
        threads[i] = fw::KernelHandle(::CreateThread(nullptr, 0, HoldAndCount, &race, 0, nullptr));
        ASSERT_TRUE(threads[i].Valid());
        waitFor[i] = threads[i].Get();
    }
    DWORD waited = ::WaitForMultipleObjects(3, waitFor, TRUE, 120000);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the threads never all got the semaphore";
    EXPECT_EQ(0, race.overlaps);
    EXPECT_EQ(0, race.refusals);
    EXPECT_EQ(3L * race.rounds, race.counter);
    // Free again for the window's own thread.
    EXPECT_EQ(1u, host.Insert(L"after"));
}

// A handler that reached the list again while holding the semaphore would
// wait for itself for ever: the wait is refused, counted and answered with 0.
TEST(TreeListThreads, AHolderAskingForItsOwnSemaphoreIsRefusedNotHung)
{
    TreeListHost host;
    host.expectedLockFaults = 1;
    unsigned item = host.Insert(L"a");
    auto* record = reinterpret_cast<TreeListData*>(::GetWindowLongPtrW(host.List(), 0));
    ASSERT_TRUE(TreeListLock(record));
    LONG before = TreeListLockFaults();
    EXPECT_EQ(0, host.Send(TVM_GETITEMSTATE, item));
    EXPECT_EQ(before + 1, TreeListLockFaults());
    TreeListUnlock(record);
    EXPECT_NE(0, host.Send(TVM_GETITEMSTATE, item));
}

} // namespace
