// Measures the encryption against the platform's own work, in one run:
//   cipher - encrypting a 1 GiB file against CopyFileW of it, and the
//            throughput of the read-XOR-write loop for several block sizes;
//   walk   - the folder walk filling the page's list from 100,000 files
//            against bare FindFirstFileW/FindNextFileW walks of the same tree;
//   files  - the encryption worker over 10,000 small files against the same
//            per-file operation called in a plain loop.
// Usage: crypt_bench [folder [section...]]; the folder (default Z:\dev\shm,
// a tmpfs) gets a scratch subfolder that is removed at the end.
#include "crypt/CDlgEncrypt.h"
#include "crypt/CThreadEncrypt.h"
#include "crypt/CThreadEncryptSerach.h"
#include "crypt/SystemFolderGuard.h"
#include "fileio/ByteProgress.h"
#include "ui/skin/CZendalProgressCtrl.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const unsigned long long kMiB = 1024 * 1024;

double SecondsOf(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The best of a few rounds: the machine is shared.
double BestSecondsOf(int rounds, const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < rounds; ++i)
        best = std::min(best, SecondsOf(work));
    return best;
}

void WriteFileOfSize(const std::wstring& path, unsigned long long size)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> block(static_cast<size_t>(std::min<unsigned long long>(size, kMiB)));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7);
    for (unsigned long long left = size; left > 0;) {
        DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(left, block.size()));
        DWORD written = 0;
        if (!::WriteFile(file, block.data(), chunk, &written, nullptr) || written == 0)
            break;
        left -= written;
    }
    ::CloseHandle(file);
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

// folders x filesPerFolder files of the given size.
void MakeTree(const std::wstring& root, int folders, int filesPerFolder, unsigned size)
{
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::string bytes(size, 'z');
    for (int f = 0; f < folders; ++f) {
        std::wstring folder = root + L"\\folder" + std::to_wstring(f);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < filesPerFolder; ++i) {
            std::wstring path = folder + L"\\file" + std::to_wstring(i) + L".dat";
            HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            if (size)
                ::WriteFile(file, bytes.data(), size, &written, nullptr);
            ::CloseHandle(file);
        }
    }
}

// The page the workers run for, in a parent window, with this thread pumping
// its messages while a worker runs.
class BenchPage {
public:
    BenchPage()
    {
        parent_ = ::CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 560, 500, nullptr, nullptr,
                                    nullptr, nullptr);
        page_.Create(parent_);
    }
    ~BenchPage() { ::DestroyWindow(parent_); }
    CDlgEncrypt& Page() { return page_; }

    void Walk(const std::wstring& folder)
    {
        page_.Send(WM_COMMAND, MAKEWPARAM(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE), 0);
        page_.folderPath = folder;
        page_.totalBytes = 0;
        CThreadEncryptSerach().StartSearch(page_);
        PumpWhile(SearchBusy);
    }

    void Encrypt(const std::wstring& password)
    {
        page_.SetItemText(IDC_ENCRYPT_PASSWORD, password);
        page_.SetItemText(IDC_ENCRYPT_CONFIRM, password);
        page_.Item(IDC_ENCRYPT_START).Send(BM_CLICK);
        PumpWhile(EncryptBusy);
    }

    size_t Rows() const { return static_cast<size_t>(::SendMessageW(page_.ListWindow(), TVM_GETCOUNT, 0, 0)); }

private:
    static void PumpWhile(const std::atomic<int>& busy)
    {
        while (busy) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageW(&msg);
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
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
    HANDLE in = ::CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    HANDLE out = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::vector<BYTE> buffer(blockSize);
    DWORD read = 0, written = 0;
    while (::ReadFile(in, buffer.data(), blockSize, &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i)
            buffer[i] ^= 0x5A;
        ::WriteFile(out, buffer.data(), read, &written, nullptr);
    }
    ::CloseHandle(in);
    ::CloseHandle(out);
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
        ByteProgress progress(bar, size);
        ActiveRun run;
        cipherSeconds = std::min(cipherSeconds, SecondsOf([&] {
            allCopied = CThreadEncrypt::XorCopyFile(source, target, 0x5A, progress) && allCopied;
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
        double seconds = BestSecondsOf(2, [&] { XorLoop(source, target, block); });
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
    HANDLE find = ::FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
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
            HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ::CloseHandle(file);
                ++files;
            }
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return files;
}

void BenchWalk(const std::wstring& scratch)
{
    std::wstring tree = scratch + L"\\walk";
    double making = SecondsOf([&] { MakeTree(tree, 100, 1000, 0); });
    std::printf("walk: 100 folders of 1,000 files (made in %.1f s)\n", making);
    // Spelled as the page hands a picked folder over. Under Wine an upper-case
    // path costs every open a case-insensitive lookup; the walks below all pay it.
    std::wstring given = SystemFolderGuard::AsciiUpper(tree);
    unsigned bare = 0, opened = 0;
    size_t rows = 0;
    BenchPage page;
    double bareSeconds = 1e30, openSeconds = 1e30, workerSeconds = 1e30;
    for (int round = 0; round < 2; ++round) {
        bareSeconds = std::min(bareSeconds, SecondsOf([&] { bare = CountWalk(given, false); }));
        openSeconds = std::min(openSeconds, SecondsOf([&] { opened = CountWalk(given, true); }));
        workerSeconds = std::min(workerSeconds, SecondsOf([&] { page.Walk(given); }));
        rows = page.Rows();
    }
    std::printf("  FindFirstFileW/FindNextFileW        %7.3f s  %6.2f us/file  (%u files)\n", bareSeconds,
                bareSeconds * 1e6 / bare, bare);
    std::printf("  the same, opening each exclusively  %7.3f s  %6.2f us/file  (%u files)\n", openSeconds,
                openSeconds * 1e6 / opened, opened);
    std::printf("  folder walk into the page's list    %7.3f s  %6.2f us/file  (%u rows)\n", workerSeconds,
                workerSeconds * 1e6 / rows, static_cast<unsigned>(rows));
    std::printf("  walk / bare find walk: %.2fx   walk / find walk with opens: %.2fx (target 1.5x)\n",
                workerSeconds / bareSeconds, workerSeconds / openSeconds);
    RemoveTree(tree);
}

void BenchFiles(const std::wstring& scratch)
{
    std::wstring tree = scratch + L"\\files";
    MakeTree(tree, 10, 1000, 1024);
    std::printf("files: 10,000 files of 1 KiB\n");
    BenchPage page;
    page.Walk(tree);
    size_t rows = page.Rows();
    double workerSeconds = SecondsOf([&] { page.Encrypt(L"pw"); });

    std::vector<std::wstring> paths;
    for (int f = 0; f < 10; ++f)
        for (int i = 0; i < 1000; ++i)
            paths.push_back(tree + L"\\folder" + std::to_wstring(f) + L"\\file" + std::to_wstring(i) + L".dat");
    CZendalProgressCtrl bar;
    ByteProgress progress(bar, 10000ull * 1024);
    unsigned done = 0;
    ActiveRun run;
    double loopSeconds = SecondsOf([&] {
        for (const std::wstring& path : paths)
            done += CThreadEncrypt::TransformFile(path, 0x5A, progress) ? 1 : 0;
    });
    std::printf("  encryption worker over the list     %7.3f s  %6.1f us/file  (%u rows)\n", workerSeconds,
                workerSeconds * 1e6 / rows, static_cast<unsigned>(rows));
    std::printf("  TransformFile in a plain loop       %7.3f s  %6.1f us/file  (%u done)\n", loopSeconds,
                loopSeconds * 1e6 / paths.size(), done);
    std::printf("  worker / plain loop: %.2fx\n", workerSeconds / loopSeconds);
    RemoveTree(tree);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring base = argc > 1 ? argv[1] : L"Z:\\dev\\shm";
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
    for (const std::wstring& section : sections) {
        if (section == L"cipher")
            BenchCipher(scratch);
        else if (section == L"walk")
            BenchWalk(scratch);
        else if (section == L"files")
            BenchFiles(scratch);
        std::fflush(stdout);
    }
    RemoveTree(scratch);
    return 0;
}
