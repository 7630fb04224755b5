#include "SplitPageFixture.h"

#include "skin/PickerDriver.h"
#include "support/CurrentFolderScope.h"
#include "support/PumpUntil.h"

#include <functional>
#include <memory>

namespace {

using testkit::PatternBytes;
using testkit::WriteWholeFile;

const wchar_t kCountMessage[] = L"生成子文件的数目应该在 2 - 100 之间";
const wchar_t kFirstPieceMessage[] = L"请选择以\"1_\"开头 以\".zdlsplit\"为后缀的文件名进行分割";
const int kFileTypeBoxId = 0x470;

template <class T>
T* Bound(HWND control)
{
    return dynamic_cast<T*>(fw::WindowObject::FromHandle(control));
}

std::wstring ComboEntry(HWND combo, int index)
{
    wchar_t text[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

TEST_F(SplitPageTest, RefusesAnEmptyPathOrOneThatMatchesNothingForEitherOperation)
{
    Split(L"", L"2");
    Merge(L"");
    Split(folder.File(L"missing.bin"), L"2");
    Merge(folder.File(L"1_missing.bin.zdlsplit"));
    EXPECT_EQ((std::vector<std::wstring>{L"请选择要分割的文件", L"请选择要合并的文件", L"操作文件不存在",
                                         L"操作文件不存在"}),
              MessageTexts());
    for (const auto& box : boxes.Boxes())
        EXPECT_EQ(L"", box.caption);
    EXPECT_EQ(0, page.Progress().Pos()) << "no worker ran";
}

TEST_F(SplitPageTest, TheCountMustBeFrom2To100)
{
    std::wstring source = folder.File(L"count.bin");
    ASSERT_TRUE(WriteWholeFile(source, PatternBytes(k1MiB, 21)));
    for (const wchar_t* count : {L"", L"0", L"1", L"101"})
        Split(source, count);
    EXPECT_EQ(std::vector<std::wstring>(4, kCountMessage), MessageTexts());
    EXPECT_TRUE(PieceSizes(L"count.bin").empty());

    Split(source, L"100");
    EXPECT_EQ(94u, PieceSizes(L"count.bin").size());
    Split(source, L"2");
    EXPECT_EQ(525312, PieceSizes(L"count.bin")[0]);
    EXPECT_EQ(4u, boxes.Count());
}

TEST_F(SplitPageTest, TheCountEditTakesTypedDigitsOnly)
{
    HWND count = page.Item(IDC_SPLIT_COUNT);
    for (wchar_t c : {L'a', L'4', L'-', L' ', L'2', L'x'})
        ::SendMessageW(count, WM_CHAR, c, 0);
    EXPECT_EQ(L"42", page.ItemText(IDC_SPLIT_COUNT));
}

TEST_F(SplitPageTest, AFileWhoseNameHoldsThePieceSuffixCannotBeSplit)
{
    for (const wchar_t* name : {L"a.zdlsplit.txt", L"1_b.zdlsplit"}) {
        ASSERT_TRUE(WriteWholeFile(folder.File(name), PatternBytes(k1MiB, 22)));
        Split(folder.File(name), L"2");
    }
    EXPECT_EQ(std::vector<std::wstring>(2, L"该文件已经是一个分割文件不能再次进行分割"), MessageTexts());
    EXPECT_TRUE(PieceSizes(L"a.zdlsplit.txt").empty());
}

TEST_F(SplitPageTest, MergingNeedsANameThatStartsWith1AndHoldsThePieceSuffix)
{
    for (const wchar_t* name : {L"2_report.doc.zdlsplit", L"10_report.doc.zdlsplit", L"1_report.doc"}) {
        ASSERT_TRUE(WriteWholeFile(folder.File(name), "piece"));
        Merge(folder.File(name));
    }
    EXPECT_EQ(std::vector<std::wstring>(3, kFirstPieceMessage), MessageTexts());
    EXPECT_FALSE(testkit::FileExists(folder.File(L"report.doc")));
}

TEST_F(SplitPageTest, SwitchingTheOperationRelabelsThePageAndEmptiesThePath)
{
    page.SetItemText(IDC_SPLIT_PATH, folder.File(L"x.bin"));
    page.SetItemText(IDC_SPLIT_COUNT, L"7");
    ChooseOperation(kMerge);
    EXPECT_EQ(L"选择要合并的文件：", page.ItemText(IDC_SPLIT_PATH_LABEL));
    EXPECT_EQ(L"开始合并", page.ItemText(IDC_SPLIT_START));
    EXPECT_EQ(L"", page.ItemText(IDC_SPLIT_PATH));
    EXPECT_FALSE(page.Item(IDC_SPLIT_COUNT).IsEnabled());
    EXPECT_EQ(L"7", page.ItemText(IDC_SPLIT_COUNT));

    page.SetItemText(IDC_SPLIT_PATH, folder.File(L"1_x.bin.zdlsplit"));
    ChooseOperation(kSplit);
    EXPECT_EQ(L"选择要分割的文件：", page.ItemText(IDC_SPLIT_PATH_LABEL));
    EXPECT_EQ(L"开始分割", page.ItemText(IDC_SPLIT_START));
    EXPECT_EQ(L"", page.ItemText(IDC_SPLIT_PATH));
    EXPECT_TRUE(page.Item(IDC_SPLIT_COUNT).IsEnabled());
}

TEST_F(SplitPageTest, BrowseOffersAllFilesForSplittingAndOnlyFirstPiecesForMerging)
{
    ASSERT_TRUE(WriteWholeFile(folder.File(L"a.bin"), "a"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"1_a.bin.zdlsplit"), "1"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"2_a.bin.zdlsplit"), "2"));
    testkit::CurrentFolderScope inFolder(folder.Path());
    ASSERT_TRUE(inFolder.Entered());
    struct Case {
        int operation;
        const wchar_t* pick;
        const wchar_t* filter;
        bool listsOthers;
    };
    for (const Case& c : {Case{kSplit, L"a.bin", L"所有文件 (*.*)", true},
                          Case{kMerge, L"1_a.bin.zdlsplit", L"合并文件 (1_*.zdlsplit)", false}}) {
        ChooseOperation(c.operation);
        std::wstring filter;
        bool listsOthers = !c.listsOthers;
        PickerDriver user([&](PickerDriver& user) {
            if (!user.WaitForDialog(L"选择文件") || !user.WaitForItem(c.pick))
                return;
            filter = ComboEntry(user.Control(kFileTypeBoxId), 0);
            listsOthers = user.HasItem(L"2_a.bin.zdlsplit");
            if (user.Select(c.pick) && user.WaitForNameBox(folder.File(c.pick)))
                user.PressOpen();
        });
        page.Item(IDC_SPLIT_BROWSE).Send(BM_CLICK);
        user.Finish();
        for (const auto& failure : user.Failures())
            ADD_FAILURE() << failure;
        EXPECT_EQ(folder.File(c.pick), page.ItemText(IDC_SPLIT_PATH));
        EXPECT_EQ(c.filter, filter);
        EXPECT_EQ(c.listsOthers, listsOthers);
    }
}

TEST_F(SplitPageTest, ControlsAreSkinnedAndTheComboOffersBothOperations)
{
    for (int id : {IDC_SPLIT_START, IDC_SPLIT_BROWSE})
        EXPECT_NE(nullptr, Bound<CZendalButton>(page.Item(id))) << id;
    for (int id : {IDC_SPLIT_PATH, IDC_SPLIT_COUNT})
        EXPECT_NE(nullptr, Bound<CZendalEdit>(page.Item(id))) << id;
    EXPECT_NE(nullptr, Bound<CZendalProgressCtrl>(page.Item(IDC_SPLIT_PROGRESS)));
    auto* combo = Bound<CZendalComboBox>(page.Item(IDC_SPLIT_OPERATION));
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(2, combo->Count());
    EXPECT_EQ(L"文件分割", ComboEntry(*combo, 0));
    EXPECT_EQ(L"文件合并", ComboEntry(*combo, 1));
    EXPECT_EQ(0, combo->CurSel());
    EXPECT_EQ(0, page.Progress().Minimum());
    EXPECT_EQ(100, page.Progress().Maximum());
}

// The worker uses the page until its last step: closing the page waits for it.
TEST_F(SplitPageTest, DestroyingThePageDuringARunWaitsForTheWorker)
{
    testkit::ScratchFolder tmpfs(true);
    std::wstring source = tmpfs.File(L"closing.bin");
    const std::string content = PatternBytes(64 * k1MiB, 23);
    ASSERT_TRUE(WriteWholeFile(source, content));
    auto other = std::make_unique<CDlgSplit>();
    ASSERT_TRUE(other->Create(popup.Handle()));
    other->SetItemText(IDC_SPLIT_PATH, source);
    other->SetItemText(IDC_SPLIT_COUNT, L"4");
    other->Item(IDC_SPLIT_START).Send(BM_CLICK);
    other.reset();
    EXPECT_EQ(0, SplitBusy);
    std::string joined;
    for (unsigned k = 1; k <= 4; ++k)
        joined += testkit::ReadWholeFile(tmpfs.File(std::to_wstring(k) + L"_closing.bin.zdlsplit"));
    EXPECT_EQ(content, joined);
}
