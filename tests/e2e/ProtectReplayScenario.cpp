#include "ProgramSession.h"
#include "RemoteTreeList.h"

#include "protect/ProtectDriver.h"
#include "resource.h"
#include "support/DriverClient.h"
#include "support/PumpUntil.h"
#include "support/ScratchFiles.h"
#include "support/TempProgramFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

// Both protection pages hold the same controls: the page is the one shown
// after its navigation button, other than the page to tell it from.
HWND ShowProtectPage(e2e::ProgramSession& session, int navigationButton, HWND other)
{
    e2e::Press(session.Host(), navigationButton);
    HWND page = nullptr;
    testkit::PumpUntil([&] {
        HWND shown = session.ShownPage();
        if (shown && shown != other && ::GetDlgItem(shown, IDC_PROTECT_ADD))
            page = shown;
        return page != nullptr;
    });
    return page;
}

Rows ListRows(HWND page)
{
    e2e::RemoteTreeList list(::GetDlgItem(page, IDC_TREELIST));
    Rows rows;
    for (HTREEITEM row : list.RootRows())
        rows.push_back({list.CellText(row, 0), list.CellText(row, 1)});
    return rows;
}

std::wstring StoredModes(const std::wstring& settingsFile, const wchar_t* section, const std::wstring& path)
{
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(section, path.c_str(), L"", value, 64, settingsFile.c_str());
    return value;
}

// Which of the driver's six lists hold the path, as letters per list ("-" when not).
std::string DriverLists(HANDLE device, const std::wstring& path)
{
    testkit::DriverState state;
    if (!testkit::QueryState(device, &state))
        return "no state";
    const std::string wanted = testkit::Ansi(path);
    std::string held;
    for (int list = 0; list < ZDL_LISTS; ++list) {
        bool found = false;
        for (const std::string& entry : state.lists[list])
            found = found || ::lstrcmpiA(entry.c_str(), wanted.c_str()) == 0;
        held += found ? "owiowi"[list] : '-';
    }
    return held;
}

// Types the path, ticks the modes and presses "添加"; the row appears without a message.
void Add(e2e::ProgramSession& session, HWND page, const std::wstring& path, const std::wstring& modes)
{
    e2e::SetControlText(page, IDC_PROTECT_PATH, path);
    const std::pair<wchar_t, int> boxes[] = {{L'o', IDC_PROTECT_MODE_O}, {L'w', IDC_PROTECT_MODE_W},
                                             {L'i', IDC_PROTECT_MODE_I}};
    for (const auto& box : boxes)
        ::SendMessageW(::GetDlgItem(page, box.second), BM_SETCHECK,
                       modes.find(box.first) != std::wstring::npos ? BST_CHECKED : BST_UNCHECKED, 0);
    size_t boxesBefore = session.MessageCount();
    size_t rowsBefore = ListRows(page).size();
    e2e::Press(page, IDC_PROTECT_ADD);
    EXPECT_TRUE(testkit::PumpUntil([&] { return ListRows(page).size() == rowsBefore + 1; }));
    EXPECT_EQ(boxesBefore, session.MessageCount());
}

// Selects the path's row and chooses the context menu's "remove" command.
bool Remove(HWND page, const std::wstring& path)
{
    HWND listWindow = ::GetDlgItem(page, IDC_TREELIST);
    e2e::RemoteTreeList list(listWindow);
    for (HTREEITEM row : list.RootRows()) {
        if (list.CellText(row, 0) != path)
            continue;
        ::SendMessageW(listWindow, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(row));
        ::PostMessageW(page, WM_COMMAND, MAKEWPARAM(ID_PROTECT_REMOVE, 0), 0);
        return testkit::PumpUntil([&] {
            for (const auto& left : ListRows(page))
                if (left.first == path)
                    return false;
            return true;
        });
    }
    return false;
}

// Whatever the scenario left in the driver when it stopped early is taken
// out again: the driver outlives the test.
class ProtectReplay : public testing::Test {
protected:
    void TearDown() override
    {
        if (!device.Valid())
            return;
        if (DriverLists(device.Get(), file) != "------")
            SendPathRecord(device.Get(), ProtectListKind::File, L"owi", file, true);
        if (DriverLists(device.Get(), folderPath) != "------")
            SendPathRecord(device.Get(), ProtectListKind::Folder, L"owi", folderPath, true);
    }

    fw::FileHandle device = testkit::OpenTestDevice();
    testkit::ScratchFolder scratch;
    const std::wstring file = scratch.File(L"protected-file.txt");
    const std::wstring folderPath = scratch.File(L"protected-folder");
};

} // namespace

TEST_F(ProtectReplay, AProtectedFileAndFolderAreStoredSentToTheDriverAndReplayedAtTheNextStart)
{
    ASSERT_TRUE(device.Valid());
    ASSERT_TRUE(testkit::WriteWholeFile(file, "keep"));
    ASSERT_TRUE(::CreateDirectoryW(folderPath.c_str(), nullptr));
    ASSERT_EQ("------", DriverLists(device.Get(), file));
    ASSERT_EQ("------", DriverLists(device.Get(), folderPath));

    testkit::TempProgramFolder folder(true);
    const std::wstring settings = folder.File(L"zdl\\ZendalFS.zdl");
    const Rows fileRow{{file, L"ow"}};
    const Rows folderRow{{folderPath, L"i"}};
    {
        e2e::ProgramSession session(folder.Path());
        ASSERT_TRUE(session.Ready());
        ASSERT_EQ(L"成功登录", session.LogOn(L""));
        HWND filePage = ShowProtectPage(session, IDC_NAV_FILEPROTECT, nullptr);
        ASSERT_NE(nullptr, filePage);
        Add(session, filePage, file, L"ow");
        HWND folderPage = ShowProtectPage(session, IDC_NAV_FOLDERPROTECT, filePage);
        ASSERT_NE(nullptr, folderPage);
        Add(session, folderPage, folderPath, L"i");
        EXPECT_EQ(fileRow, ListRows(filePage));
        EXPECT_EQ(folderRow, ListRows(folderPage));
        EXPECT_EQ(L"ow", StoredModes(settings, L"File Protect", file));
        EXPECT_EQ(L"i", StoredModes(settings, L"Folder Protect", folderPath));
        EXPECT_EQ("ow----", DriverLists(device.Get(), file));
        EXPECT_EQ("-----i", DriverLists(device.Get(), folderPath));
        e2e::Report("protect: file added with o+w, folder with i: one row each, [File Protect] and [Folder Protect] "
                    "keys in zdl\\ZendalFS.zdl, driver lists file-o, file-w and folder-i");
        EXPECT_TRUE(session.Close());
    }

    // The driver outlives the program (and this test's handle keeps it
    // loaded): empty its lists so that only the replay can fill them again.
    ASSERT_TRUE(SendPathRecord(device.Get(), ProtectListKind::File, L"ow", file, true));
    ASSERT_TRUE(SendPathRecord(device.Get(), ProtectListKind::Folder, L"i", folderPath, true));
    ASSERT_EQ("------", DriverLists(device.Get(), file));
    ASSERT_EQ("------", DriverLists(device.Get(), folderPath));

    e2e::ProgramSession session(folder.Path());
    ASSERT_TRUE(session.Ready());
    ASSERT_EQ(L"成功登录", session.LogOn(L""));
    HWND filePage = ShowProtectPage(session, IDC_NAV_FILEPROTECT, nullptr);
    ASSERT_NE(nullptr, filePage);
    HWND folderPage = ShowProtectPage(session, IDC_NAV_FOLDERPROTECT, filePage);
    ASSERT_NE(nullptr, folderPage);
    EXPECT_EQ(fileRow, ListRows(filePage));
    EXPECT_EQ(folderRow, ListRows(folderPage));
    EXPECT_EQ("ow----", DriverLists(device.Get(), file));
    EXPECT_EQ("-----i", DriverLists(device.Get(), folderPath));
    e2e::Report("protect: started again, both rows are replayed with their modes and the driver holds both paths");

    EXPECT_TRUE(Remove(filePage, file));
    EXPECT_TRUE(Remove(folderPage, folderPath));
    EXPECT_EQ(L"", StoredModes(settings, L"File Protect", file));
    EXPECT_EQ(L"", StoredModes(settings, L"Folder Protect", folderPath));
    EXPECT_EQ("------", DriverLists(device.Get(), file));
    EXPECT_EQ("------", DriverLists(device.Get(), folderPath));
    e2e::Report("protect: removed through the rows' remove command: no rows, no keys, neither path in the driver");
    EXPECT_TRUE(session.Close());
}
