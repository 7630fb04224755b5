#include "CryptFiles.h"
#include "EncryptPageHost.h"

#include "crypt/SystemFolderGuard.h"
#include "support/EnableLog.h"
#include "support/TempProgramFolder.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace crypt_test;

namespace {

// Answers only the messages other threads send, until the condition holds or
// a generous limit passes.
bool AnswerSentUntil(const std::function<bool()>& condition)
{
    const DWORD limitMs = 60000;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < limitMs;) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (condition())
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
    return false;
}

class FolderWalkTest : public testing::Test {
protected:
    std::wstring Upper(const std::wstring& text) { return SystemFolderGuard::AsciiUpper(text); }

    // The files below a folder in the order the file system lists them, depth first.
    static void ListFiles(const std::wstring& folder, std::vector<std::wstring>& files)
    {
        WIN32_FIND_DATAW entry;
        HANDLE find = ::FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ListFiles(folder + L"\\" + name, files);
            else
                files.push_back(folder + L"\\" + name);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }

    testkit::ScratchFolder folder;
    EncryptPageHost host;
};

} // namespace

TEST_F(FolderWalkTest, TheFiveNamesAreSkippedOnlyAsSpelled)
{
    std::wstring skipped = MakeFolder(folder, L"skipped");
    for (const wchar_t* name : {L"desktop.ini", L"Thumbs.db", L"index.dat"})
        Write(folder, std::wstring(L"skipped\\") + name, "x");
    host.Walk(skipped);
    EXPECT_TRUE(host.Rows().empty());
    EXPECT_EQ(0u, host.Page().TotalBytes());

    std::wstring listed = MakeFolder(folder, L"listed");
    for (const wchar_t* name : {L"THUMBS.DB", L"Desktop.ini", L"index.DAT"})
        Write(folder, std::wstring(L"listed\\") + name, "x");
    host.Walk(listed);
    std::vector<std::wstring> paths = host.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::wstring>{listed + L"\\Desktop.ini", listed + L"\\THUMBS.DB", listed + L"\\index.DAT"}),
              paths);
}

TEST_F(FolderWalkTest, SystemFilesAreLeftOutButSystemFoldersAreEnteredAndHiddenFilesListed)
{
    std::wstring system = Write(folder, L"system.txt", "s");
    std::wstring hidden = Write(folder, L"hidden.txt", "h");
    std::wstring inner = Write(folder, L"sysdir\\inner.txt", "i");
    std::wstring innerSystem = Write(folder, L"sysdir\\inner.sys", "s");
    ::SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesW(innerSystem.c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW(folder.File(L"sysdir").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);

    host.Walk(folder.Path());
    std::vector<std::wstring> paths = host.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::wstring>{hidden, inner}), paths);
}

TEST_F(FolderWalkTest, AFileInUseElsewhereIsMissingFromTheListAndTheTotal)
{
    std::wstring busy = Write(folder, L"busy.txt", std::string(1000, 'b'));
    std::wstring free = Write(folder, L"free.txt", std::string(10, 'f'));
    std::wstring more = Write(folder, L"more.txt", std::string(20, 'm'));
    OpenElsewhere other(busy);
    ASSERT_TRUE(other.Valid());

    host.Walk(folder.Path());
    std::vector<std::wstring> paths = host.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::wstring>{free, more}), paths);
    EXPECT_EQ(30u, host.Page().TotalBytes());
}

TEST_F(FolderWalkTest, RowsKeepTheFolderAsGivenAndTheNamesAsListedInListingOrder)
{
    Write(folder, L"MiXed.Txt", "1");
    Write(folder, L"中文 文件.txt", "22");
    Write(folder, L"Sub\\深层\\b.TXT", "333");
    Write(folder, L"Sub\\a.txt", "4444");
    Write(folder, L"z.txt", "55555");
    std::wstring given = Upper(folder.Path());
    ASSERT_NE(given, folder.Path());

    host.Walk(given, 1);
    std::vector<std::wstring> expected;
    ListFiles(given, expected);
    ASSERT_EQ(5u, expected.size());
    EXPECT_EQ(expected, host.Paths());
    EXPECT_EQ(15u, host.Page().TotalBytes());
    for (const Row& row : host.Rows()) {
        EXPECT_EQ(0, row.path.compare(0, given.size(), given));
        EXPECT_EQ(L"准备加密", row.status);
        EXPECT_EQ(0, row.pathImage);
        EXPECT_EQ(2, row.statusImage);
    }
    EXPECT_NE(host.Paths().end(), std::find(host.Paths().begin(), host.Paths().end(), given + L"\\Sub\\深层\\b.TXT"));
}

TEST_F(FolderWalkTest, ManyFilesArriveCompleteInOrderAndCounted)
{
    for (int i = 0; i < 700; ++i)
        Write(folder, (i % 2 ? L"odd\\" : L"even\\") + std::to_wstring(i) + L".dat", std::string(i % 7, 'x'));
    uint64_t total = 0;
    for (int i = 0; i < 700; ++i)
        total += i % 7;

    host.Walk(folder.Path());
    std::vector<std::wstring> expected;
    ListFiles(folder.Path(), expected);
    EXPECT_EQ(700u, expected.size());
    EXPECT_EQ(expected, host.Paths());
    EXPECT_EQ(total, host.Page().TotalBytes());
}

// While the page's thread only answers what other threads send, its timer
// never appends the queued rows: the walk then hands them over itself once
// its queue is full, and the list still gets every file once, in order.
// Several hand-overs, each after a walk of a batch of files, leave the page's
// thread time to see a partly filled list on a busy machine.
TEST_F(FolderWalkTest, AWalkWhosePageAppendsNothingOnItsOwnHandsItsRowsOverItself)
{
    testkit::ScratchFolder many(true);
    const unsigned kHandOvers = 4;
    const unsigned kWalkBatch = 512;
    const unsigned files = static_cast<unsigned>(CDlgEncrypt::kMaxQueuedRows) + kHandOvers * kWalkBatch + 88;
    for (unsigned i = 0; i < files; ++i)
        testkit::WriteWholeFile(many.File(std::to_wstring(i) + L".dat"), "x");
    HWND list = host.Page().ListWindow();
    ASSERT_TRUE(host.Page().ListFolder(many.Path(), 1));

    unsigned listedMidway = 0;
    bool ended = AnswerSentUntil([&] {
        unsigned rows = static_cast<unsigned>(::SendMessageW(list, TVM_GETCOUNT, 0, 0));
        if (rows < files)
            listedMidway = std::max(listedMidway, rows);
        return !SearchBusy;
    });
    ASSERT_TRUE(ended);
    std::vector<std::wstring> expected;
    ListFiles(many.Path(), expected);
    EXPECT_EQ(files, expected.size());
    EXPECT_TRUE(expected == host.Paths());
    EXPECT_EQ(files, host.Page().TotalBytes());
    EXPECT_GT(listedMidway, 0u) << "rows reach the list before the walk ends";
    EXPECT_TRUE(host.AllControlsEnabled());
}

TEST_F(FolderWalkTest, TheWalkEndsWhereThePathLimitEnds)
{
    // Folders of 40 characters nested until their listing pattern is beyond
    // 259 characters, with one file in each.
    std::vector<std::wstring> expected;
    std::wstring relative;
    for (int level = 0; folder.Path().size() + relative.size() < 300; ++level) {
        relative += (relative.empty() ? L"" : L"\\") + std::wstring(40, static_cast<wchar_t>(L'a' + level));
        std::wstring file = Write(folder, relative + L"\\f", "f");
        std::wstring pattern = folder.File(relative) + L"\\*.*";
        if (pattern.size() <= 259)
            expected.push_back(file);
    }
    // A name that takes the file itself beyond the limit.
    std::wstring longName = std::wstring(260 - folder.Path().size(), L'n');
    Write(folder, longName, "n");
    ASSERT_GT(folder.Path().size() + relative.size(), 260u);

    host.Walk(folder.Path());
    std::vector<std::wstring> paths = host.Paths();
    std::sort(paths.begin(), paths.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, paths);
}

// Followed, the link to the parent would list the tree again and again until
// the path limit, and the link to the sibling its file a second time.
TEST_F(FolderWalkTest, FolderLinksAreNotEnteredSoEveryFileIsListedOnce)
{
    std::wstring tree = MakeFolder(folder, L"tree");
    std::wstring top = Write(folder, L"tree\\top.txt", "top");
    std::wstring inner = Write(folder, L"tree\\sub\\inner.txt", "inner");
    testkit::UnixLinks links(folder);
    ASSERT_TRUE(links.Make(tree + L"\\sub\\parent", ".."));
    ASSERT_TRUE(links.Make(tree + L"\\twin", "sub"));
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    ASSERT_EQ(link, ::GetFileAttributesW((tree + L"\\twin").c_str()) & link);
    ASSERT_TRUE(testkit::FileExists(tree + L"\\sub\\parent\\twin\\inner.txt"));

    host.Walk(tree);
    std::vector<std::wstring> paths = host.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ((std::vector<std::wstring>{inner, top}), paths);
    EXPECT_EQ(8u, host.Page().TotalBytes());
}

TEST_F(FolderWalkTest, BelowADriveRootNothingInsideOrBesideTheWindowsFolderIsListed)
{
    std::wstring mine = Write(folder, L"mine.txt", "m");
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring sibling = std::wstring(windows) + L"_zendal_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(sibling.c_str(), nullptr);
    std::wstring besideWindows = sibling + L"\\beside.txt";
    ::CloseHandle(::CreateFileW(besideWindows.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    host.Walk(std::wstring(windows, 2));
    testkit::RemoveTree(sibling);

    std::wstring windowsUpper = Upper(windows);
    bool listsMine = false;
    for (const std::wstring& path : host.Paths()) {
        EXPECT_EQ(std::wstring::npos, Upper(path).find(windowsUpper)) << "listed: " << testing::PrintToString(path);
        listsMine = listsMine || Upper(path) == Upper(mine);
    }
    EXPECT_TRUE(listsMine) << "the walk covers the whole drive";
}

TEST_F(FolderWalkTest, TheControlsAreDisabledForTheWalkAndTheBarIsLeftAlone)
{
    Write(folder, L"a.txt", "a");
    host.Page().Progress().SetPos(37);
    std::vector<std::unique_ptr<testkit::EnableLog>> logs;
    for (int id : {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM,
                   IDC_ENCRYPT_START})
        logs.push_back(std::make_unique<testkit::EnableLog>(host.Page().Item(id)));

    host.Walk(folder.Path());
    for (const auto& log : logs)
        EXPECT_EQ((std::vector<bool>{false, true}), log->States());
    EXPECT_TRUE(host.AllControlsEnabled());
    EXPECT_EQ(37.0, host.Page().Progress().Pos());
    EXPECT_EQ(1u, host.Rows().size());
}
