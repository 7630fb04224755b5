#include "PageHostFixture.h"
#include "PickerDriver.h"
#include "PopupMenuCatcher.h"
#include "ProtectTestKit.h"
#include "framework/App.h"
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectListStore.h"
#include "resource.h"
#include "support/CurrentFolderScope.h"
#include "support/Input.h"
#include "support/PumpUntil.h"
#include "ui/treelist/TreeList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using protecttest::FileBytes;
using protecttest::ListRow;
using protecttest::ListedModes;
using protecttest::SentCodes;

const wchar_t kNoModeText[] = L"至少选择一个保护方式";
// The open dialog's file-type box.
const int kFileTypeBoxId = 0x470;

struct PageCase {
    int index; // in the page host
    const ProtectPageTable* table;
    const char* name;
};

const PageCase kPages[] = {
    {3, &kFileProtectTable, "FilePage"},
    {4, &kFolderProtectTable, "FolderPage"},
};

// One protection page inside a real page host in a fresh program folder,
// after logging on, with the driver loaded before the host opens it.
class ProtectPageTest : public PageHostTest, public testing::WithParamInterface<PageCase> {
protected:
    void SetUp() override
    {
        device = testkit::OpenTestDevice();
        ASSERT_TRUE(device.Valid());
        ASSERT_TRUE(recorder.Hooked());
        PageHostTest::SetUp();
        ASSERT_NE(INVALID_HANDLE_VALUE, host->ProtectDevice());
        LogOn(L"");
        boxes->Clear();
        page = &static_cast<CDlgProtectPage&>(host->Page(GetParam().index));
        host->Item(IDC_NAV_ENCRYPT + GetParam().index).Send(BM_CLICK);
        ASSERT_TRUE(page->IsVisible());
        recorder.Clear();
    }

    void TearDown() override
    {
        for (const std::wstring& path : created) {
            SendPathRecord(device.Get(), Kind(), L"owi", path, true);
            SendPathRecord(device.Get(), OtherKind(), L"owi", path, true);
        }
        PageHostTest::TearDown();
    }

    const ProtectPageTable& Table() const { return *GetParam().table; }
    ProtectListKind Kind() const { return Table().kind; }
    ProtectListKind OtherKind() const
    {
        return Kind() == ProtectListKind::File ? ProtectListKind::Folder : ProtectListKind::File;
    }
    std::wstring Settings() const { return folder->File(L"zdl\\ZendalFS.zdl"); }

    std::wstring Existing(const std::wstring& name)
    {
        created.push_back(protecttest::CreateEmptyFile(folder->File(name)));
        return created.back();
    }
    std::wstring ExistingFolder(const std::wstring& name)
    {
        created.push_back(folder->File(name));
        ::CreateDirectoryW(created.back().c_str(), nullptr);
        return created.back();
    }

    // Fills the path and the mode boxes and presses "添加到列表"; returns the
    // text of the one message shown, or nothing when none was shown.
    std::wstring Add(const std::wstring& path, const std::wstring& modes)
    {
        page->SetItemText(IDC_PROTECT_PATH, path);
        const int boxes_[] = {IDC_PROTECT_MODE_O, IDC_PROTECT_MODE_W, IDC_PROTECT_MODE_I};
        for (int i = 0; i < 3; ++i) {
            bool ticked = modes.find(L"owi"[i]) != std::wstring::npos;
            page->Item(boxes_[i]).Send(BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED);
        }
        size_t before = boxes->Count();
        page->Item(IDC_PROTECT_ADD).Send(BM_CLICK);
        return ShownSince(before);
    }

    // The text of the one message box shown since there were that many, or nothing.
    std::wstring ShownSince(size_t before)
    {
        std::vector<testkit::ShownMessageBox> shown = boxes->Boxes();
        if (shown.size() == before)
            return std::wstring();
        EXPECT_EQ(before + 1, shown.size());
        EXPECT_EQ(fw::App::Name(), shown.back().caption);
        return shown.back().text;
    }

    std::wstring StoredModes(ProtectListKind kind, const std::wstring& path) const
    {
        return protecttest::StoredModes(Settings(), kind, path);
    }

    std::wstring Listed(ProtectListKind kind, const std::wstring& path)
    {
        return protecttest::ListedModes(device.Get(), kind, path);
    }

    std::vector<DWORD> Sent()
    {
        std::vector<DWORD> codes = SentCodes(recorder.Calls());
        recorder.Clear();
        return codes;
    }

    DWORD Code(wchar_t mode) const
    {
        const DWORD file[] = {IOCTL_FILE_PROTECT_O, IOCTL_FILE_PROTECT_W, IOCTL_FILE_PROTECT_I};
        const DWORD folder[] = {IOCTL_FOLDER_PROTECT_O, IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I};
        int index = mode == L'o' ? 0 : mode == L'w' ? 1 : 2;
        return Kind() == ProtectListKind::File ? file[index] : folder[index];
    }

    HWND List() const { return page->Item(IDC_TREELIST); }
    std::vector<protecttest::ListRow> Rows() const { return protecttest::ListRows(List()); }

    // Right-clicks a row and answers the menu that opens with the command (0
    // closes it); returns the text of the message shown after it, or nothing.
    std::wstring ChooseOnRow(size_t row, UINT command)
    {
        std::vector<ListRow> rows = Rows();
        if (row >= rows.size())
            return L"<no such row>";
        menus.Choose(command);
        size_t menusBefore = menus.Count();
        size_t boxesBefore = boxes->Count();
        testkit::RightClickAt(protecttest::RowPoint(List(), rows[row].item));
        EXPECT_TRUE(testkit::PumpUntil(
            [&] { return menus.Count() > menusBefore && !protecttest::PopupMenuCatcher::MenuOpen(); }))
            << "a menu opened on the row and closed";
        testkit::PumpPending();
        return ShownSince(boxesBefore);
    }

    // Stores three entries through the page.
    std::vector<std::wstring> AddThree()
    {
        std::vector<std::wstring> paths = {Existing(L"a"), Existing(L"b"), Existing(L"c")};
        EXPECT_EQ(L"", Add(paths[0], L"o"));
        EXPECT_EQ(L"", Add(paths[1], L"ow"));
        EXPECT_EQ(L"", Add(paths[2], L"wi"));
        recorder.Clear();
        return paths;
    }

    fw::FileHandle device;
    drivertest::DeviceCallRecorder recorder;
    protecttest::PopupMenuCatcher menus;
    CDlgProtectPage* page = nullptr;
    std::vector<std::wstring> created;
};

void PrintTo(const PageCase& page, std::ostream* out)
{
    *out << page.name;
}

std::string PageName(const testing::TestParamInfo<PageCase>& info)
{
    return info.param.name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Pages, ProtectPageTest, testing::ValuesIn(kPages), PageName);

TEST_P(ProtectPageTest, EachRefusalShowsItsOwnTextInTheOrderOfTheChecks)
{
    const std::wstring path = Existing(L"plan.doc");
    EXPECT_EQ(Table().noPathText, Add(L"", L""));
    EXPECT_EQ(Table().noPathText, Add(L"", L"owi"));
    EXPECT_EQ(Table().missingPathText, Add(folder->File(L"nothing-here"), L""));
    EXPECT_EQ(Table().missingPathText, Add(L"C:\\", L"o")) << "a drive root";
    EXPECT_EQ(Table().missingPathText, Add(folder->File(L"zdl\\"), L"o")) << "a trailing backslash";
    EXPECT_EQ(kNoModeText, Add(path, L""));

    EXPECT_EQ(L"", Add(path, L"w"));
    EXPECT_EQ(Table().alreadyProtectedText, Add(path, L"w"));
    EXPECT_EQ(Table().alreadyProtectedText, Add(path, L"oi")) << "whatever modes are ticked";
    std::wstring otherCase = path;
    for (wchar_t& c : otherCase)
        c = static_cast<wchar_t>(::towupper(c));
    ASSERT_NE(path, otherCase);
    EXPECT_EQ(Table().alreadyProtectedText, Add(otherCase, L"o")) << "keys match in any letter case";
    EXPECT_EQ(kNoModeText, Add(path, L"")) << "the mode check comes before the stored one";

    EXPECT_EQ((std::vector<DWORD>{Code(L'w')}), Sent()) << "only the one add reached the driver";
    EXPECT_EQ(L"w", StoredModes(Kind(), path));
    EXPECT_EQ(1u, Rows().size());
}

TEST_P(ProtectPageTest, AnAddStoresTheKeySendsOneRecordPerModeAppendsARowAndKeepsTheInput)
{
    const std::wstring first = Existing(L"plan.doc");
    const std::wstring path = Existing(L"salary.xls");
    EXPECT_EQ(L"", Add(first, L"owi"));
    recorder.Clear();
    EXPECT_EQ(L"", Add(path, L"oi")) << "no message on success";

    std::vector<drivertest::DeviceCall> calls = recorder.Calls();
    EXPECT_EQ((std::vector<DWORD>{Code(L'o'), Code(L'i')}), SentCodes(calls));
    EXPECT_TRUE(protecttest::AllRecordsAre(calls, path, 0));
    EXPECT_EQ(L"oi", Listed(Kind(), path));
    EXPECT_EQ(L"", Listed(OtherKind(), path));
    const std::string section = "[" + testkit::Ansi(ProtectListStore::SectionName(Kind())) + "]\r\n";
    EXPECT_EQ(section + testkit::Ansi(first) + "=owi\r\n" + testkit::Ansi(path) + "=oi\r\n", FileBytes(Settings()));

    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(first, rows[0].path);
    EXPECT_EQ(L"owi", rows[0].modes);
    EXPECT_EQ(path, rows[1].path);
    EXPECT_EQ(L"oi", rows[1].modes);

    EXPECT_EQ(path, page->ItemText(IDC_PROTECT_PATH));
    EXPECT_EQ(BST_CHECKED, page->Item(IDC_PROTECT_MODE_O).Send(BM_GETCHECK));
    EXPECT_EQ(BST_UNCHECKED, page->Item(IDC_PROTECT_MODE_W).Send(BM_GETCHECK));
    EXPECT_EQ(BST_CHECKED, page->Item(IDC_PROTECT_MODE_I).Send(BM_GETCHECK));
}

// The existence check does not look at the kind of what it finds.
TEST_P(ProtectPageTest, AFileOnTheFolderPageOrAFolderOnTheFilePageIsStoredAsThatPagesEntry)
{
    const std::wstring path = Kind() == ProtectListKind::File ? ExistingFolder(L"docs") : Existing(L"docs.txt");
    EXPECT_EQ(L"", Add(path, L"owi"));
    EXPECT_EQ(L"owi", StoredModes(Kind(), path));
    EXPECT_EQ(L"owi", Listed(Kind(), path));
    EXPECT_EQ(L"", Listed(OtherKind(), path));
}

TEST_P(ProtectPageTest, AnEntryTheSettingsFileCannotKeepIsReportedAndNeitherSentNorStored)
{
    const std::wstring path = Existing(L"a.txt");
    const std::wstring withEquals = Existing(L"x=y.txt");
    // Existing, but more than 256 bytes in the ANSI code page.
    const std::wstring longName(60, L'长');
    const std::wstring tooLong = Existing(ExistingFolder(longName).substr(folder->Path().size() + 1) + L"\\" + longName);
    ASSERT_FALSE(FitsPathRecord(tooLong));
    EXPECT_EQ(L"操作失败", Add(withEquals, L"o")) << "the file would split the key at the =";
    EXPECT_EQ(L"操作失败", Add(tooLong, L"o")) << "the driver's record cannot hold it";
    EXPECT_EQ("", FileBytes(Settings()));

    ASSERT_TRUE(testkit::RemoveTree(folder->File(L"zdl")));
    EXPECT_EQ(L"操作失败", Add(path, L"ow"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder->File(L"zdl").c_str())) << "never created";

    ASSERT_TRUE(::CreateDirectoryW(folder->File(L"zdl").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Settings().c_str(), nullptr));
    EXPECT_EQ(L"操作失败", Add(path, L"ow"));

    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(L"", Listed(Kind(), path));
    EXPECT_TRUE(Rows().empty());
}

TEST_P(ProtectPageTest, EnterAndEscapeLeaveThePageAsItIs)
{
    page->SetItemText(IDC_PROTECT_PATH, L"typed");
    page->Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    page->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    testkit::PumpPending();
    EXPECT_TRUE(page->IsWindow());
    EXPECT_TRUE(page->IsVisible());
    EXPECT_EQ(L"typed", page->ItemText(IDC_PROTECT_PATH));
    EXPECT_EQ(0u, boxes->Count());
}

TEST_P(ProtectPageTest, BrowsePutsThePickedPathIntoTheEditAndCancelLeavesItAlone)
{
    const std::wstring file = Existing(L"a.txt");
    const std::wstring sub = ExistingFolder(L"sub");
    testkit::CurrentFolderScope current(folder->Path());
    ASSERT_TRUE(current.Entered());
    const bool filePage = Kind() == ProtectListKind::File;
    const std::wstring picked = filePage ? file : sub;

    bool listsFiles = false;
    std::wstring filterName;
    {
        PickerDriver user([&](PickerDriver& user) {
            if (!user.WaitForDialog(filePage ? L"选择文件" : L"选择文件夹") || !user.WaitForItem(L"sub"))
                return;
            listsFiles = user.HasItem(L"a.txt");
            wchar_t text[64] = {};
            ::SendMessageW(user.Control(kFileTypeBoxId), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            filterName = text;
            if (user.Select(filePage ? L"a.txt" : L"sub") && user.WaitForNameBox(picked))
                user.PressOpen();
        });
        page->Item(IDC_PROTECT_BROWSE).Send(BM_CLICK);
        user.Finish();
        for (const std::string& failure : user.Failures())
            ADD_FAILURE() << failure;
    }
    EXPECT_EQ(picked, page->ItemText(IDC_PROTECT_PATH));
    EXPECT_EQ(filePage, listsFiles);
    EXPECT_EQ(filePage ? L"所有文件 (*.*)" : L" ", filterName);

    {
        PickerDriver user([&](PickerDriver& user) {
            if (user.WaitForDialog(L""))
                ::PostMessageW(user.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        page->Item(IDC_PROTECT_BROWSE).Send(BM_CLICK);
        user.Finish();
    }
    EXPECT_EQ(picked, page->ItemText(IDC_PROTECT_PATH));
    EXPECT_EQ(0u, boxes->Count());
}

TEST_P(ProtectPageTest, TheListSitsInsideItsFrameWithItsTwoColumns)
{
    fw::Window list(List());
    ASSERT_TRUE(list.IsWindow());
    EXPECT_EQ(0x50005004u, list.Style());
    EXPECT_EQ(static_cast<LRESULT>(TLS_EX_ROWREPAINT), list.Send(TVM_GETEXTENDEDSTYLE));
    RECT frame = page->Item(IDC_PROTECT_FRAME).RectIn(page->Handle());
    RECT inside = list.RectIn(page->Handle());
    EXPECT_EQ(frame.left + 1, inside.left);
    EXPECT_EQ(frame.top + 1, inside.top);
    EXPECT_EQ(frame.right - 1, inside.right);
    EXPECT_EQ(frame.bottom - 1, inside.bottom);

    ASSERT_EQ(2, list.Send(TLM_GETCOLUMNCOUNT));
    const wchar_t* titles[] = {Table().pathColumnTitle, L"保护方式"};
    const int widths[] = {392, 100};
    for (int column = 0; column < 2; ++column) {
        wchar_t title[64] = {};
        LVCOLUMNW record{};
        record.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        record.pszText = title;
        record.cchTextMax = 64;
        ASSERT_TRUE(list.Send(TLM_GETCOLUMN, column, reinterpret_cast<LPARAM>(&record)));
        EXPECT_EQ(std::wstring(titles[column]), title);
        EXPECT_EQ(widths[column], record.cx);
        EXPECT_EQ(LVCFMT_LEFT, record.fmt);
    }
    auto images = reinterpret_cast<HIMAGELIST>(list.Send(TVM_GETIMAGELIST, TVSIL_NORMAL));
    ASSERT_NE(nullptr, images);
    EXPECT_EQ(1, ImageList_GetImageCount(images));
}

TEST_P(ProtectPageTest, ARightClickOpensTheMenuOnlyOnARowAndSelectsThatRowFirst)
{
    AddThree();
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(3u, rows.size());
    RECT client = fw::Window(List()).ClientRect();
    TVHITTESTINFO hit{};
    hit.pt = POINT{client.right / 2, client.bottom - 4};
    ASSERT_EQ(0, ::SendMessageW(List(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) << "below the rows";
    POINT below = hit.pt;
    ::ClientToScreen(List(), &below);

    testkit::RightClickAt(below);

    ::SendMessageW(List(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(rows[0].item));
    EXPECT_EQ(L"", ChooseOnRow(2, 0));
    ASSERT_EQ(1u, menus.Count()) << "the right click on empty space, which came first, opened none";
    POINT onRow = protecttest::RowPoint(List(), rows[2].item);
    protecttest::ShownMenu shown = menus.Menus()[0];
    EXPECT_EQ((std::vector<UINT>{ID_PROTECT_REMOVE, ID_PROTECT_REMOVEALL}), shown.ids);
    EXPECT_EQ((std::vector<std::wstring>{L"删除此项目", L"删除所有项目"}), shown.texts);
    EXPECT_EQ(onRow.x, shown.rect.left) << "at the cursor";
    EXPECT_EQ(onRow.y, shown.rect.top);
    EXPECT_EQ(rows[2].item, protecttest::SelectedItem(List()));
    EXPECT_EQ(3u, Rows().size()) << "closing the menu changes nothing";
    EXPECT_TRUE(Sent().empty());
}

TEST_P(ProtectPageTest, RemoveOneTakesTheRowUnderTheMouseOutOfTheFileTheDriverAndTheList)
{
    std::vector<std::wstring> paths = AddThree();
    ::SendMessageW(List(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Rows()[0].item));

    EXPECT_EQ(L"", ChooseOnRow(1, ID_PROTECT_REMOVE));

    std::vector<drivertest::DeviceCall> calls = recorder.Calls();
    EXPECT_EQ((std::vector<DWORD>{Code(L'o'), Code(L'w')}), SentCodes(calls));
    EXPECT_TRUE(protecttest::AllRecordsAre(calls, paths[1], 1));
    EXPECT_EQ(L"", Listed(Kind(), paths[1]));
    EXPECT_EQ(L"o", Listed(Kind(), paths[0]));
    EXPECT_EQ(L"wi", Listed(Kind(), paths[2]));
    EXPECT_EQ(L"", StoredModes(Kind(), paths[1]));
    EXPECT_EQ(L"o", StoredModes(Kind(), paths[0]));
    std::vector<ListRow> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(paths[0], rows[0].path);
    EXPECT_EQ(paths[2], rows[1].path);
    EXPECT_EQ(L"wi", rows[1].modes);
}

TEST_P(ProtectPageTest, RemoveAllLeavesTheBareSectionHeaderAndEmptiesOnlyThisKindsDriverLists)
{
    const std::wstring kept = Existing(L"other-kind");
    ASSERT_TRUE(ProtectListStore(OtherKind(), Settings()).AddProtectEntry(device.Get(), {kept, L"owi"}));
    std::vector<std::wstring> paths = AddThree();
    const std::string otherSection = "[" + testkit::Ansi(ProtectListStore::SectionName(OtherKind())) + "]\r\n" +
                                     testkit::Ansi(kept) + "=owi\r\n";
    testkit::DriverState before;
    ASSERT_TRUE(testkit::QueryState(device.Get(), &before));

    EXPECT_EQ(L"", ChooseOnRow(2, ID_PROTECT_REMOVEALL));

    const bool files = Kind() == ProtectListKind::File;
    const std::vector<DWORD> clears =
        files ? std::vector<DWORD>{IOCTL_FILE_CLEAR_O, IOCTL_FILE_CLEAR_W, IOCTL_FILE_CLEAR_I}
              : std::vector<DWORD>{IOCTL_FOLDER_CLEAR_O, IOCTL_FOLDER_CLEAR_W, IOCTL_FOLDER_CLEAR_I};
    EXPECT_EQ(clears, Sent());
    const int base = files ? ZDL_FILE_O : ZDL_FOLDER_O;
    testkit::DriverState after;
    ASSERT_TRUE(testkit::QueryState(device.Get(), &after));
    const int otherBase = ZDL_FOLDER_O - base;
    for (int mode = 0; mode < 3; ++mode) {
        EXPECT_TRUE(after.lists[base + mode].empty());
        EXPECT_EQ(before.lists[otherBase + mode], after.lists[otherBase + mode]);
    }
    EXPECT_EQ(otherSection + "[" + testkit::Ansi(ProtectListStore::SectionName(Kind())) + "]\r\n",
              FileBytes(Settings()));
    EXPECT_TRUE(Rows().empty());
}

TEST_P(ProtectPageTest, ARemovalTheSettingsFileRefusesIsReportedAndChangesNothing)
{
    std::vector<std::wstring> paths = AddThree();
    const std::string stored = FileBytes(Settings());
    {
        protecttest::WriteLock lock(Settings());
        ASSERT_TRUE(lock.Held());
        EXPECT_EQ(L"操作失败", ChooseOnRow(0, ID_PROTECT_REMOVE));
        // Another row: a second press at the same place would be a double click.
        EXPECT_EQ(L"操作失败", ChooseOnRow(1, ID_PROTECT_REMOVEALL));
    }
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(stored, FileBytes(Settings()));
    EXPECT_EQ(3u, Rows().size());
    EXPECT_EQ(L"o", Listed(Kind(), paths[0]));
    EXPECT_EQ(L"wi", Listed(Kind(), paths[2]));
}
