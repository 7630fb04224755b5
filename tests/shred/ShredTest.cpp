#include "framework/UniqueHandle.h"
#include "shred/CDlgCrush.h"
#include "support/EnableLog.h"
#include "support/FileHolder.h"
#include "support/MessageBoxCatcher.h"
#include "support/PopupParent.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testkit::ReadBytesAt;
using testkit::ReadWholeFile;
using testkit::WriteWholeFile;

const uint64_t k4GiB = 4ull << 30;

FILETIME LastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

void SetLastWriteTime(const std::wstring& path, const FILETIME& time)
{
    fw::FileHandle file(
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ::SetFileTime(file.Get(), nullptr, nullptr, &time);
}

bool IsReadOnly(const std::wstring& path)
{
    return (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
}

template <class T>
T* Bound(HWND control)
{
    return dynamic_cast<T*>(fw::WindowObject::FromHandle(control));
}

class ShredTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Valid());
        ASSERT_TRUE(page.Create(popup.Handle()));
        page.Show();
    }

    // Types the path and presses "开始粉碎"; waits for the worker, if one started, to end.
    void Start(const std::wstring& path)
    {
        page.SetItemText(IDC_CRUSH_PATH, path);
        page.Item(IDC_CRUSH_START).Send(BM_CLICK);
        ASSERT_TRUE(testkit::PumpUntil([] { return CrushBusy == 0; }, 120000));
    }

    // A second name for the file's data: it shows what the shredded name held at its end.
    static std::wstring Witness(const std::wstring& path)
    {
        std::wstring witness = path + L".witness";
        EXPECT_TRUE(::CreateHardLinkW(witness.c_str(), path.c_str(), nullptr));
        return witness;
    }

    testkit::ScratchFolder folder;
    testkit::MessageBoxCatcher boxes;
    testkit::PopupParent popup;
    CDlgCrush page;
};

} // namespace

TEST_F(ShredTest, RefusesAnEmptyPathAndAPathThatMatchesNothingWithCaptionlessBoxes)
{
    Start(L"");
    Start(folder.File(L"missing.doc"));
    auto shown = boxes.Boxes();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(L"", shown[0].caption);
    EXPECT_EQ(L"请选择要粉碎的文件", shown[0].text);
    EXPECT_EQ(L"", shown[1].caption);
    EXPECT_EQ(L"操作文件不存在", shown[1].text);
    EXPECT_EQ(0, page.Progress().Pos());
}

TEST_F(ShredTest, OverwritesTheFileWithZerosThenDeletesItReadOnlyOrNot)
{
    for (bool readOnly : {false, true}) {
        std::wstring path = folder.File(readOnly ? L"readonly.doc" : L"plain.doc");
        ASSERT_TRUE(WriteWholeFile(path, testkit::PatternBytes(3000, 7)));
        std::wstring witness = Witness(path);
        if (readOnly)
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        testkit::EnableLog edit(page.Item(IDC_CRUSH_PATH));
        testkit::EnableLog browse(page.Item(IDC_CRUSH_BROWSE));
        testkit::EnableLog start(page.Item(IDC_CRUSH_START));

        Start(path);
        EXPECT_FALSE(testkit::FileExists(path)) << readOnly;
        EXPECT_EQ(std::string(3000, '\0'), ReadWholeFile(witness)) << readOnly;
        for (const auto* log : {&edit, &browse, &start})
            EXPECT_EQ((std::vector<bool>{false, true}), log->States()) << readOnly;
        EXPECT_EQ(100, page.Progress().Pos());
        EXPECT_EQ(path, page.ItemText(IDC_CRUSH_PATH));
    }
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(ShredTest, AnEmptyFileIsDeletedWithoutAWriteAndASecondStartFindsNothing)
{
    std::wstring path = folder.File(L"empty.txt");
    ASSERT_TRUE(WriteWholeFile(path, ""));
    const SYSTEMTIME newYear2001{2001, 1, 1, 1, 0, 0, 0, 0};
    FILETIME old{};
    ::SystemTimeToFileTime(&newYear2001, &old);
    SetLastWriteTime(path, old);
    std::wstring witness = Witness(path);

    Start(path);
    EXPECT_FALSE(testkit::FileExists(path));
    EXPECT_EQ(0, testkit::SizeOfFile(witness));
    FILETIME written = LastWriteTime(witness);
    EXPECT_EQ(0, ::CompareFileTime(&old, &written));
    EXPECT_EQ(0u, boxes.Count());

    Start(path);
    auto shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"操作文件不存在", shown[0].text);
}

// Neither can be opened as a file: the run fails, and says so.
TEST_F(ShredTest, AFolderOrAPatternPassesTheCheckButFailsAndNothingChanges)
{
    std::wstring sub = folder.File(L"sub");
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::string content = testkit::PatternBytes(2048, 5);
    ASSERT_TRUE(WriteWholeFile(sub + L"\\keep.txt", content));

    for (const std::wstring& path : {sub, sub + L"\\*.txt"}) {
        page.Progress().SetPos(0);
        Start(path);
        EXPECT_EQ(100, page.Progress().Pos());
    }
    auto shown = boxes.Boxes();
    ASSERT_EQ(2u, shown.size());
    for (const auto& box : shown) {
        EXPECT_EQ(L"操作失败", box.text);
        EXPECT_EQ(L"", box.caption);
    }
    EXPECT_TRUE(::GetFileAttributesW(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(content, ReadWholeFile(sub + L"\\keep.txt"));
}

TEST_F(ShredTest, AFileHeldOpenByAnotherProcessFailsVisiblyAndIsNeitherChangedNorDeletedAndStaysReadOnly)
{
    std::wstring path = folder.File(L"open.doc");
    const std::string content = testkit::PatternBytes(5000, 3);
    ASSERT_TRUE(WriteWholeFile(path, content));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        testkit::FileHolder holder(path);
        ASSERT_TRUE(holder.Holding());
        Start(path);
        EXPECT_EQ(100, page.Progress().Pos());
    }
    EXPECT_EQ(content, ReadWholeFile(path));
    EXPECT_TRUE(IsReadOnly(path));
    auto shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"操作失败", shown[0].text);
    EXPECT_EQ(L"", shown[0].caption);
    EXPECT_TRUE(page.Item(IDC_CRUSH_START).IsEnabled());
}

// The length modulo 2^32 would be 4096 here: the data past 4 GiB must be reached too.
TEST_F(ShredTest, AFileBeyond4GiBIsOverwrittenOverItsWholeLength)
{
    testkit::ScratchFolder tmpfs(true);
    std::wstring path = tmpfs.File(L"big.bin");
    const uint64_t size = k4GiB + 4096;
    ASSERT_TRUE(testkit::CreateSparseFile(path, size));
    ASSERT_TRUE(testkit::WriteBytesAt(path, 0, testkit::PatternBytes(4096, 1)));
    ASSERT_TRUE(testkit::WriteBytesAt(path, k4GiB, testkit::PatternBytes(4096, 2)));
    std::wstring witness = Witness(path);

    Start(path);
    EXPECT_FALSE(testkit::FileExists(path));
    EXPECT_EQ(static_cast<int64_t>(size), testkit::SizeOfFile(witness));
    EXPECT_EQ(std::string(4096, '\0'), ReadBytesAt(witness, 0, 4096));
    EXPECT_EQ(std::string(4096, '\0'), ReadBytesAt(witness, k4GiB, 4096));
}

TEST_F(ShredTest, ControlsAreSkinnedAndEnterOrEscapeLeaveThePageOpen)
{
    EXPECT_NE(nullptr, Bound<CZendalButton>(page.Item(IDC_CRUSH_START)));
    EXPECT_NE(nullptr, Bound<CZendalButton>(page.Item(IDC_CRUSH_BROWSE)));
    EXPECT_NE(nullptr, Bound<CZendalProgressCtrl>(page.Item(IDC_CRUSH_PROGRESS)));
    EXPECT_NE(nullptr, Bound<CZendalEdit>(page.Item(IDC_CRUSH_PATH)));
    EXPECT_EQ(0, page.Progress().Minimum());
    EXPECT_EQ(100, page.Progress().Maximum());

    for (WPARAM id : {IDOK, IDCANCEL})
        page.Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
    testkit::PumpPending();
    EXPECT_TRUE(page.IsWindow());
    EXPECT_TRUE(page.IsVisible());
}
