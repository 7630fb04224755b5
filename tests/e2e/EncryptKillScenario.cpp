#include "ProgramSession.h"
#include "RemotePicker.h"
#include "RemoteTreeList.h"

#include "framework/UniqueHandle.h"
#include "resource.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The picker opens in the program's folder, where the file lies; no other
// entry there starts with its first letter.
const wchar_t kFileName[] = L"q大文件 备份.bin";
const wchar_t kPassword[] = L"kill中途";
constexpr size_t kChunk = 4 * 1024 * 1024;
constexpr int kChunks = 50;
// The temporary file has grown this far when the program is killed.
constexpr int64_t kGrown = 8 * 1024 * 1024;

std::string OriginalChunk(int index) { return testkit::PatternBytes(kChunk, 100 + static_cast<unsigned>(index)); }

bool WriteOriginal(const std::wstring& path)
{
    if (!testkit::WriteWholeFile(path, std::string()))
        return false;
    for (int index = 0; index < kChunks; ++index)
        if (!testkit::WriteBytesAt(path, static_cast<uint64_t>(index) * kChunk, OriginalChunk(index)))
            return false;
    return true;
}

// "old" when every byte is the original, "new" when every byte is the
// original XOR one and the same non-zero byte, else what is wrong.
std::string ContentState(const std::wstring& path)
{
    if (testkit::SizeOfFile(path) != static_cast<int64_t>(kChunk) * kChunks)
        return "length " + std::to_string(testkit::SizeOfFile(path));
    int key = -1;
    for (int index = 0; index < kChunks; ++index) {
        const std::string original = OriginalChunk(index);
        const std::string now = testkit::ReadBytesAt(path, static_cast<uint64_t>(index) * kChunk, kChunk);
        if (now.size() != kChunk)
            return "unreadable";
        for (size_t i = 0; i < kChunk; ++i) {
            int byte = static_cast<unsigned char>(now[i] ^ original[i]);
            if (key < 0)
                key = byte;
            if (byte != key)
                return "mixed at byte " + std::to_string(static_cast<uint64_t>(index) * kChunk + i);
        }
    }
    return key == 0 ? "old" : "new";
}

bool Terminate(DWORD processId)
{
    fw::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    return process && ::TerminateProcess(process.Get(), 9) &&
           ::WaitForSingleObject(process.Get(), 30000) == WAIT_OBJECT_0;
}

} // namespace

TEST(EncryptKill, AProgramKilledWhileEncryptingALargeFileLeavesItWholeOldOrWholeNew)
{
    testkit::TempProgramFolder folder(true);
    const std::wstring file = folder.File(kFileName);
    const std::wstring temporary = file + L".zdltemp";
    ASSERT_TRUE(WriteOriginal(file));
    std::set<std::wstring> before;

    int64_t grownTo = 0;
    {
        e2e::ProgramSession session(folder.Path());
        ASSERT_TRUE(session.Ready());
        ASSERT_EQ(L"成功登录", session.LogOn(L""));
        HWND page = session.ShowPage(IDC_NAV_ENCRYPT, {IDC_ENCRYPT_START, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD});
        ASSERT_NE(nullptr, page);
        before = testkit::FolderEntries(folder.Path());

        e2e::Press(page, IDC_ENCRYPT_BROWSE);
        {
            e2e::RemotePicker picker(session.Program().Id(), L"选择文件或文件夹");
            ASSERT_TRUE(picker.Found());
            // Opening anything else would encrypt it: the picker is cancelled then.
            if (!picker.Select(kFileName, file)) {
                picker.Cancel();
                FAIL() << "name box: " << testing::PrintToString(picker.NameBoxText());
            }
            ASSERT_TRUE(picker.Open());
        }
        e2e::RemoteTreeList list(::GetDlgItem(page, IDC_TREELIST));
        ASSERT_TRUE(testkit::PumpUntil([&] {
            std::vector<HTREEITEM> rows = list.RootRows();
            return rows.size() == 1 && list.CellText(rows[0], 1) == L"准备加密";
        }));
        e2e::SetControlText(page, IDC_ENCRYPT_PASSWORD, kPassword);
        e2e::SetControlText(page, IDC_ENCRYPT_CONFIRM, kPassword);
        e2e::Press(page, IDC_ENCRYPT_START);
        ASSERT_TRUE(testkit::PumpUntil([&] {
            grownTo = testkit::SizeOfFile(temporary);
            return grownTo >= kGrown;
        }));
        ASSERT_TRUE(Terminate(session.Program().Id()));
        e2e::Report("kill: 200 MiB file encrypting, program terminated with its .zdltemp at %lld bytes",
                    static_cast<long long>(grownTo));
    }
    std::string state = ContentState(file);
    EXPECT_TRUE(state == "old" || state == "new") << state;

    e2e::ProgramSession again(folder.Path());
    ASSERT_TRUE(again.Ready());
    EXPECT_EQ(state, ContentState(file)) << "the start changes nothing";
    std::set<std::wstring> after = testkit::FolderEntries(folder.Path());
    // The temporary file carries the listed, upper-case path.
    for (auto entry = after.begin(); entry != after.end(); ++entry)
        if (::lstrcmpiW(entry->c_str(), (std::wstring(kFileName) + L".zdltemp").c_str()) == 0) {
            after.erase(entry);
            break;
        }
    EXPECT_EQ(before, after) << "at most the temporary file remains besides what was there";
    e2e::Report("kill: started again, the file is whole and %s (%s), 200 MiB long; the .zdltemp %s",
                state.c_str(), state == "old" ? "original bytes" : "every byte XOR one key byte",
                testkit::FileExists(temporary) ? "remains" : "is gone");
    EXPECT_TRUE(again.Close());
}
