// Measures the encryption against the platform's own work, in one run:
//   cipher - encrypting a 1 GiB file against CopyFileW of it, and the
//            throughput of the read-XOR-write loop for several block sizes;
//   walk   - what the user waits for after picking a folder of 20,000 small
//            files in 20 folders: from the picker's open button until the
//            page is enabled again with its list painted, against bare
//            FindFirstFileW/FindNextFileW walks of the same tree;
//   files  - 10,000 files of 1 KiB: the encryption worker over the page's
//            list, the same per-file operation in a plain loop, CopyFileW of
//            the same files, and where the per-file operation spends its time.
// Paths are spelled as the page lists a picked folder (upper case), on both
// sides of every comparison. Each figure is the best of a few rounds: the
// machine is shared.
// Usage: crypt_bench [folder [section...]]; the folder (default Z:\dev\shm,
// a tmpfs) gets a scratch subfolder that is removed at the end. Needs a display.
// Wine's open dialog does not open in a folder below Z:\dev (it falls back to
// the desktop), so the user's wait of the walk needs the tmpfs under a drive
// letter of its own: ln -s /dev/shm "$WINEPREFIX/dosdevices/t:", then
// crypt_bench T:\ walk.
#include "BenchClock.h"
#include "crypt/CDlgEncrypt.h"
#include "crypt/CThreadEncrypt.h"
#include "crypt/CThreadEncryptSerach.h"
#include "crypt/ExclusiveFile.h"
#include "crypt/FileCipher.h"
#include "crypt/SystemFolderGuard.h"
#include "fileio/ByteProgress.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"
#include "ui/skin/CZendalProgressCtrl.h"
#include "ui/treelist/TreeList.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

const unsigned long long kMiB = 1024 * 1024;
const int kRounds = 3;
// The open dialog's name box, where the picker writes the path it will return.
const int kPickerNameBoxId = 0x47C;
const wchar_t kPickerCaption[] = L"选择文件或文件夹";
// Only stops a bench that would otherwise wait forever.
const DWORD kGiveUpMs = 120000;

using bench::Seconds;
using bench::SecondsOf;

// Where this thread's time goes while it pumps: answering messages that
// other threads send (handled inside PeekMessage), painting, other posted
// messages, and waiting.
struct PumpTimes {
    double answering = 0;
    double painting = 0;
    double other = 0;
    double waiting = 0;
};

void PumpPending(PumpTimes& times)
{
    MSG msg;
    for (;;) {
        double start = Seconds();
        bool got = ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
        double peeked = Seconds();
        times.answering += peeked - start;
        if (!got)
            return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        (msg.message == WM_PAINT ? times.painting : times.other) += Seconds() - peeked;
    }
}

bool PumpUntil(const std::function<bool()>& condition, PumpTimes& times)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending(times);
        if (condition())
            return true;
        if (::GetTickCount() - start > kGiveUpMs)
            return false;
        double waitStart = Seconds();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        times.waiting += Seconds() - waitStart;
    }
}

bool PumpUntil(const std::function<bool()>& condition)
{
    PumpTimes ignored;
    return PumpUntil(condition, ignored);
}

void WriteFileOfSize(const std::wstring& path, unsigned long long size)
{
    fw::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<char> block(static_cast<size_t>(std::min<unsigned long long>(size, kMiB)));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7);
    for (unsigned long long left = size; left > 0;) {
        DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(left, block.size()));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), block.data(), chunk, &written, nullptr) || written == 0)
            break;
        left -= written;
    }
}

void DeleteAnyFile(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    {
        fw::FindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &entry));
        if (find) {
            do {
                std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring child = path + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteAnyFile(child);
            } while (::FindNextFileW(find.Get(), &entry));
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

// folders x filesPerFolder files of the given size; returns their paths with
// the root spelled as given.
std::vector<std::wstring> MakeTree(const std::wstring& root, int folders, int filesPerFolder, unsigned size,
                                   const std::wstring& spelledRoot)
{
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::string bytes(size, 'z');
    std::vector<std::wstring> paths;
    for (int f = 0; f < folders; ++f) {
        std::wstring folder = L"\\folder" + std::to_wstring(f);
        ::CreateDirectoryW((root + folder).c_str(), nullptr);
        for (int i = 0; i < filesPerFolder; ++i) {
            std::wstring name = folder + L"\\file" + std::to_wstring(i) + L".dat";
            fw::FileHandle file(
                ::CreateFileW((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            if (size)
                ::WriteFile(file.Get(), bytes.data(), size, &written, nullptr);
            paths.push_back(spelledRoot + name);
        }
    }
    return paths;
}

// Plays the user of the page's picker from a second thread. The picker opens
// in the current folder, a subfolder of the one to pick: the user goes up
// one level, waits until the picker shows that folder as its choice, then
// presses the open button, noting when. A picker that never gets there is
// cancelled.
class PickerUser {
public:
    PickerUser(const std::wstring& opensIn, const std::wstring& folder)
        : opensIn_(opensIn), folder_(folder), thread_([this] { Run(); })
    {
    }
    ~PickerUser() { Join(); }
    PickerUser(const PickerUser&) = delete;
    PickerUser& operator=(const PickerUser&) = delete;

    void Join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    bool Pressed() const { return pressedAt_ > 0; }
    double PressedAt() const { return pressedAt_; }
    // After Join: the folder the picker showed when it was cancelled.
    std::wstring ShownInstead() const { return shownInstead_; }

private:
    // The open dialog's toolbar command that opens the parent folder.
    static constexpr int kUpFolderCommand = 0xA001;

    static BOOL CALLBACK FindPicker(HWND hwnd, LPARAM found)
    {
        DWORD process = 0;
        ::GetWindowThreadProcessId(hwnd, &process);
        wchar_t className[16] = {}, caption[64] = {};
        ::GetClassNameW(hwnd, className, 16);
        ::GetWindowTextW(hwnd, caption, 64);
        if (process == ::GetCurrentProcessId() && std::wcscmp(className, L"#32770") == 0 &&
            std::wcscmp(caption, kPickerCaption) == 0 && ::IsWindowVisible(hwnd)) {
            *reinterpret_cast<HWND*>(found) = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    static bool Shows(HWND dialog, const std::wstring& folder)
    {
        wchar_t shown[MAX_PATH] = {};
        ::GetDlgItemTextW(dialog, kPickerNameBoxId, shown, MAX_PATH);
        return ::lstrcmpiW(shown, folder.c_str()) == 0;
    }

    static void Command(HWND dialog, WPARAM command)
    {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(dialog, WM_COMMAND, command, 0, SMTO_NORMAL, kGiveUpMs, &result);
    }

    static bool WaitFor(const std::function<bool()>& condition)
    {
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < kGiveUpMs; ::Sleep(1))
            if (condition())
                return true;
        return false;
    }

    void Run()
    {
        HWND dialog = nullptr;
        bool found = WaitFor([&] {
            ::EnumWindows(&PickerUser::FindPicker, reinterpret_cast<LPARAM>(&dialog));
            return dialog && Shows(dialog, opensIn_);
        });
        if (found) {
            Command(dialog, MAKEWPARAM(kUpFolderCommand, 0));
            if (WaitFor([&] { return Shows(dialog, folder_); })) {
                pressedAt_ = Seconds();
                Command(dialog, MAKEWPARAM(IDOK, BN_CLICKED));
                return;
            }
        }
        if (dialog) {
            ::GetDlgItemTextW(dialog, kPickerNameBoxId, shownInstead_, MAX_PATH);
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }

    std::wstring opensIn_;
    std::wstring folder_;
    std::atomic<double> pressedAt_{0};
    wchar_t shownInstead_[MAX_PATH] = {};
    std::thread thread_;
};

// The page the workers run for, shown in a parent window, with this thread
// pumping its messages while a worker runs.
class BenchPage {
public:
    BenchPage()
    {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 560, 500, nullptr, nullptr,
                                    nullptr, nullptr);
        page_.Create(parent_);
        page_.Show();
    }
    ~BenchPage() { ::DestroyWindow(parent_); }
    BenchPage(const BenchPage&) = delete;
    BenchPage& operator=(const BenchPage&) = delete;

    // Walks the folder as the page walks a picked one, and waits for the end.
    PumpTimes Walk(const std::wstring& folder)
    {
        page_.Send(WM_COMMAND, MAKEWPARAM(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE), 0);
        PumpUntil([this] { return Settled(); });
        PumpTimes times;
        page_.ListFolder(folder, 1);
        PumpUntil([] { return !SearchBusy; }, times);
        return times;
    }

    // Picks the folder in the page's own picker, which opens in the current
    // folder, here one of the folder's subfolders; returns the seconds from
    // pressing the picker's open button until the page is usable again and
    // its list fully painted, or a negative number when the picker could not
    // be driven (then says why).
    double PickAndWait(const std::wstring& folder, const std::wstring& subfolder)
    {
        wchar_t previous[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        ::SetCurrentDirectoryW(subfolder.c_str());
        PickerUser user(subfolder, folder);
        page_.Item(IDC_ENCRYPT_BROWSE).Send(BM_CLICK);
        bool settled = PumpUntil([this] { return Settled(); });
        double end = Seconds();
        user.Join();
        ::SetCurrentDirectoryW(previous);
        if (!user.Pressed())
            std::printf("  the picker did not open in %ls but in \"%ls\"\n", subfolder.c_str(),
                        user.ShownInstead().c_str());
        else if (!settled)
            std::printf("  the page did not settle after the walk\n");
        return settled && user.Pressed() ? end - user.PressedAt() : -1;
    }

    void Encrypt(const std::wstring& password)
    {
        page_.SetItemText(IDC_ENCRYPT_PASSWORD, password);
        page_.SetItemText(IDC_ENCRYPT_CONFIRM, password);
        page_.Item(IDC_ENCRYPT_START).Send(BM_CLICK);
        PumpUntil([] { return !EncryptBusy; });
    }

    // The page appending the rows of a walk on its own thread, in the
    // batches the walk hands over; returns the seconds until they are
    // appended and the seconds until they are painted.
    std::pair<double, double> AppendAndPaint(const std::vector<std::wstring>& paths, size_t batch)
    {
        page_.Send(WM_COMMAND, MAKEWPARAM(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE), 0);
        PumpUntil([this] { return Settled(); });
        double appending = SecondsOf([&] {
            for (size_t first = 0; first < paths.size(); first += batch) {
                std::vector<CDlgEncrypt::FoundFile> files;
                for (size_t i = first; i < std::min(paths.size(), first + batch); ++i)
                    files.push_back({paths[i], 1024});
                page_.AppendRows(files);
            }
        });
        return {appending, SecondsOf([this] { PumpUntil([this] { return Settled(); }); })};
    }

    // Seconds per message to the list, sent to its window as the page sends
    // them (through the wrapper that subclasses it), and handed to the
    // TreeList class's own window procedure.
    std::pair<double, double> ListMessageSeconds(int messages) const
    {
        HWND list = page_.ListWindow();
        WNDCLASSEXW treeList{sizeof(treeList)};
        ::GetClassInfoExW(reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(list, GWLP_HINSTANCE)), TREELIST_CLASSNAME,
                          &treeList);
        double sent = SecondsOf([&] {
            for (int i = 0; i < messages; ++i)
                ::SendMessageW(list, TVM_GETCOUNT, 0, 0);
        });
        double direct = SecondsOf([&] {
            for (int i = 0; i < messages; ++i)
                ::CallWindowProcW(treeList.lpfnWndProc, list, TVM_GETCOUNT, 0, 0);
        });
        return {sent / messages, direct / messages};
    }

    size_t Rows() const { return static_cast<size_t>(::SendMessageW(page_.ListWindow(), TVM_GETCOUNT, 0, 0)); }

    // Rows whose status says the file was done.
    size_t DoneRows() const
    {
        HWND list = page_.ListWindow();
        size_t done = 0;
        for (LPARAM row = 0;; ++row) {
            auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(list, TLM_ROWTOITEM, 0, row));
            if (!item)
                return done;
            TVITEMW cell{};
            cell.mask = TVIF_TEXT | TLIF_COLUMN | TLIF_TEXTPTR;
            cell.hItem = item;
            cell.cChildren = 1;
            if (::SendMessageW(list, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&cell)) && cell.pszText &&
                std::wcscmp(cell.pszText, L"完成") == 0)
                ++done;
        }
    }

private:
    // No walk, the start button usable, nothing of the page or its list left
    // to paint, and the list's scroll bar covering every row.
    bool Settled() const
    {
        HWND list = page_.ListWindow();
        if (SearchBusy || !page_.Item(IDC_ENCRYPT_START).IsEnabled() || ::GetUpdateRect(page_.Handle(), nullptr, FALSE) ||
            ::GetUpdateRect(list, nullptr, FALSE))
            return false;
        SCROLLINFO bar{sizeof(bar), SIF_RANGE};
        ::GetScrollInfo(list, SB_VERT, &bar);
        return Rows() < 2 || bar.nMax + 1 == static_cast<int>(Rows());
    }

    HWND parent_ = nullptr;
    CDlgEncrypt page_;
};

// The cipher copies only while a run is active: the bench plays the worker.
class ActiveRun {
public:
    ActiveRun() { EncryptBusy = 1; }
    ~ActiveRun() { EncryptBusy = 0; }
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;
};

// The read-XOR-write loop alone, for choosing the block size.
void XorLoop(const std::wstring& source, const std::wstring& target, DWORD blockSize)
{
    {
        fw::FileHandle in(::CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        fw::FileHandle out(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::vector<BYTE> buffer(blockSize);
        DWORD read = 0, written = 0;
        while (::ReadFile(in.Get(), buffer.data(), blockSize, &read, nullptr) && read > 0) {
            for (DWORD i = 0; i < read; ++i)
                buffer[i] ^= 0x5A;
            ::WriteFile(out.Get(), buffer.data(), read, &written, nullptr);
        }
    }
    ::DeleteFileW(target.c_str());
}

void BenchCipher(const std::wstring& scratch)
{
    const unsigned long long size = 1024 * kMiB;
    std::wstring source = scratch + L"\\source.bin", target = scratch + L"\\source.bin.zdltemp",
                 copy = scratch + L"\\copy.bin";
    WriteFileOfSize(source, size);
    CZendalProgressCtrl bar;
    bar.SetRange(0, 100);
    double copySeconds = 1e30, cipherSeconds = 1e30;
    bool allCopied = true;
    for (int round = 0; round < 2; ++round) {
        copySeconds = std::min(copySeconds, SecondsOf([&] { ::CopyFileW(source.c_str(), copy.c_str(), FALSE); }));
        ::DeleteFileW(copy.c_str());
        ByteProgress progress([&bar](int percent) { bar.SetPos(percent); }, size);
        ActiveRun run;
        cipherSeconds = std::min(cipherSeconds, SecondsOf([&] {
            allCopied = FileCipher(EncryptBusy, 0x5A, progress).XorCopyFile(source, target) && allCopied;
        }));
        ::DeleteFileW(target.c_str());
    }
    double copyRate = size / kMiB / copySeconds, cipherRate = size / kMiB / cipherSeconds;
    std::printf("cipher: 1 GiB file\n");
    std::printf("  CopyFileW       %8.3f s  %8.1f MiB/s\n", copySeconds, copyRate);
    std::printf("  XorCopyFile     %8.3f s  %8.1f MiB/s%s\n", cipherSeconds, cipherRate, allCopied ? "" : "  (FAILED)");
    std::printf("  encryption / copy throughput: %.2fx (target 0.80x or better)\n", cipherRate / copyRate);

    const unsigned long long sweepSize = 256 * kMiB;
    WriteFileOfSize(source, sweepSize);
    std::printf("  read-XOR-write loop over 256 MiB by block size:\n");
    double reference = 0;
    for (DWORD block : {1024u, 16384u, 65536u, 262144u, 1048576u, 4194304u}) {
        double seconds = 1e30;
        for (int round = 0; round < 2; ++round)
            seconds = std::min(seconds, SecondsOf([&] { XorLoop(source, target, block); }));
        double rate = sweepSize / kMiB / seconds;
        if (block == 1024u)
            reference = rate;
        std::printf("    %8lu bytes  %8.1f MiB/s  %5.2fx of 1 KiB\n", static_cast<unsigned long>(block), rate,
                    rate / reference);
    }
    ::DeleteFileW(source.c_str());
}

unsigned CountWalk(const std::wstring& folder, bool openEach)
{
    unsigned files = 0;
    WIN32_FIND_DATAW entry;
    fw::FindHandle find(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!find)
        return 0;
    do {
        if (entry.cFileName[0] == L'.' && (!entry.cFileName[1] || (entry.cFileName[1] == L'.' && !entry.cFileName[2])))
            continue;
        std::wstring path = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files += CountWalk(path, openEach);
        } else if (!openEach) {
            ++files;
        } else {
            fw::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (file)
                ++files;
        }
    } while (::FindNextFileW(find.Get(), &entry));
    return files;
}

void BenchWalk(const std::wstring& scratch)
{
    // As many rows as the walk hands the page at a time.
    const size_t walkBatch = 512;
    const int listMessages = 2000;
    std::wstring tree = scratch + L"\\walk";
    std::wstring given = SystemFolderGuard::AsciiUpper(tree);
    std::vector<std::wstring> paths;
    double making = SecondsOf([&] { paths = MakeTree(tree, 20, 1000, 1024, given); });
    std::printf("walk: 20 folders of 1,000 files of 1 KiB (made in %.1f s)\n", making);
    unsigned bare = 0, opened = 0;
    size_t rows = 0, pickedRows = 0;
    BenchPage page;
    double bareSeconds = 1e30, openSeconds = 1e30, workerSeconds = 1e30, waitSeconds = 1e30;
    double appendSeconds = 1e30, paintSeconds = 1e30, sentSeconds = 1e30, directSeconds = 1e30;
    PumpTimes pageThread;
    bool picked = true;
    for (int round = 0; round < kRounds; ++round) {
        bareSeconds = std::min(bareSeconds, SecondsOf([&] { bare = CountWalk(given, false); }));
        openSeconds = std::min(openSeconds, SecondsOf([&] { opened = CountWalk(given, true); }));
        PumpTimes times;
        double walking = SecondsOf([&] { times = page.Walk(given); });
        if (walking < workerSeconds) {
            workerSeconds = walking;
            pageThread = times;
        }
        rows = page.Rows();
        std::pair<double, double> appended = page.AppendAndPaint(paths, walkBatch);
        appendSeconds = std::min(appendSeconds, appended.first);
        paintSeconds = std::min(paintSeconds, appended.second);
        std::pair<double, double> message = page.ListMessageSeconds(listMessages);
        sentSeconds = std::min(sentSeconds, message.first);
        directSeconds = std::min(directSeconds, message.second);
        if (picked) {
            double wait = page.PickAndWait(tree, tree + L"\\folder0");
            picked = wait >= 0;
            waitSeconds = std::min(waitSeconds, picked ? wait : waitSeconds);
            pickedRows = page.Rows();
        }
    }
    double files = static_cast<double>(paths.size());
    std::printf("  FindFirstFileW/FindNextFileW             %7.3f s  %6.1f us/file  (%u files)\n", bareSeconds,
                bareSeconds * 1e6 / bare, bare);
    std::printf("  the same, opening each exclusively       %7.3f s  %6.1f us/file  (%u files)\n", openSeconds,
                openSeconds * 1e6 / opened, opened);
    std::printf("  walk worker alone, into the list         %7.3f s  %6.1f us/file  (%u rows)\n", workerSeconds,
                workerSeconds * 1e6 / rows, static_cast<unsigned>(rows));
    if (waitSeconds < 1e30)
        std::printf("  picker's OK to page usable, list painted %7.3f s  %6.1f us/file  (%u rows)\n", waitSeconds,
                    waitSeconds * 1e6 / pickedRows, static_cast<unsigned>(pickedRows));
    std::printf("  where the time goes:\n");
    std::printf("    the page's thread in the walk alone: answering the walk %.3f s, painting %.3f s, other %.3f s, "
                "idle %.3f s\n",
                pageThread.answering, pageThread.painting, pageThread.other, pageThread.waiting);
    std::printf("    the page appending the rows, %u a time  %7.3f s  %6.1f us/row, then painting them %.3f s\n",
                static_cast<unsigned>(walkBatch), appendSeconds, appendSeconds * 1e6 / files, paintSeconds);
    std::printf("    a message to the list: through its wrapper %.1f us, to the TreeList procedure %.1f us\n",
                sentSeconds * 1e6, directSeconds * 1e6);
    if (waitSeconds < 1e30)
        std::printf("  user's wait / find walk with opens: %.2fx (target 1.5x)   worker alone: %.2fx\n",
                    waitSeconds / openSeconds, workerSeconds / openSeconds);
    RemoveTree(tree);
}

// Time spent in each step of the per-file operation, summed over the files.
class StepClock {
public:
    explicit StepClock(size_t steps) : seconds_(steps, 0.0) {}

    void Start() { last_ = Seconds(); }
    void Lap(size_t step)
    {
        double now = Seconds();
        seconds_[step] += now - last_;
        last_ = now;
    }
    double Of(size_t step) const { return seconds_[step]; }

private:
    std::vector<double> seconds_;
    double last_ = 0;
};

// Each step's best round, and their sum.
void PrintBestSteps(const std::vector<const char*>& names, const std::vector<StepClock>& rounds, size_t files)
{
    double total = 0;
    for (size_t step = 0; step < names.size(); ++step) {
        double best = 1e30;
        for (const StepClock& round : rounds)
            best = std::min(best, round.Of(step));
        std::printf("    %-44s %8.1f us/file\n", names[step], best * 1e6 / files);
        total += best;
    }
    std::printf("    %-44s %8.1f us/file\n", "sum of the steps' best rounds", total * 1e6 / files);
}

// The steps of FileCipher::TransformFile one by one, each on the clock, for
// files of at most one buffer; the buffer is the run's, as there.
enum Step {
    kOpenSource,
    kCreateTemporary,
    kCopy,
    kFlush,
    kListStreams,
    kSecurity,
    kAttributes,
    kClose,
    kMove,
    kStepCount
};

std::vector<const char*> StepNames()
{
    std::vector<const char*> names(kStepCount);
    names[kOpenSource] = "open the file exclusively, query it";
    names[kCreateTemporary] = "create the temporary file";
    names[kCopy] = "read, XOR, write until a read gives 0";
    names[kFlush] = "flush the temporary file";
    names[kListStreams] = "list the file's named streams";
    names[kSecurity] = "owner and access list onto the copy";
    names[kAttributes] = "attributes and creation time, handles";
    names[kClose] = "close both";
    names[kMove] = "move with replace and write-through";
    return names;
}

bool SetBasicInfoOf(HANDLE file, DWORD attributes, LARGE_INTEGER created = LARGE_INTEGER())
{
    FILE_BASIC_INFO info{};
    info.CreationTime = created;
    info.FileAttributes = attributes;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info) != FALSE;
}

bool TransformFileInSteps(const std::wstring& path, BYTE key, std::vector<unsigned char>& buffer, StepClock& clock)
{
    std::wstring temporary = FileCipher::TemporaryPath(path);
    clock.Start();
    fw::FileHandle in = OpenExclusive(path, FILE_WRITE_ATTRIBUTES);
    FILE_BASIC_INFO source{};
    ::GetFileInformationByHandleEx(in.Get(), FileBasicInfo, &source, sizeof source);
    LARGE_INTEGER size;
    ::GetFileSizeEx(in.Get(), &size);
    clock.Lap(kOpenSource);
    fw::FileHandle out = CreateExclusive(temporary, WRITE_DAC | WRITE_OWNER);
    clock.Lap(kCreateTemporary);
    DWORD read = 0, written = 0;
    bool copied = true;
    while (copied && ::ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read) {
        for (DWORD i = 0; i < read; ++i)
            buffer[i] ^= key;
        copied = ::WriteFile(out.Get(), buffer.data(), read, &written, nullptr) && written == read;
    }
    clock.Lap(kCopy);
    copied = ::FlushFileBuffers(out.Get()) && copied;
    clock.Lap(kFlush);
    uint64_t streams[64];
    ::GetFileInformationByHandleEx(in.Get(), FileStreamInfo, streams, sizeof streams);
    clock.Lap(kListStreams);
    const SECURITY_INFORMATION ownerAndAccess = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    alignas(8) BYTE security[512];
    DWORD needed = 0;
    if (::GetKernelObjectSecurity(in.Get(), ownerAndAccess, security, sizeof security, &needed))
        copied = ::SetKernelObjectSecurity(out.Get(), ownerAndAccess, security) && copied;
    clock.Lap(kSecurity);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    SetBasicInfoOf(out.Get(), (source.FileAttributes & kept) | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY,
                   source.CreationTime);
    DWORD writable = source.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
    if (source.FileAttributes & FILE_ATTRIBUTE_READONLY)
        SetBasicInfoOf(in.Get(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    clock.Lap(kAttributes);
    out.Reset();
    in.Reset();
    clock.Lap(kClose);
    bool moved =
        ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    clock.Lap(kMove);
    return copied && moved;
}

// What the per-file operation no longer does, each on its own over the
// files: a fresh buffer of the run's size for every file, read into; a size
// query by path; making the file read-only by path after the move.
enum Avoided { kFreshBuffer, kSizeByPath, kReadOnlyByPath, kAvoidedCount };

std::vector<const char*> AvoidedNames()
{
    std::vector<const char*> names(kAvoidedCount);
    names[kFreshBuffer] = "a fresh 1 MiB buffer per file, read into";
    names[kSizeByPath] = "a size query by path";
    names[kReadOnlyByPath] = "read-only by path after the move";
    return names;
}

void AvoidedSteps(const std::wstring& path, StepClock& clock)
{
    clock.Start();
    {
        fw::FileHandle in = OpenExclusive(path);
        clock.Start();
        std::unique_ptr<unsigned char[]> buffer(new unsigned char[FileStreamer::kDefaultBufferSize]);
        DWORD read = 0;
        ::ReadFile(in.Get(), buffer.get(), FileStreamer::kDefaultBufferSize, &read, nullptr);
        buffer.reset();
        clock.Lap(kFreshBuffer);
    }
    clock.Start();
    WIN32_FILE_ATTRIBUTE_DATA data;
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    clock.Lap(kSizeByPath);
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY);
    clock.Lap(kReadOnlyByPath);
}

void BenchFiles(const std::wstring& scratch)
{
    const int folders = 10, filesPerFolder = 1000;
    std::wstring tree = scratch + L"\\files";
    std::wstring given = SystemFolderGuard::AsciiUpper(tree);
    std::vector<std::wstring> paths = MakeTree(tree, folders, filesPerFolder, 1024, given);
    std::printf("files: %d files of 1 KiB in %d folders\n", folders * filesPerFolder, folders);
    BenchPage page;
    page.Walk(given);
    size_t rows = page.Rows();
    CZendalProgressCtrl bar;
    bar.SetRange(0, 100);
    double copySeconds = 1e30, loopSeconds = 1e30, stepsSeconds = 1e30, workerSeconds = 1e30;
    unsigned copied = 0, done = 0, stepped = 0;
    std::vector<StepClock> stepRounds, avoidedRounds;
    std::vector<unsigned char> buffer(FileStreamer::kDefaultBufferSize);
    for (int round = 0; round < kRounds; ++round) {
        copySeconds = std::min(copySeconds, SecondsOf([&] {
            copied = 0;
            for (const std::wstring& path : paths)
                copied += ::CopyFileW(path.c_str(), (path + L".copy").c_str(), FALSE) ? 1 : 0;
        }));
        for (const std::wstring& path : paths)
            DeleteAnyFile(path + L".copy");

        ByteProgress progress([&bar](int percent) { bar.SetPos(percent); }, paths.size() * 1024ull);
        ActiveRun run;
        loopSeconds = std::min(loopSeconds, SecondsOf([&] {
            FileCipher cipher(EncryptBusy, 0x5A, progress);
            done = 0;
            for (const std::wstring& path : paths)
                done += cipher.TransformFile(path) ? 1 : 0;
        }));
        StepClock steps(kStepCount);
        stepsSeconds = std::min(stepsSeconds, SecondsOf([&] {
            stepped = 0;
            for (const std::wstring& path : paths)
                stepped += TransformFileInSteps(path, 0x5A, buffer, steps) ? 1 : 0;
        }));
        stepRounds.push_back(steps);
        StepClock avoided(kAvoidedCount);
        for (const std::wstring& path : paths)
            AvoidedSteps(path, avoided);
        avoidedRounds.push_back(avoided);
    }
    size_t workerDone = rows;
    for (int round = 0; round < kRounds; ++round) {
        workerSeconds = std::min(workerSeconds, SecondsOf([&] { page.Encrypt(L"pw"); }));
        workerDone = std::min(workerDone, page.DoneRows());
    }

    double files = static_cast<double>(paths.size());
    std::printf("  CopyFileW of each file                  %7.3f s  %7.1f us/file  (%u copied)\n", copySeconds,
                copySeconds * 1e6 / files, copied);
    std::printf("  TransformFile in a plain loop           %7.3f s  %7.1f us/file  (%u done)\n", loopSeconds,
                loopSeconds * 1e6 / files, done);
    std::printf("  encryption worker over the page's list  %7.3f s  %7.1f us/file  (%u rows, at least %u done)\n",
                workerSeconds, workerSeconds * 1e6 / rows, static_cast<unsigned>(rows),
                static_cast<unsigned>(workerDone));
    std::printf("  plain loop / copy: %.2fx   worker / copy: %.2fx (target 2x)   worker / plain loop: %.2fx\n",
                loopSeconds / copySeconds, workerSeconds * files / rows / copySeconds,
                workerSeconds * files / rows / loopSeconds);
    std::printf("  the per-file operation step by step     %7.3f s  %7.1f us/file  (%u done):\n", stepsSeconds,
                stepsSeconds * 1e6 / files, stepped);
    PrintBestSteps(StepNames(), stepRounds, paths.size());
    std::printf("  what the per-file operation no longer does, on its own:\n");
    PrintBestSteps(AvoidedNames(), avoidedRounds, paths.size());
    RemoveTree(tree);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring base = argc > 1 ? argv[1] : L"Z:\\dev\\shm";
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    std::vector<std::wstring> sections;
    for (int i = 2; i < argc; ++i)
        sections.push_back(argv[i]);
    if (sections.empty())
        sections = {L"cipher", L"walk", L"files"};
    std::wstring scratch = base + L"\\zendal-crypt-bench-" + std::to_wstring(::GetCurrentProcessId());
    if (!::CreateDirectoryW(scratch.c_str(), nullptr)) {
        std::printf("cannot create a scratch folder in %ls\n", base.c_str());
        return 1;
    }
    std::printf("crypt_bench, %s build, best of %d rounds\n", sizeof(void*) == 8 ? "x86-64" : "x86", kRounds);
    for (const std::wstring& section : sections) {
        if (section == L"cipher")
            BenchCipher(scratch);
        else if (section == L"walk")
            BenchWalk(scratch);
        else if (section == L"files")
            BenchFiles(scratch);
        else
            std::printf("no section %ls (cipher, walk, files)\n", section.c_str());
        std::fflush(stdout);
    }
    RemoveTree(scratch);
    return 0;
}
