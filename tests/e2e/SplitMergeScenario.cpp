#include "ProgramSession.h"

#include "resource.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace {

constexpr size_t kSource = 3 * 1024 * 1024;
constexpr int kPieces = 7;
// 3 MiB / 7 + 10 rounded up to whole 1024-byte blocks; the seventh piece holds the rest.
constexpr int64_t kFullPiece = 449536;
constexpr int64_t kLastPiece = kSource - 6 * kFullPiece;

std::wstring Piece(int number, const std::wstring& name)
{
    return std::to_wstring(number) + L"_" + name + L".zdlsplit";
}

void ChooseOperation(HWND page, int index)
{
    HWND combo = ::GetDlgItem(page, IDC_SPLIT_OPERATION);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SPLIT_OPERATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool StartEnabled(HWND page) { return ::IsWindowEnabled(::GetDlgItem(page, IDC_SPLIT_START)) != FALSE; }

// The worker re-enables the page before it clears its busy flag as its very
// last step, so a start pressed in between is ignored as the page intends.
// The start is pressed again while the page is idle and the result missing.
bool PressUntil(HWND page, const std::function<bool()>& done)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        e2e::Press(page, IDC_SPLIT_START);
        if (testkit::PumpUntil(done, 10000))
            return true;
        if (!StartEnabled(page))
            return testkit::PumpUntil(done, 120000);
    }
    return false;
}

} // namespace

TEST(SplitMerge, AThreeMebibyteFileSplitIntoSevenPiecesMergesBackToTheSameBytes)
{
    testkit::ScratchFolder scratch;
    const std::wstring name = L"分割 测试.bin";
    const std::string bytes = testkit::PatternBytes(kSource, 11);
    ASSERT_TRUE(testkit::WriteWholeFile(scratch.File(name), bytes));

    testkit::TempProgramFolder folder(true);
    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    ASSERT_EQ(L"成功登录", session.LogOn(L""));
    HWND page = session.ShowPage(IDC_NAV_SPLIT, {IDC_SPLIT_PATH, IDC_SPLIT_COUNT});
    ASSERT_NE(nullptr, page);

    e2e::SetControlText(page, IDC_SPLIT_PATH, scratch.File(name));
    e2e::SetControlText(page, IDC_SPLIT_COUNT, L"7");
    ASSERT_TRUE(PressUntil(page, [&] {
        return testkit::SizeOfFile(scratch.File(Piece(kPieces, name))) == kLastPiece && StartEnabled(page);
    }));
    for (int number = 1; number < kPieces; ++number)
        EXPECT_EQ(kFullPiece, testkit::SizeOfFile(scratch.File(Piece(number, name)))) << number;
    EXPECT_FALSE(testkit::FileExists(scratch.File(Piece(kPieces + 1, name))));
    EXPECT_EQ(bytes.substr(6 * kFullPiece), testkit::ReadWholeFile(scratch.File(Piece(kPieces, name))));
    EXPECT_EQ(bytes, testkit::ReadWholeFile(scratch.File(name))) << "a split leaves the source as it was";
    e2e::Report("split: 3 MiB into 7 pieces, 6 x 449,536 bytes and 448,512, no 8th piece, source unchanged");

    ASSERT_TRUE(::DeleteFileW(scratch.File(name).c_str()));
    ChooseOperation(page, 1);
    EXPECT_EQ(L"选择要合并的文件：", e2e::ControlText(page, IDC_SPLIT_PATH_LABEL));
    EXPECT_EQ(L"开始合并", e2e::ControlText(page, IDC_SPLIT_START));
    EXPECT_EQ(L"", e2e::ControlText(page, IDC_SPLIT_PATH));
    e2e::SetControlText(page, IDC_SPLIT_PATH, scratch.File(Piece(1, name)));
    ASSERT_TRUE(PressUntil(page, [&] {
        return testkit::SizeOfFile(scratch.File(name)) == static_cast<int64_t>(kSource) && StartEnabled(page);
    }));
    EXPECT_TRUE(bytes == testkit::ReadWholeFile(scratch.File(name))) << "merged bytes differ";
    e2e::Report("merge: from the 1_ piece, the file comes back with identical bytes beside its pieces");

    std::set<std::wstring> expected{name};
    for (int number = 1; number <= kPieces; ++number)
        expected.insert(Piece(number, name));
    EXPECT_EQ(expected, testkit::FolderEntries(scratch.Path())) << "nothing else is left in the folder";
    EXPECT_TRUE(session.Close());
}
