#include "RemoteTreeList.h"

#include "ui/treelist/TreeList.h"

namespace e2e {

namespace {

// The record first, then room for one cell's text.
constexpr size_t kTextOffset = 256;
constexpr int kTextCapacity = 512;
constexpr size_t kBlockSize = kTextOffset + kTextCapacity * sizeof(wchar_t);

HANDLE OpenOwner(HWND list)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    return ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
}

} // namespace

RemoteTreeList::RemoteTreeList(HWND list) : list_(list), process_(OpenOwner(list))
{
    if (process_)
        block_ = ::VirtualAllocEx(process_.Get(), nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteTreeList::~RemoteTreeList()
{
    if (block_)
        ::VirtualFreeEx(process_.Get(), block_, 0, MEM_RELEASE);
}

std::vector<HTREEITEM> RemoteTreeList::RootRows() const
{
    std::vector<HTREEITEM> rows;
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(list_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item && rows.size() < 1000) {
        rows.push_back(item);
        item = reinterpret_cast<HTREEITEM>(
            ::SendMessageW(list_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return rows;
}

std::wstring RemoteTreeList::CellText(HTREEITEM item, int column) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_TEXT | TLIF_COLUMN;
    record.hItem = item;
    record.cChildren = column;
    std::wstring text;
    Exchange(TVM_GETITEMW, &record, &text);
    return text;
}

int RemoteTreeList::Check(HTREEITEM item) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK;
    if (!Exchange(TVM_GETITEMW, &record, nullptr))
        return -1;
    return static_cast<int>(record.state >> 12) - 1;
}

bool RemoteTreeList::SetCheck(HTREEITEM item, bool ticked) const
{
    TVITEMW record{};
    record.mask = TVIF_HANDLE | TVIF_STATE;
    record.hItem = item;
    record.stateMask = TVIS_STATEIMAGEMASK;
    record.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    return Exchange(TVM_SETITEMW, &record, nullptr);
}

bool RemoteTreeList::Exchange(UINT message, TVITEMW* record, std::wstring* text) const
{
    if (!block_)
        return false;
    auto* base = static_cast<char*>(block_);
    if (text) {
        record->pszText = reinterpret_cast<LPWSTR>(base + kTextOffset);
        record->cchTextMax = kTextCapacity;
        const wchar_t empty = L'\0';
        ::WriteProcessMemory(process_.Get(), base + kTextOffset, &empty, sizeof(empty), nullptr);
    }
    if (!::WriteProcessMemory(process_.Get(), base, record, sizeof(*record), nullptr))
        return false;
    LRESULT result = ::SendMessageW(list_, message, 0, reinterpret_cast<LPARAM>(base));
    if (!::ReadProcessMemory(process_.Get(), base, record, sizeof(*record), nullptr))
        return false;
    if (text) {
        wchar_t buffer[kTextCapacity] = {};
        // The list may hand back a pointer to its own copy instead of filling the buffer.
        const void* source = record->pszText ? static_cast<const void*>(record->pszText) : base + kTextOffset;
        ::ReadProcessMemory(process_.Get(), source, buffer, sizeof(buffer) - sizeof(wchar_t), nullptr);
        *text = buffer;
    }
    return message == TVM_SETITEMW ? result == 0 : result != 0;
}

} // namespace e2e
