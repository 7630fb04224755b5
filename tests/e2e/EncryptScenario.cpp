#include "ProgramSession.h"
#include "RemotePicker.h"
#include "RemoteTreeList.h"

#include "resource.h"
#include "support/FileHolder.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"
#include "support/UnixLinks.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

// The picker opens in the program's folder, where the folder to encrypt
// lies; no other entry there starts with its first letter.
const wchar_t kFolderName[] = L"q混合文件";
const wchar_t kHeldName[] = L"占用 中.doc";
const wchar_t kReadOnlyName[] = L"只读 表格.xls";
const wchar_t kHiddenName[] = L"机密 文档.txt";
// A link in the subfolder back to the folder: followed, it would list every
// file again, and encrypting a file twice restores it.
const wchar_t kLinkName[] = L"上一级";
const wchar_t kPassword[] = L"云杉abc123";

std::wstring AsciiUpper(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

bool ReadOnly(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool Hidden(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

HWND OpenEncryptPage(e2e::ProgramSession& session)
{
    if (!session.Ready() || session.LogOn(L"") != L"成功登录")
        return nullptr;
    return session.ShowPage(IDC_NAV_ENCRYPT, {IDC_ENCRYPT_START, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD});
}

bool StartEnabled(HWND page) { return ::IsWindowEnabled(::GetDlgItem(page, IDC_ENCRYPT_START)) != FALSE; }

// The list's rows: upper-case path to status.
std::map<std::wstring, std::wstring> Rows(HWND page)
{
    e2e::RemoteTreeList list(::GetDlgItem(page, IDC_TREELIST));
    std::map<std::wstring, std::wstring> rows;
    for (HTREEITEM row : list.RootRows())
        rows[list.CellText(row, 0)] = list.CellText(row, 1);
    return rows;
}

bool AllStatuses(const std::map<std::wstring, std::wstring>& rows, const std::set<std::wstring>& allowed)
{
    for (const auto& row : rows)
        if (!allowed.count(row.second))
            return false;
    return true;
}

// Presses "浏览", picks the folder in the picker and waits until the walk
// has listed the expected number of rows and handed the page back.
std::map<std::wstring, std::wstring> Browse(e2e::ProgramSession& session, HWND page, const std::wstring& folder,
                                             size_t expectedRows, const std::wstring& ready)
{
    e2e::Press(page, IDC_ENCRYPT_BROWSE);
    e2e::RemotePicker picker(session.Program().Id(), L"选择文件或文件夹");
    EXPECT_TRUE(picker.Found());
    std::map<std::wstring, std::wstring> rows;
    // Opening anything else would encrypt it: the picker is cancelled then.
    if (!picker.Select(kFolderName, folder)) {
        ADD_FAILURE() << "name box: " << testing::PrintToString(picker.NameBoxText());
        picker.Cancel();
        return rows;
    }
    EXPECT_TRUE(picker.Open());
    EXPECT_TRUE(testkit::PumpUntil([&] {
        rows = Rows(page);
        return rows.size() == expectedRows && AllStatuses(rows, {ready}) && StartEnabled(page);
    }));
    return rows;
}

// Types the password twice and presses start until the rows show results:
// the walk hands the controls back just before it ends, and a start pressed
// in between is ignored as the page intends.
std::map<std::wstring, std::wstring> RunToResults(HWND page, const std::wstring& ready)
{
    std::map<std::wstring, std::wstring> rows;
    auto done = [&] {
        rows = Rows(page);
        return !rows.empty() && AllStatuses(rows, {L"完成", L"失败"}) && StartEnabled(page);
    };
    for (int attempt = 0; attempt < 5; ++attempt) {
        e2e::SetControlText(page, IDC_ENCRYPT_PASSWORD, kPassword);
        e2e::SetControlText(page, IDC_ENCRYPT_CONFIRM, kPassword);
        e2e::Press(page, IDC_ENCRYPT_START);
        if (testkit::PumpUntil(done, 5000))
            return rows;
        if (!StartEnabled(page) || !AllStatuses(Rows(page), {ready})) {
            EXPECT_TRUE(testkit::PumpUntil(done));
            return rows;
        }
    }
    ADD_FAILURE() << "the run never started";
    return rows;
}

} // namespace

TEST(Encrypt, AFolderOfMixedFilesIsEncryptedByteForByteAndDecryptedBackToTheSameBytes)
{
    testkit::TempProgramFolder folder(true);
    const std::wstring mixed = folder.File(kFolderName);
    ASSERT_TRUE(::CreateDirectoryW(mixed.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((mixed + L"\\子文件夹").c_str(), nullptr));
    const std::map<std::wstring, std::string> originals{
        {kHiddenName, testkit::PatternBytes(150 * 1024 + 7, 21)},
        {L"空文件.dat", std::string()},
        {kReadOnlyName, testkit::PatternBytes(64 * 1024 + 3, 22)},
        {kHeldName, testkit::PatternBytes(33 * 1024 + 1, 23)},
        {L"子文件夹\\照片 2026.jpg", testkit::PatternBytes(80 * 1024, 24)},
    };
    for (const auto& file : originals)
        ASSERT_TRUE(testkit::WriteWholeFile(mixed + L"\\" + file.first, file.second));
    ASSERT_TRUE(::SetFileAttributesW((mixed + L"\\" + kReadOnlyName).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW((mixed + L"\\" + kHiddenName).c_str(), FILE_ATTRIBUTE_HIDDEN));
    testkit::ScratchFolder scripts;
    testkit::UnixLinks links(scripts);
    ASSERT_TRUE(links.Make(mixed + L"\\子文件夹\\" + kLinkName, ".."));
    const std::set<std::wstring> topEntries = testkit::FolderEntries(mixed);

    e2e::ProgramSession session(folder.Path());
    HWND page = OpenEncryptPage(session);
    ASSERT_NE(nullptr, page);

    std::map<std::wstring, std::wstring> expectedRows;
    for (const auto& file : originals)
        expectedRows[AsciiUpper(mixed) + L"\\" + file.first] = L"准备加密";
    ASSERT_EQ(expectedRows, Browse(session, page, mixed, originals.size(), L"准备加密"));
    e2e::Report("encrypt: the picker's folder lists its 5 files, subfolder included, its link back to the folder "
                "not followed, upper-case, 准备加密");

    // Held open by another process only now: the walk leaves out files it cannot open alone.
    const std::wstring held = mixed + L"\\" + kHeldName;
    auto holder = std::make_unique<testkit::FileHolder>(held);
    ASSERT_TRUE(holder->Holding());
    std::map<std::wstring, std::wstring> results = RunToResults(page, L"准备加密");
    for (const auto& file : originals) {
        std::wstring row = AsciiUpper(mixed) + L"\\" + file.first;
        EXPECT_EQ(file.first == kHeldName ? L"失败" : L"完成", results[row]) << testing::PrintToString(row);
    }
    EXPECT_EQ(L"", e2e::ControlText(page, IDC_ENCRYPT_PASSWORD));
    EXPECT_EQ(L"", e2e::ControlText(page, IDC_ENCRYPT_CONFIRM));

    int keyByte = -1;
    for (const auto& file : originals) {
        const std::wstring path = mixed + L"\\" + file.first;
        const std::string now = testkit::ReadWholeFile(path);
        ASSERT_EQ(file.second.size(), now.size()) << testing::PrintToString(file.first);
        if (file.first == kHeldName) {
            EXPECT_TRUE(now == file.second) << "the held file is untouched";
            continue;
        }
        EXPECT_TRUE(ReadOnly(path)) << "a replaced file is read-only: " << testing::PrintToString(file.first);
        for (size_t i = 0; i < now.size(); ++i) {
            int key = static_cast<unsigned char>(now[i] ^ file.second[i]);
            if (keyByte < 0)
                keyByte = key;
            if (key != keyByte) {
                ADD_FAILURE() << "byte " << i << " of " << testing::PrintToString(file.first) << " is not XOR "
                              << keyByte;
                break;
            }
        }
    }
    EXPECT_GT(keyByte, 0) << "the bytes changed";
    EXPECT_TRUE(Hidden(mixed + L"\\" + kHiddenName)) << "the hidden file stays hidden";
    EXPECT_EQ(topEntries, testkit::FolderEntries(mixed)) << "no temporary file is left";
    EXPECT_EQ((std::set<std::wstring>{L"照片 2026.jpg", kLinkName}), testkit::FolderEntries(mixed + L"\\子文件夹"));
    e2e::Report("encrypt: 4 files 完成, every byte XOR 0x%02x, same lengths, read-only, the hidden one still hidden; "
                "the held file 失败 and untouched; no .zdltemp",
                keyByte);

    // Decryption: still held, so the walk leaves that file out.
    HWND combo = ::GetDlgItem(page, IDC_ENCRYPT_OPERATION);
    ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(L"开始解密", e2e::ControlText(page, IDC_ENCRYPT_START));
    expectedRows.clear();
    for (const auto& file : originals)
        if (file.first != kHeldName)
            expectedRows[AsciiUpper(mixed) + L"\\" + file.first] = L"准备解密";
    ASSERT_EQ(expectedRows, Browse(session, page, mixed, originals.size() - 1, L"准备解密"));
    results = RunToResults(page, L"准备解密");
    for (const auto& row : expectedRows)
        EXPECT_EQ(L"完成", results[row.first]) << testing::PrintToString(row.first);
    holder.reset();
    for (const auto& file : originals)
        EXPECT_TRUE(file.second == testkit::ReadWholeFile(mixed + L"\\" + file.first))
            << "decrypted bytes differ: " << testing::PrintToString(file.first);
    EXPECT_EQ(topEntries, testkit::FolderEntries(mixed)) << "no temporary file is left";
    e2e::Report("decrypt: 文件解密 lists 4 files (the held one left out), all 完成; every file has its original "
                "bytes again; no .zdltemp");
    EXPECT_TRUE(session.Close());
}
