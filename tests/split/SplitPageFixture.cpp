#include "SplitPageFixture.h"

#include "support/PumpUntil.h"

void SplitPageTest::SetUp()
{
    ASSERT_TRUE(folder.Valid());
    ASSERT_TRUE(page.Create(popup.Handle()));
    page.Show();
}

void SplitPageTest::ChooseOperation(int index)
{
    HWND combo = page.Item(IDC_SPLIT_OPERATION);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    page.Send(WM_COMMAND, MAKEWPARAM(IDC_SPLIT_OPERATION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void SplitPageTest::Split(const std::wstring& path, const std::wstring& count)
{
    ChooseOperation(kSplit);
    page.SetItemText(IDC_SPLIT_PATH, path);
    page.SetItemText(IDC_SPLIT_COUNT, count);
    PressStart();
}

void SplitPageTest::Merge(const std::wstring& firstPiece)
{
    ChooseOperation(kMerge);
    page.SetItemText(IDC_SPLIT_PATH, firstPiece);
    PressStart();
}

void SplitPageTest::PressStart()
{
    page.Item(IDC_SPLIT_START).Send(BM_CLICK);
    ASSERT_TRUE(testkit::PumpUntil([] { return SplitBusy == 0; }, 120000));
}

std::wstring SplitPageTest::Piece(unsigned k, const std::wstring& name) const
{
    return folder.File(std::to_wstring(k) + L"_" + name + L".zdlsplit");
}

std::vector<int64_t> SplitPageTest::PieceSizes(const std::wstring& name) const
{
    std::vector<int64_t> sizes;
    for (unsigned k = 1;; ++k) {
        int64_t size = testkit::SizeOfFile(Piece(k, name));
        if (size < 0)
            return sizes;
        sizes.push_back(size);
    }
}

int SplitPageTest::CatAndCompare(const std::vector<std::wstring>& pieces, const std::wstring& file) const
{
    std::string command = "cat";
    for (const auto& piece : pieces)
        command += " '" + testkit::UnixPath(piece) + "'";
    command += " | cmp -s - '" + testkit::UnixPath(file) + "'";
    return testkit::RunShell(folder, command);
}

std::vector<std::wstring> SplitPageTest::MessageTexts() const
{
    std::vector<std::wstring> texts;
    for (const auto& box : boxes.Boxes())
        texts.push_back(box.text);
    return texts;
}
