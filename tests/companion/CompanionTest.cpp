#include "companion/ZendalCommon.h"
#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string FullAnsi(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(size, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], size, nullptr, nullptr);
    ansi.resize(size - 1);
    return ansi;
}

std::wstring Wide(const std::string& ansi)
{
    int size = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.c_str(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.c_str(), static_cast<int>(ansi.size()), &wide[0], size);
    return wide;
}

// Converts into a buffer with guard bytes behind the capacity; returns the
// text written and checks that nothing past the capacity was touched.
std::string Convert(const std::wstring& text, int capacity, int* result)
{
    std::vector<char> buffer(capacity + 16, '\x7F');
    *result = ZendalUnicodeToAnsi(buffer.data(), text.c_str(), capacity);
    for (size_t i = capacity; i < buffer.size(); ++i)
        EXPECT_EQ('\x7F', buffer[i]) << "byte " << i << " written with capacity " << capacity;
    size_t length = std::find(buffer.begin(), buffer.begin() + capacity, '\0') - buffer.begin();
    EXPECT_LT(length, static_cast<size_t>(capacity)) << "not terminated within the capacity";
    return std::string(buffer.data(), length);
}

TEST(CompanionLibrary, ExportsItsFunctionsUndecorated)
{
    fw::Module library(::LoadLibraryW(L"ZendalCommon.dll"));
    ASSERT_TRUE(library.Valid());
    for (const char* name : {"ZendalUnicodeToAnsi", "ZendalRegQueryValueDword", "ZendalRegSetValueDword",
                             "ZendalRegDeleteValue"})
        EXPECT_NE(nullptr, reinterpret_cast<void*>(::GetProcAddress(library.Get(), name))) << name;
    EXPECT_EQ(nullptr, reinterpret_cast<void*>(::GetProcAddress(library.Get(), "ZendalUnicodeToAnsi@12")));
}

TEST(UnicodeToAnsi, ConvertsIntoCodePage936)
{
    ASSERT_EQ(936u, ::GetACP());
    int result = 0;
    EXPECT_EQ("C:\\\xB2\xE2\xCA\xD4\\\xCE\xC4\xBC\xFE.txt", Convert(L"C:\\测试\\文件.txt", 256, &result));
    EXPECT_EQ(17, result) << "bytes needed with the terminator";
    EXPECT_EQ("", Convert(L"", 256, &result));
    EXPECT_EQ(1, result);
}

TEST(UnicodeToAnsi, CutsALongPathBetweenCharactersWithinTheCapacity)
{
    // "C:\a" puts every double-byte character on an even offset, so the one
    // that would take bytes 254 and 255 does not fit beside the terminator.
    std::wstring path = L"C:\\a";
    while (path.size() < 300)
        path += L"保护文件夹\\";
    path.resize(300);
    const std::string full = FullAnsi(path);
    ASSERT_GT(full.size(), 256u);

    int result = 0;
    std::string cut = Convert(path, 256, &result);
    EXPECT_EQ(static_cast<int>(full.size() + 1), result);
    EXPECT_EQ(254u, cut.size());
    EXPECT_EQ(full.substr(0, cut.size()), cut);
    std::wstring back = Wide(cut);
    EXPECT_EQ(path.substr(0, back.size()), back) << "the cut falls inside a character";
}

TEST(UnicodeToAnsi, EveryCapacityGivesWholeCharactersOnlyAndATerminator)
{
    const std::wstring text = L"ab文件c夹d";
    const std::string full = FullAnsi(text);
    for (int capacity = 1; capacity <= static_cast<int>(full.size()) + 2; ++capacity) {
        int result = 0;
        std::string cut = Convert(text, capacity, &result);
        EXPECT_EQ(static_cast<int>(full.size() + 1), result);
        EXPECT_EQ(full.substr(0, cut.size()), cut) << capacity;
        std::wstring back = Wide(cut);
        EXPECT_EQ(text.substr(0, back.size()), back) << capacity;
        // A character is left out only when it does not fit.
        if (back.size() < text.size()) {
            size_t nextCharacterBytes = FullAnsi(text.substr(back.size(), 1)).size();
            EXPECT_GT(cut.size() + nextCharacterBytes + 1, static_cast<size_t>(capacity)) << capacity;
        }
    }
    const std::string exact = FullAnsi(text);
    int result = 0;
    EXPECT_EQ(exact, Convert(text, static_cast<int>(exact.size() + 1), &result));
}

TEST(UnicodeToAnsi, WritesNothingWithoutRoom)
{
    char byte = 'x';
    EXPECT_EQ(3, ZendalUnicodeToAnsi(&byte, L"ab", 0));
    EXPECT_EQ('x', byte);
    EXPECT_EQ(3, ZendalUnicodeToAnsi(nullptr, L"ab", 16));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(1, ZendalUnicodeToAnsi(buffer, nullptr, 4));
    EXPECT_EQ('\0', buffer[0]);
}

// A key of this test process under the current user, removed with everything below it.
class RegistryKey : public testing::Test {
protected:
    void SetUp() override
    {
        key_ = L"Software\\ZendalCommonTest" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

    bool ValueExists(const std::wstring& key, const wchar_t* name)
    {
        return ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }
    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name, type, data, size));
    }

    std::wstring key_;
};

TEST_F(RegistryKey, SetCreatesTheKeyAndQueryReadsTheValueBack)
{
    const std::wstring nested = key_ + L"\\Policies\\Explorer";
    EXPECT_EQ(1, ZendalRegSetValueDword(HKEY_CURRENT_USER, nested.c_str(), L"NoDrives", 0x0C));
    DWORD value = 0;
    EXPECT_EQ(1, ZendalRegQueryValueDword(HKEY_CURRENT_USER, nested.c_str(), L"NoDrives", &value));
    EXPECT_EQ(0x0Cu, value);

    EXPECT_EQ(1, ZendalRegSetValueDword(HKEY_CURRENT_USER, nested.c_str(), L"NoDrives", 0));
    value = 7;
    EXPECT_EQ(1, ZendalRegQueryValueDword(HKEY_CURRENT_USER, nested.c_str(), L"NoDrives", &value));
    EXPECT_EQ(0u, value) << "a stored 0 is a present value";
}

TEST_F(RegistryKey, QueryOfAMissingOrNon32BitValueAnswersZeroAndStoresZero)
{
    DWORD value = 1234;
    EXPECT_EQ(0, ZendalRegQueryValueDword(HKEY_CURRENT_USER, key_.c_str(), L"NoViewOnDrive", &value));
    EXPECT_EQ(0u, value) << "no key";

    WriteRaw(L"Other", REG_DWORD, "\1\0\0\0", 4);
    value = 1234;
    EXPECT_EQ(0, ZendalRegQueryValueDword(HKEY_CURRENT_USER, key_.c_str(), L"NoViewOnDrive", &value));
    EXPECT_EQ(0u, value) << "no value";

    WriteRaw(L"Text", REG_SZ, L"1", 4);
    WriteRaw(L"Binary", REG_BINARY, "\1\0\0\0", 4);
    WriteRaw(L"Wide", REG_QWORD, "\1\0\0\0\0\0\0\0", 8);
    for (const wchar_t* name : {L"Text", L"Binary", L"Wide"}) {
        value = 1234;
        EXPECT_EQ(0, ZendalRegQueryValueDword(HKEY_CURRENT_USER, key_.c_str(), name, &value));
        EXPECT_EQ(0u, value);
    }
    EXPECT_EQ(0, ZendalRegQueryValueDword(HKEY_CURRENT_USER, key_.c_str(), L"Other", nullptr));
}

TEST_F(RegistryKey, DeleteSucceedsWhenTheValueIsGoneAfterwards)
{
    ASSERT_EQ(1, ZendalRegSetValueDword(HKEY_CURRENT_USER, key_.c_str(), L"NoViewOnDrive", 8));
    ASSERT_EQ(1, ZendalRegSetValueDword(HKEY_CURRENT_USER, key_.c_str(), L"NoDrives", 8));
    EXPECT_EQ(1, ZendalRegDeleteValue(HKEY_CURRENT_USER, key_.c_str(), L"NoViewOnDrive"));
    EXPECT_FALSE(ValueExists(key_, L"NoViewOnDrive"));
    EXPECT_TRUE(ValueExists(key_, L"NoDrives"));
    EXPECT_EQ(1, ZendalRegDeleteValue(HKEY_CURRENT_USER, key_.c_str(), L"NoViewOnDrive")) << "already absent";
    EXPECT_EQ(1, ZendalRegDeleteValue(HKEY_CURRENT_USER, (key_ + L"\\Missing").c_str(), L"NoDrives")) << "no key";
}

TEST_F(RegistryKey, FailuresAnswerZero)
{
    HKEY invalid = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    DWORD value = 5;
    EXPECT_EQ(0, ZendalRegSetValueDword(invalid, L"Key", L"Name", 1));
    EXPECT_EQ(0, ZendalRegDeleteValue(invalid, L"Key", L"Name"));
    EXPECT_EQ(0, ZendalRegQueryValueDword(invalid, L"Key", L"Name", &value));
    EXPECT_EQ(0u, value);
}

} // namespace
