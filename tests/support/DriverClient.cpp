#include "support/DriverClient.h"

#include "driver/ZdlProtocol.h"
#include "protect/ProtectDriver.h"
#include "support/DriverService.h"

#include <cstring>

namespace testkit {

namespace {

DWORD ValueAt(const std::string& bytes, size_t index)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + 4 * index, 4);
    return value;
}

} // namespace

fw::FileHandle OpenTestDevice()
{
    return fw::FileHandle(OpenProtectDevice(testkit::InstalledDriverFile()));
}

ControlResult Control(HANDLE device, DWORD code, const std::string& input, DWORD outputSize)
{
    std::string in = input;
    std::string out(outputSize, '\0');
    DWORD returned = 0;
    ControlResult result;
    result.ok = ::DeviceIoControl(device, code, in.empty() ? nullptr : &in[0], static_cast<DWORD>(in.size()),
                                  out.empty() ? nullptr : &out[0], outputSize, &returned, nullptr) != FALSE;
    result.error = result.ok ? 0 : ::GetLastError();
    if (result.ok || result.error == ERROR_MORE_DATA)
        result.output = out.substr(0, returned);
    return result;
}

bool DecodeState(const std::string& answer, DriverState* state)
{
    if (answer.size() < ZDL_STATE_HEADER_BYTES || ValueAt(answer, ZDL_STATE_NEEDED_BYTES) != answer.size())
        return false;
    *state = DriverState();
    state->protectOn = ValueAt(answer, ZDL_STATE_SWITCH);
    state->driveWord = ValueAt(answer, ZDL_STATE_DRIVE_WORD);
    size_t offset = ZDL_STATE_HEADER_BYTES;
    for (int list = 0; list < ZDL_LISTS; ++list) {
        DWORD count = ValueAt(answer, ZDL_STATE_FILE_O_COUNT + list);
        for (DWORD i = 0; i < count; ++i, offset += ZDL_PATH_BYTES) {
            if (offset + ZDL_PATH_BYTES > answer.size())
                return false;
            state->lists[list].push_back(answer.substr(offset, ZDL_PATH_BYTES));
        }
    }
    return offset == answer.size();
}

bool QueryState(HANDLE device, DriverState* state)
{
    ControlResult header = Control(device, IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES);
    if (header.output.size() != ZDL_STATE_HEADER_BYTES)
        return false;
    ControlResult whole = Control(device, IOCTL_QUERY_STATE, std::string(), ValueAt(header.output, ZDL_STATE_NEEDED_BYTES));
    return whole.ok && DecodeState(whole.output, state);
}

std::string Padded(const std::string& path)
{
    std::string padded = path;
    padded.resize(ZDL_PATH_BYTES, '\0');
    return padded;
}

std::string Record(const std::string& path, WORD remove)
{
    std::string record = Padded(path);
    record += static_cast<char>(remove & 0xFF);
    record += static_cast<char>(remove >> 8);
    return record;
}

int CheckAccess(HANDLE device, DWORD operation, const std::string& path)
{
    std::string input(reinterpret_cast<const char*>(&operation), 4);
    input += Padded(path);
    ControlResult result = Control(device, IOCTL_CHECK_ACCESS, input, 4);
    if (!result.ok || result.output.size() != 4)
        return -1;
    return static_cast<int>(ValueAt(result.output, 0));
}

std::string Ansi(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(size, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &ansi[0], size, nullptr, nullptr);
    return ansi;
}

} // namespace testkit
