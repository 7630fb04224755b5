#include "EncryptPageHost.h"

#include "support/PumpUntil.h"
#include "ui/treelist/TreeList.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace crypt_test {

namespace {

std::wstring CellText(HWND list, HTREEITEM item, int column)
{
    TVITEMW cell{};
    cell.mask = TVIF_TEXT | TLIF_COLUMN | TLIF_TEXTPTR;
    cell.hItem = item;
    cell.cChildren = column;
    if (!::SendMessageW(list, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&cell)) || !cell.pszText)
        return L"<none>";
    return cell.pszText;
}

int CellImage(HWND list, HTREEITEM item, int column)
{
    TVITEMW cell{};
    cell.mask = TVIF_IMAGE | TLIF_COLUMN;
    cell.hItem = item;
    cell.cChildren = column;
    if (!::SendMessageW(list, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&cell)))
        return -1;
    return cell.iImage;
}

} // namespace

EncryptPageHost::EncryptPageHost() : page_(std::make_unique<CDlgEncrypt>())
{
    EXPECT_TRUE(page_->Create(parent_.Handle()));
    page_->Show();
}

std::vector<Row> EncryptPageHost::Rows() const
{
    std::vector<Row> rows;
    HWND list = page_->ListWindow();
    for (int row = 0;; ++row) {
        auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(list, TLM_ROWTOITEM, 0, row));
        if (!item)
            return rows;
        rows.push_back({CellText(list, item, 0), CellText(list, item, 1), CellImage(list, item, 0),
                        CellImage(list, item, 1)});
    }
}

std::vector<std::wstring> EncryptPageHost::Paths() const
{
    std::vector<std::wstring> paths;
    for (const Row& row : Rows())
        paths.push_back(row.path);
    return paths;
}

void EncryptPageHost::SetPasswords(const std::wstring& password, const std::wstring& confirmation)
{
    page_->SetItemText(IDC_ENCRYPT_PASSWORD, password);
    page_->SetItemText(IDC_ENCRYPT_CONFIRM, confirmation);
}

bool EncryptPageHost::AllControlsEnabled() const
{
    for (int id : {IDC_ENCRYPT_OPERATION, IDC_ENCRYPT_BROWSE, IDC_ENCRYPT_PASSWORD, IDC_ENCRYPT_CONFIRM,
                   IDC_ENCRYPT_START})
        if (!page_->Item(id).IsEnabled())
            return false;
    return true;
}

void EncryptPageHost::Click(int id)
{
    page_->Item(id).Send(BM_CLICK);
}

std::wstring EncryptPageHost::ClickForMessage(int id)
{
    size_t before = boxes.Count();
    Click(id);
    if (!boxes.WaitForCount(before + 1))
        return L"<no message>";
    auto shown = boxes.Boxes();
    EXPECT_EQ(before + 1, shown.size());
    EXPECT_EQ(L"", shown.back().caption);
    return shown.back().text;
}

void EncryptPageHost::ChooseOperation(int index)
{
    HWND combo = page_->Item(IDC_ENCRYPT_OPERATION);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(*page_, WM_COMMAND, MAKEWPARAM(IDC_ENCRYPT_OPERATION, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

void EncryptPageHost::Walk(const std::wstring& folder, int encryptMode)
{
    EXPECT_TRUE(page_->ListFolder(folder, encryptMode));
    EXPECT_TRUE(WaitForWorkers());
}

void EncryptPageHost::Encrypt(const std::wstring& password)
{
    SetPasswords(password, password);
    Click(IDC_ENCRYPT_START);
    EXPECT_TRUE(WaitForWorkers());
}

bool EncryptPageHost::WaitForWorkers()
{
    return testkit::PumpUntil([] { return !EncryptBusy && !SearchBusy; });
}

} // namespace crypt_test
