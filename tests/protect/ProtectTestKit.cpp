#include "ProtectTestKit.h"

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

WriteLock::WriteLock(const std::wstring& path)
    : handle_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

} // namespace protecttest
