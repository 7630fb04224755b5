#include "PickerDriver.h"
#include "support/PumpUntil.h"
#include "support/TempProgramFolder.h"
#include "ui/skin/CZendalFileFolderDialog.h"

#include <gtest/gtest.h>

namespace {

const int kFileNameLabelId = 0x442;
const int kFileNameBoxId = 0x47C;
const int kFileTypeLabelId = 0x441;
const int kFileTypeBoxId = 0x470;
const int kFileListId = 0x460;

void CreateFileAt(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
}

std::wstring ParentOf(const std::wstring& path)
{
    std::wstring parent = path.substr(0, path.find_last_of(L'\\'));
    return parent.size() == 2 ? parent + L"\\" : parent;
}

RECT RectIn(HWND control, HWND dialog)
{
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class FileFolderDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Valid());
        ::CreateDirectoryW(Path(L"sub").c_str(), nullptr);
        CreateFileAt(Path(L"a.txt"));
        CreateFileAt(Path(L"1_a.txt.zdlsplit"));
        CreateFileAt(Path(L"sub\\b.txt"));
    }

    std::wstring Path(const std::wstring& name) const { return folder.File(name); }

    // Runs the picker modally (in the test folder unless told otherwise) while the script plays the user.
    INT_PTR Run(CZendalFileFolderDialog& picker, std::function<void(PickerDriver&)> script)
    {
        if (!picker.Settings().lpstrInitialDir)
            picker.Settings().lpstrInitialDir = folder.Path().c_str();
        PickerDriver driver(std::move(script));
        INT_PTR result = picker.DoModal();
        driver.Finish();
        for (const auto& failure : driver.Failures())
            ADD_FAILURE() << failure;
        return result;
    }

    testkit::TempProgramFolder folder;
};

} // namespace

TEST_F(FileFolderDialogTest, FileModeShowsTheAdaptedDialogAndReturnsTheConfirmedFile)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileMode, L"所有文件 (*.*)|*.*");
    std::wstring label;
    bool typeRowHidden = false;
    RECT open{}, cancel{}, list{}, nameLabel{}, nameBox{};
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件") || !user.WaitForItem(L"a.txt"))
            return;
        wchar_t text[64] = {};
        ::GetWindowTextW(user.Control(kFileNameLabelId), text, 64);
        label = text;
        typeRowHidden = !::IsWindowVisible(user.Control(kFileTypeLabelId)) &&
                        !::IsWindowVisible(user.Control(kFileTypeBoxId));
        open = RectIn(user.Control(IDOK), user.Dialog());
        cancel = RectIn(user.Control(IDCANCEL), user.Dialog());
        list = RectIn(user.Control(kFileListId), user.Dialog());
        nameLabel = RectIn(user.Control(kFileNameLabelId), user.Dialog());
        nameBox = RectIn(user.Control(kFileNameBoxId), user.Dialog());
        if (user.Select(L"a.txt") && user.WaitForNameBox(Path(L"a.txt")))
            user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Path(L"a.txt"), picker.Choice());
    EXPECT_EQ(L"项目名：", label);
    EXPECT_TRUE(typeRowHidden);
    EXPECT_EQ(cancel.top, open.top);
    EXPECT_EQ(cancel.left - 5, open.right);
    EXPECT_EQ(cancel.top - 5, list.bottom);
    EXPECT_EQ(list.left, nameLabel.left);
    EXPECT_EQ(cancel.top + 5, nameLabel.top);
    EXPECT_EQ(list.left + 55, nameBox.left);
    EXPECT_EQ(cancel.top, nameBox.top);
}

TEST_F(FileFolderDialogTest, FileModeOpensASelectedFolderAndReturnsTheFileChosenThere)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileMode, L"所有文件 (*.*)|*.*");
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件") || !user.WaitForItem(L"sub") || !user.Select(L"sub"))
            return;
        user.PressOpen();
        if (user.WaitForItem(L"b.txt") && user.Select(L"b.txt") && user.WaitForNameBox(Path(L"sub\\b.txt")))
            user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Path(L"sub\\b.txt"), picker.Choice());
}

TEST_F(FileFolderDialogTest, FolderModeWithNothingSelectedReturnsTheFolderShownNotADoubledPath)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFolderMode, L" | ||");
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件夹") || !user.WaitForItem(L"sub") || !user.WaitForNameBox(folder.Path()))
            return;
        // Opening the parent refills the list with nothing selected.
        user.GoUp();
        if (user.WaitForNameBox(ParentOf(folder.Path())))
            user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(ParentOf(folder.Path()), picker.Choice());
}

TEST_F(FileFolderDialogTest, FolderModeReturnsTheSelectedFolderAndNotATypedName)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFolderMode, L" | ||");
    bool listsFiles = true;
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件夹") || !user.WaitForItem(L"sub"))
            return;
        listsFiles = user.HasItem(L"a.txt");
        user.Type(L"typed");
        if (user.Select(L"sub") && user.WaitForNameBox(Path(L"sub")))
            user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Path(L"sub"), picker.Choice());
    EXPECT_FALSE(listsFiles);
}

TEST_F(FileFolderDialogTest, ANameTypedWithoutSelectingItIsNotTheResult)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileOrFolderMode, L"");
    picker.Settings().lpstrFilter = L"所有文件 (*.*)\0*.*\0";
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件或文件夹") || !user.WaitForItem(L"a.txt") ||
            !user.WaitForNameBox(folder.Path()))
            return;
        user.Type(L"a.txt");
        user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(folder.Path(), picker.Choice());
}

TEST_F(FileFolderDialogTest, FileOrFolderModeReturnsASelectedFileAtOnce)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileOrFolderMode, L"所有文件 (*.*)|*.*||");
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (user.WaitForDialog(L"选择文件或文件夹") && user.WaitForItem(L"a.txt") && user.Select(L"a.txt") &&
            user.WaitForNameBox(Path(L"a.txt")))
            user.PressOpen();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Path(L"a.txt"), picker.Choice());
}

TEST_F(FileFolderDialogTest, ADirectlySetFilterListShowsOnlyMatchingFilesAndCancelIsNoConfirmation)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFileMode, L"");
    picker.Settings().lpstrFilter = L"合并文件 (1_*.zdlsplit)\0 1_*.zdlsplit;\0";
    bool listsOthers = true;
    std::wstring filterName;
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件") || !user.WaitForItem(L"1_a.txt.zdlsplit"))
            return;
        listsOthers = user.HasItem(L"a.txt");
        wchar_t text[64] = {};
        ::SendMessageW(user.Control(kFileTypeBoxId), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
        filterName = text;
        ::PostMessageW(user.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(listsOthers);
    EXPECT_EQ(L"合并文件 (1_*.zdlsplit)", filterName);
}

TEST_F(FileFolderDialogTest, WhileAVirtualFolderIsShownTheResultIsEmpty)
{
    CZendalFileFolderDialog picker(CZendalFileFolderDialog::kFolderMode, L" | ||");
    picker.Settings().lpstrInitialDir = L"C:\\";
    INT_PTR result = Run(picker, [&](PickerDriver& user) {
        if (!user.WaitForDialog(L"选择文件夹") || !user.WaitForItem(L"windows"))
            return;
        user.GoUp();
        if (testkit::PumpUntil([&] { return !user.HasItem(L"windows"); }, 10000))
            user.PressOpen();
        else
            user.Fail("the parent of C:\\ never showed");
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"", picker.Choice());
}
