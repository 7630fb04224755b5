#include "support/MessageBoxCatcher.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

namespace {

DWORD WINAPI ShowBoxFromWorker(LPVOID)
{
    ::MessageBoxW(nullptr, L"操作文件不存在", L"", MB_OK);
    return 0;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(MessageBoxCatcher, RecordsAndAnswersBoxesOfEveryThreadWithExactTexts)
{
    testkit::MessageBoxCatcher catcher;
    HANDLE worker = ::CreateThread(nullptr, 0, &ShowBoxFromWorker, nullptr, 0, nullptr);
    ::MessageBoxW(nullptr, L"云杉工坊文件安全已经运行", L"ZendalFileSa", MB_OK);
    ASSERT_TRUE(testkit::PumpUntil([&] { return ::WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }));
    ::CloseHandle(worker);

    auto boxes = catcher.Boxes();
    ASSERT_EQ(2u, boxes.size());
    bool sawMain = false, sawWorker = false;
    for (const auto& box : boxes) {
        sawMain |= box.caption == L"ZendalFileSa" && box.text == L"云杉工坊文件安全已经运行";
        sawWorker |= box.caption.empty() && box.text == L"操作文件不存在";
    }
    EXPECT_TRUE(sawMain);
    EXPECT_TRUE(sawWorker);
}

TEST(TempProgramFolder, LaysOutTheFoldersAndRemovesEverythingIncludingReadOnlyFiles)
{
    std::wstring path;
    {
        testkit::TempProgramFolder folder;
        ASSERT_TRUE(folder.Valid());
        path = folder.Path();
        EXPECT_TRUE(Exists(folder.File(L"zdl")));
        EXPECT_TRUE(Exists(folder.File(L"sys")));
        std::wstring file = folder.File(L"zdl\\locked.txt");
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        ::CloseHandle(h);
    }
    EXPECT_FALSE(Exists(path));
}

TEST(TempProgramFolder, CopiesTheReleaseLayout)
{
    testkit::TempProgramFolder folder(true);
    EXPECT_TRUE(Exists(folder.File(L"ZendalFileSa.exe")));
    EXPECT_TRUE(Exists(folder.File(L"ZendalCommon.dll")));
    EXPECT_TRUE(Exists(folder.File(L"sys\\ZDLFile.sys")));
}
