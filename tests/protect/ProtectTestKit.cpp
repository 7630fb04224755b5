#include "ProtectTestKit.h"

#include "protect/ProtectListStore.h"
#include "ui/treelist/TreeList.h"

#include <cstring>

namespace protecttest {

std::string FileBytes(const std::wstring& path)
{
    fw::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::string();
    std::string bytes(::GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    fw::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring CreateEmptyFile(const std::wstring& path)
{
    WriteFileBytes(path, std::string());
    return path;
}

int DriverList(ProtectListKind kind, wchar_t mode)
{
    int base = kind == ProtectListKind::File ? ZDL_FILE_O : ZDL_FOLDER_O;
    return base + (mode == L'o' ? 0 : mode == L'w' ? 1 : 2);
}

std::wstring ListedModes(const testkit::DriverState& state, ProtectListKind kind, const std::wstring& path)
{
    const std::string padded = testkit::Padded(testkit::Ansi(path));
    std::wstring modes;
    for (wchar_t mode : {L'o', L'w', L'i'}) {
        for (const std::string& entry : state.lists[DriverList(kind, mode)]) {
            if (entry == padded) {
                modes += mode;
                break;
            }
        }
    }
    return modes;
}

std::vector<DWORD> SentCodes(const std::vector<drivertest::DeviceCall>& calls)
{
    std::vector<DWORD> codes;
    for (const drivertest::DeviceCall& call : calls) {
        if (call.code != IOCTL_QUERY_STATE)
            codes.push_back(call.code);
    }
    return codes;
}

bool AllRecordsAre(const std::vector<drivertest::DeviceCall>& calls, const std::wstring& path, WORD remove)
{
    const std::string record = testkit::Record(testkit::Ansi(path), remove);
    for (const drivertest::DeviceCall& call : calls) {
        if (call.input.size() == ZDL_RECORD_BYTES && call.input != record)
            return false;
    }
    return true;
}

namespace {

std::wstring CellText(HWND list, HTREEITEM item, int column)
{
    TVITEMW record{};
    record.mask = TLIF_TEXTPTR | TLIF_COLUMN | TVIF_TEXT;
    record.hItem = item;
    record.cChildren = column;
    if (!::SendMessageW(list, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record)) || !record.pszText)
        return L"<unreadable>";
    return record.pszText;
}

} // namespace

std::vector<ListRow> ListRows(HWND list)
{
    std::vector<ListRow> rows;
    for (LPARAM row = 0;; ++row) {
        auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(list, TLM_ROWTOITEM, 0, row));
        if (!item)
            return rows;
        rows.push_back({item, CellText(list, item, 0), CellText(list, item, 1)});
    }
}

POINT RowPoint(HWND list, HTREEITEM item)
{
    // The item goes in where the rectangle comes back.
    RECT rect{};
    std::memcpy(&rect, &item, sizeof(item));
    ::SendMessageW(list, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    POINT point{rect.left + 40, (rect.top + rect.bottom) / 2};
    ::ClientToScreen(list, &point);
    return point;
}

HTREEITEM SelectedItem(HWND list)
{
    return reinterpret_cast<HTREEITEM>(::SendMessageW(list, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

WriteLock::WriteLock(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

std::wstring ListedModes(HANDLE device, ProtectListKind kind, const std::wstring& path)
{
    testkit::DriverState state;
    if (!testkit::QueryState(device, &state))
        return L"?";
    return ListedModes(state, kind, path);
}

std::wstring StoredModes(const std::wstring& settingsFile, ProtectListKind kind, const std::wstring& path)
{
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(ProtectListStore::SectionName(kind), path.c_str(), nullptr, value, 256,
                               settingsFile.c_str());
    return value;
}

} // namespace protecttest
