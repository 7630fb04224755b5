#include "CryptFiles.h"
#include "EncryptPageHost.h"
#include "PickerDriver.h"

#include "crypt/FileCipher.h"
#include "crypt/SystemFolderGuard.h"
#include "support/CurrentFolderScope.h"
#include "support/EnableLog.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace crypt_test;
using testkit::FileExists;
using testkit::PatternBytes;
using testkit::ReadWholeFile;

namespace {

const int kControls[] = {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM,
                         IDC_ENCRYPT_START};

class EncryptPageTest : public testing::Test {
protected:
    void SetUp() override { host = std::make_unique<EncryptPageHost>(); }

    // Presses "浏览" with the picker opening in the given folder while the
    // script plays its user.
    void Browse(const std::wstring& startIn, std::function<void(PickerDriver&)> script)
    {
        testkit::CurrentFolderScope current(startIn);
        EXPECT_TRUE(current.Entered());
        PickerDriver driver(std::move(script));
        host->Click(IDC_ENCRYPT_BROWSE);
        driver.Finish();
        for (const auto& failure : driver.Failures())
            ADD_FAILURE() << failure;
    }

    void Pick(const std::wstring& in, const std::wstring& name)
    {
        Browse(in, [&](PickerDriver& user) {
            if (user.WaitForDialog(L"选择文件或文件夹") && user.WaitForItem(name) && user.Select(name) &&
                user.WaitForNameBox(in + L"\\" + name))
                user.PressOpen();
        });
        EXPECT_TRUE(host->WaitForWorkers());
    }

    std::wstring StartMessage(const std::wstring& password, const std::wstring& confirmation)
    {
        host->SetPasswords(password, confirmation);
        return host->ClickForMessage(IDC_ENCRYPT_START);
    }

    static std::wstring Upper(const std::wstring& text) { return SystemFolderGuard::AsciiUpper(text); }

    testkit::ScratchFolder folder;
    std::unique_ptr<EncryptPageHost> host;
};

} // namespace

TEST_F(EncryptPageTest, StartRefusesInItsOrderAndOnlyAnOverlongPasswordEmptiesTheFields)
{
    EXPECT_EQ(L"输入的密码不能为空", StartMessage(L"", L""));
    EXPECT_EQ(L"输入的密码不能为空", StartMessage(L"abc", L""));
    EXPECT_EQ(L"输入的密码不能为空", StartMessage(L"", L"abc"));
    EXPECT_EQ(L"abc", host->Text(IDC_ENCRYPT_CONFIRM));

    EXPECT_EQ(L"两次输入的密码不同", StartMessage(L"Abc", L"abc"));
    EXPECT_EQ(L"两次输入的密码不同", StartMessage(L"12345678901", L"1234567890"));
    EXPECT_EQ(L"12345678901", host->Text(IDC_ENCRYPT_PASSWORD));
    EXPECT_EQ(L"1234567890", host->Text(IDC_ENCRYPT_CONFIRM));

    EXPECT_EQ(L"密码有效字符为10位", StartMessage(L"12345678901", L"12345678901"));
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_PASSWORD));
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_CONFIRM));

    EXPECT_EQ(L"请选择要操作的文件", StartMessage(L"1234567890", L"1234567890"));
    EXPECT_EQ(L"1234567890", host->Text(IDC_ENCRYPT_PASSWORD));
    EXPECT_FALSE(EncryptBusy);
}

TEST_F(EncryptPageTest, ChangingTheOperationEmptiesListAndPasswordsAndRenamesStart)
{
    Write(folder, L"a.txt", "a");
    host->Walk(folder.Path());
    ASSERT_EQ(1u, host->Rows().size());
    host->SetPasswords(L"pw", L"pw");

    host->ChooseOperation(1);
    EXPECT_TRUE(host->Rows().empty());
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_PASSWORD));
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_CONFIRM));
    EXPECT_EQ(L"开始解密", host->Text(IDC_ENCRYPT_START));

    host->ChooseOperation(0);
    EXPECT_EQ(L"开始加密", host->Text(IDC_ENCRYPT_START));
}

TEST_F(EncryptPageTest, APickedFileIsListedInUpperCaseEncryptedAndDecryptedBack)
{
    const std::string plain = PatternBytes(70000, 7);
    std::wstring path = Write(folder, L"Report 报告.doc", plain);

    Pick(folder.Path(), L"Report 报告.doc");
    ASSERT_EQ(1u, host->Rows().size());
    Row row = host->Rows()[0];
    EXPECT_EQ(Upper(path), row.path);
    EXPECT_EQ(L"准备加密", row.status);
    EXPECT_EQ(0, row.pathImage);
    EXPECT_EQ(2, row.statusImage);
    EXPECT_EQ(plain.size(), host->Page().TotalBytes());

    host->Encrypt(L"口令pw");
    row = host->Rows()[0];
    EXPECT_EQ(L"完成", row.status);
    EXPECT_EQ(1, row.statusImage);
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"口令pw")) == ReadWholeFile(path));
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_PASSWORD));
    EXPECT_EQ(L"", host->Text(IDC_ENCRYPT_CONFIRM));
    EXPECT_EQ(100.0, host->Page().Progress().Pos());
    EXPECT_TRUE(host->AllControlsEnabled());

    host->ChooseOperation(1);
    Pick(folder.Path(), L"Report 报告.doc");
    ASSERT_EQ(1u, host->Rows().size());
    EXPECT_EQ(L"准备解密", host->Rows()[0].status);
    host->Encrypt(L"口令pw");
    EXPECT_EQ(L"完成", host->Rows()[0].status);
    EXPECT_TRUE(plain == ReadWholeFile(path));
    EXPECT_TRUE(IsReadOnly(path));
}

TEST_F(EncryptPageTest, APickedFolderIsWalkedAndEveryRowProcessedAgainOnASecondRun)
{
    const std::string one = PatternBytes(1500, 7), two = PatternBytes(2 * 1024 * 1024 + 3, 7);
    std::wstring first = Write(folder, L"docs\\one.txt", one);
    std::wstring second = Write(folder, L"docs\\子目录\\two.bin", two);
    std::wstring busy = Write(folder, L"docs\\busy.txt", "busy");

    Pick(folder.Path(), L"docs");
    ASSERT_EQ(3u, host->Rows().size());
    EXPECT_EQ(one.size() + two.size() + 4, host->Page().TotalBytes());
    for (const Row& row : host->Rows())
        EXPECT_EQ(0, row.path.compare(0, folder.Path().size(), Upper(folder.Path())));

    std::vector<std::unique_ptr<testkit::EnableLog>> logs;
    for (int id : kControls)
        logs.push_back(std::make_unique<testkit::EnableLog>(host->Page().Item(id)));
    {
        OpenElsewhere other(busy);
        host->Encrypt(L"pw");
    }
    for (const auto& log : logs)
        EXPECT_EQ((std::vector<bool>{false, true}), log->States());
    // The passwords are gone before the boxes take input again: nothing typed then is wiped.
    EXPECT_EQ((std::vector<std::wstring>{L"pw", L""}), logs[2]->Texts());
    EXPECT_EQ((std::vector<std::wstring>{L"pw", L""}), logs[3]->Texts());
    const BYTE key = CThreadEncrypt::KeyByte(L"pw");
    EXPECT_EQ(XorEach(one, key), ReadWholeFile(first));
    EXPECT_TRUE(XorEach(two, key) == ReadWholeFile(second));
    EXPECT_EQ("busy", ReadWholeFile(busy));
    EXPECT_FALSE(IsReadOnly(busy));
    for (const Row& row : host->Rows()) {
        bool failed = Upper(row.path) == Upper(busy);
        EXPECT_EQ(failed ? L"失败" : L"完成", row.status);
        EXPECT_EQ(failed ? 2 : 1, row.statusImage);
    }

    host->Encrypt(L"pw");
    EXPECT_EQ(one, ReadWholeFile(first));
    EXPECT_TRUE(two == ReadWholeFile(second));
    EXPECT_EQ(XorEach("busy", key), ReadWholeFile(busy));
    for (const Row& row : host->Rows())
        EXPECT_EQ(L"完成", row.status);
    for (const std::wstring& path : {first, second, busy}) {
        EXPECT_TRUE(IsReadOnly(path));
        EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(path)));
    }
}

namespace {

// Looks at a large file at the moment the list first shows "完成": the
// worker may hold it open already, so it is judged by what can be seen
// without opening it. A processed file ends read-only.
struct FirstResultWatch {
    std::wstring large;
    int largeUntouched = -1;
};

LRESULT CALLBACK WatchFirstResult(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* watch = reinterpret_cast<FirstResultWatch*>(data);
    auto* cell = reinterpret_cast<const TVITEMW*>(lParam);
    if (msg == TVM_SETITEMW && watch->largeUntouched < 0 && cell->pszText && std::wstring(cell->pszText) == L"完成")
        watch->largeUntouched = !IsReadOnly(watch->large) && !FileExists(FileCipher::TemporaryPath(watch->large));
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace

// Results wait to be shown in batches, but not behind a file that takes a while.
TEST_F(EncryptPageTest, ResultsBeforeALargeFileAreShownBeforeItsTurn)
{
    std::wstring small = Write(folder, L"small.txt", "small");
    const std::string plain = PatternBytes(3 * 1024 * 1024, 8);
    std::wstring large = Write(folder, L"large.bin", plain);
    host->Page().AppendRows({{small, 5}, {large, plain.size()}});

    FirstResultWatch watch{large};
    HWND list = host->Page().ListWindow();
    ::SetWindowSubclass(list, &WatchFirstResult, 1, reinterpret_cast<DWORD_PTR>(&watch));
    host->Encrypt(L"pw");
    ::RemoveWindowSubclass(list, &WatchFirstResult, 1);

    EXPECT_EQ(1, watch.largeUntouched);
    for (const Row& row : host->Rows())
        EXPECT_EQ(L"完成", row.status);
    EXPECT_TRUE(XorEach(plain, CThreadEncrypt::KeyByte(L"pw")) == ReadWholeFile(large));
}

TEST_F(EncryptPageTest, OnlyEmptyFilesListedShowANoughtBarUntilTheEnd)
{
    std::wstring empty = Write(folder, L"empty.txt", "");
    host->Walk(folder.Path());
    host->Page().Progress().SetPos(60);
    host->Encrypt(L"pw");
    EXPECT_EQ(L"完成", host->Rows()[0].status);
    EXPECT_EQ(100.0, host->Page().Progress().Pos());
    EXPECT_TRUE(IsReadOnly(empty));
}

TEST_F(EncryptPageTest, AFolderBesideTheWindowsFolderIsRefusedBecauseItsNameContainsIt)
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring name = std::wstring(windows + 3) + L"_zendal_" + std::to_wstring(::GetCurrentProcessId());
    std::wstring sibling = std::wstring(windows, 3) + name;
    ASSERT_TRUE(::CreateDirectoryW(sibling.c_str(), nullptr));

    Browse(std::wstring(windows, 2), [&](PickerDriver& user) {
        if (user.WaitForDialog(L"选择文件或文件夹") && user.WaitForItem(name) && user.Select(name) &&
            user.WaitForNameBox(sibling))
            user.PressOpen();
    });
    testkit::RemoveTree(sibling);
    ASSERT_TRUE(host->boxes.WaitForCount(1));
    EXPECT_EQ(L"请不要对系统文件夹内的文件进行操作", host->boxes.Boxes()[0].text);
    EXPECT_EQ(L"", host->boxes.Boxes()[0].caption);
    EXPECT_FALSE(SearchBusy);
    EXPECT_TRUE(host->Rows().empty());
}

TEST_F(EncryptPageTest, AVirtualFolderGivesNoPathAndStartsNothing)
{
    wchar_t windows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring windowsName = windows + 3;
    Browse(std::wstring(windows, 2), [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件或文件夹") || !user.WaitForItem(windowsName))
            return;
        user.GoUp();
        if (testkit::PumpUntil([&] { return !user.HasItem(windowsName); }, 10000))
            user.PressOpen();
        else
            user.Fail("the parent of the drive root never showed");
    });
    EXPECT_FALSE(SearchBusy);
    EXPECT_EQ(0u, host->boxes.Count());
    EXPECT_TRUE(host->Rows().empty());
}

TEST_F(EncryptPageTest, ClosingThePageDuringARunStopsItWithEveryFileWholeOrUntouched)
{
    const std::string plain = PatternBytes(96 * 1024 * 1024, 7);
    std::wstring big = Write(folder, L"big.bin", plain);
    std::wstring after = Write(folder, L"after.txt", "after");
    host->Walk(folder.Path());
    host->SetPasswords(L"pw", L"pw");
    host->Click(IDC_ENCRYPT_START);
    ASSERT_TRUE(testkit::PumpUntil([&] { return host->Page().Progress().Pos() > 0 || !EncryptBusy; }));

    host.reset();
    EXPECT_FALSE(EncryptBusy);
    std::string bytes = ReadWholeFile(big);
    EXPECT_TRUE(bytes == plain || bytes == XorEach(plain, CThreadEncrypt::KeyByte(L"pw")));
    EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(big)));
    EXPECT_FALSE(FileExists(FileCipher::TemporaryPath(after)));
}
