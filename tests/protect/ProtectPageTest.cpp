#include "PageHostFixture.h"
#include "PickerDriver.h"
#include "ProtectTestKit.h"
#include "framework/App.h"
#include "protect/CDlgProtectPage.h"
#include "protect/ProtectListStore.h"
#include "resource.h"
#include "support/PumpUntil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using protecttest::FileBytes;
using protecttest::ListedModes;
using protecttest::SentCodes;

const wchar_t kNoModeText[] = L"至少选择一个保护方式";

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
        std::vector<testkit::ShownMessageBox> shown = boxes->Boxes();
        EXPECT_LE(shown.size(), before + 1);
        if (shown.size() == before)
            return std::wstring();
        EXPECT_EQ(fw::App::Name(), shown.back().caption);
        return shown.back().text;
    }

    std::wstring StoredModes(ProtectListKind kind, const std::wstring& path) const
    {
        wchar_t value[256] = {};
        ::GetPrivateProfileStringW(ProtectListStore::SectionName(kind), path.c_str(), nullptr, value, 256,
                                   Settings().c_str());
        return value;
    }

    std::wstring Listed(ProtectListKind kind, const std::wstring& path)
    {
        testkit::DriverState state;
        EXPECT_TRUE(testkit::QueryState(device.Get(), &state));
        return ListedModes(state, kind, path);
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

    fw::FileHandle device;
    drivertest::DeviceCallRecorder recorder;
    CDlgProtectPage* page = nullptr;
    std::vector<std::wstring> created;
};

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
    EXPECT_EQ(L"", StoredModes(Kind(), otherCase + L"x"));
}

TEST_P(ProtectPageTest, AnAddStoresTheKeySendsOneRecordPerModeAndKeepsTheInput)
{
    const std::wstring path = Existing(L"salary.xls");
    EXPECT_EQ(L"", Add(path, L"oi")) << "no message on success";

    EXPECT_EQ((std::vector<DWORD>{Code(L'o'), Code(L'i')}), Sent());
    EXPECT_EQ(L"oi", Listed(Kind(), path));
    EXPECT_EQ(L"", Listed(OtherKind(), path));
    EXPECT_EQ(L"oi", StoredModes(Kind(), path));
    EXPECT_EQ(L"", StoredModes(OtherKind(), path));

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
    EXPECT_EQ(L"操作失败", Add(withEquals, L"o"));
    EXPECT_EQ("", FileBytes(Settings()));

    ASSERT_TRUE(testkit::RemoveTree(folder->File(L"zdl")));
    EXPECT_EQ(L"操作失败", Add(path, L"ow"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(folder->File(L"zdl").c_str())) << "never created";

    ASSERT_TRUE(::CreateDirectoryW(folder->File(L"zdl").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Settings().c_str(), nullptr));
    EXPECT_EQ(L"操作失败", Add(path, L"ow"));

    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(L"", Listed(Kind(), path));
}

TEST_P(ProtectPageTest, EnterAndEscapeLeaveThePageAsItIs)
{
    page->SetItemText(IDC_PROTECT_PATH, L"typed");
    host->Page(GetParam().index).Show();
    page->Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
    page->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    testkit::PumpPending();
    EXPECT_TRUE(page->IsWindow());
    EXPECT_TRUE(page->IsVisible());
    EXPECT_EQ(L"typed", page->ItemText(IDC_PROTECT_PATH));
    EXPECT_EQ(0u, boxes->Count());
}

// The picker opens in the current folder when it is given none.
TEST_P(ProtectPageTest, BrowsePutsThePickedPathIntoTheEditAndCancelLeavesItAlone)
{
    const std::wstring file = Existing(L"a.txt");
    const std::wstring sub = ExistingFolder(L"sub");
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder->Path().c_str()));
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
            ::SendMessageW(user.Control(0x470), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
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
    ::SetCurrentDirectoryW(previous);
}
