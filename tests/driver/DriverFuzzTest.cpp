#include "support/DriverClient.h"
#include "driver/ZdlHost.h"
#include "driver/ZdlPathList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using testkit::ControlResult;

const DWORD kProtectCodes[ZDL_LISTS] = {IOCTL_FILE_PROTECT_O,   IOCTL_FILE_PROTECT_W,   IOCTL_FILE_PROTECT_I,
                                        IOCTL_FOLDER_PROTECT_O, IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I};
const DWORD kClearCodes[ZDL_LISTS] = {IOCTL_FILE_CLEAR_O,   IOCTL_FILE_CLEAR_W,   IOCTL_FILE_CLEAR_I,
                                      IOCTL_FOLDER_CLEAR_O, IOCTL_FOLDER_CLEAR_W, IOCTL_FOLDER_CLEAR_I};

DWORD U32(const std::string& bytes, size_t offset)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

std::string U32Bytes(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), 4);
}

int ListOf(const DWORD (&codes)[ZDL_LISTS], DWORD code)
{
    for (int list = 0; list < ZDL_LISTS; ++list) {
        if (codes[list] == code)
            return list;
    }
    return -1;
}

// What the driver should answer, worked out from the protocol alone: the
// record rules, the drive-word rule, and lists in which letter case and
// trailing backslashes make no difference.
struct Expected {
    bool ok;
    DWORD error;
    std::string output; // checked unless the answer is an access check
};

class DriverModel {
public:
    void Seed(const testkit::DriverState& state)
    {
        protectOn_ = state.protectOn;
        driveWord_ = state.driveWord;
        for (int list = 0; list < ZDL_LISTS; ++list) {
            lists_[list].clear();
            for (const std::string& entry : state.lists[list])
                lists_[list][Key(entry.c_str())] = entry;
        }
    }

    Expected Apply(DWORD code, const std::string& in, DWORD outSize)
    {
        if (code == IOCTL_SET_FIXED_DRIVES)
            return SetWord(in, outSize);
        if (code == IOCTL_SET_PROTECT_SWITCH) {
            if (in.size() != 1 || outSize != 0 || static_cast<BYTE>(in[0]) > 1)
                return Refused();
            protectOn_ = static_cast<BYTE>(in[0]);
            return Done(std::string());
        }
        if (code == IOCTL_QUERY_STATE)
            return Query(in, outSize);
        if (code == IOCTL_CHECK_ACCESS) {
            bool valid = in.size() == ZDL_CHECK_INPUT_BYTES && outSize >= 4 && U32(in, 0) >= ZDL_OP_READ &&
                         U32(in, 0) <= ZDL_OP_LAST && in.find('\0', 4) != std::string::npos;
            return valid ? Done(std::string()) : Refused();
        }
        int list = ListOf(kProtectCodes, code);
        if (list >= 0)
            return ChangeList(list, in, outSize);
        list = ListOf(kClearCodes, code);
        if (list >= 0) {
            if (!in.empty() || outSize != 0)
                return Refused();
            lists_[list].clear();
            return Done(std::string());
        }
        return Expected{false, ERROR_INVALID_FUNCTION, std::string()};
    }

    // The whole IOCTL_QUERY_STATE answer the driver should give.
    std::string State() const
    {
        std::string header = U32Bytes(protectOn_) + U32Bytes(driveWord_);
        std::string entries;
        for (const auto& list : lists_) {
            header += U32Bytes(static_cast<DWORD>(list.size()));
            for (const auto& entry : list)
                entries += entry.second;
        }
        return header + U32Bytes(static_cast<DWORD>(ZDL_STATE_HEADER_BYTES + entries.size())) + entries;
    }

private:
    static Expected Refused() { return Expected{false, ERROR_INVALID_PARAMETER, std::string()}; }
    static Expected Done(const std::string& output) { return Expected{true, 0, output}; }

    static std::wstring Key(const char* path)
    {
        ZdlChar folded[ZDL_PATH_BYTES];
        unsigned length = ZdlHostFoldPath(path, static_cast<unsigned>(std::strlen(path)), folded, ZDL_KEY_CAPACITY);
        std::wstring key(reinterpret_cast<const wchar_t*>(folded), length);
        while (!key.empty() && key.back() == L'\\')
            key.pop_back();
        return key;
    }

    Expected SetWord(const std::string& in, DWORD outSize)
    {
        if (in.size() != 4 || outSize != 4)
            return Refused();
        DWORD word = U32(in, 0);
        if (word != 0 && (word < ZDL_DRIVE_WORD_BASE || word - ZDL_DRIVE_WORD_BASE >= (1u << ZDL_DRIVE_LETTERS)))
            return Refused();
        driveWord_ = word;
        return Done(in);
    }

    Expected Query(const std::string& in, DWORD outSize) const
    {
        if (!in.empty())
            return Refused();
        if (outSize < ZDL_STATE_HEADER_BYTES)
            return Expected{false, ERROR_INSUFFICIENT_BUFFER, std::string()};
        std::string state = State();
        if (outSize < state.size())
            return Expected{false, ERROR_MORE_DATA, state.substr(0, ZDL_STATE_HEADER_BYTES)};
        return Done(state);
    }

    Expected ChangeList(int list, const std::string& in, DWORD outSize)
    {
        if (in.size() != ZDL_RECORD_BYTES || outSize != 0)
            return Refused();
        size_t end = in.find('\0');
        unsigned remove = static_cast<BYTE>(in[256]) | (static_cast<BYTE>(in[257]) << 8);
        if (end >= ZDL_PATH_BYTES || remove > 1)
            return Refused();
        std::wstring key = Key(in.c_str());
        if (key.empty())
            return Refused();
        if (remove)
            lists_[list].erase(key);
        else if (!lists_[list].count(key))
            lists_[list][key] = testkit::Padded(in.substr(0, end));
        return Done(std::string());
    }

    DWORD protectOn_ = 0;
    DWORD driveWord_ = 0;
    std::map<std::wstring, std::string> lists_[ZDL_LISTS];
};

// Requests shaped like the program's, and broken in the ways a faulty caller breaks them.
class RequestMaker {
public:
    explicit RequestMaker(unsigned seed) : random_(seed) {}

    std::string Bytes(size_t size)
    {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random_() & 0xFF);
        return bytes;
    }

    std::string Path()
    {
        static const char* const kPaths[] = {"C:\\Data",        "C:\\Data\\a.txt", "c:\\data\\B.TXT",
                                             "D:\\\xB2\xE2\xCA\xD4", "D:\\\xB2\xE2\xCA\xD4\\\xCE\xC4.txt",
                                             "C:\\\x81\x41",     "C:\\\x81\x61",    "E:\\",
                                             "\\\\server\\share", "C:\\Data\\a.txt\\"};
        std::string path = kPaths[Pick(sizeof(kPaths) / sizeof(kPaths[0]))];
        for (char& c : path) {
            if (c >= 'a' && c <= 'z' && Chance(3))
                c = static_cast<char>(c - 'a' + 'A');
        }
        return path;
    }

    std::string PathRecord()
    {
        std::string record = Path();
        if (Chance(20))
            record = std::string(ZDL_PATH_BYTES, 'x');
        record.resize(ZDL_PATH_BYTES, '\0');
        if (Chance(4))
            record.replace(record.find('\0') + 1, 4, Bytes(4));
        static const unsigned kBadRemoves[] = {2, 0x100, 0x101, 0xFFFF};
        unsigned remove = Chance(10) ? kBadRemoves[Pick(4)] : static_cast<unsigned>(Pick(2));
        record += static_cast<char>(remove & 0xFF);
        record += static_cast<char>(remove >> 8);
        return record;
    }

    std::string Question()
    {
        DWORD operation = Chance(10) ? static_cast<DWORD>(random_()) : static_cast<DWORD>(ZDL_OP_READ + Pick(ZDL_OP_LAST));
        std::string path = Path();
        path.resize(ZDL_PATH_BYTES, Chance(20) ? 'y' : '\0');
        return U32Bytes(operation) + path;
    }

    DWORD Word()
    {
        if (Chance(5))
            return static_cast<DWORD>(random_());
        return Chance(4) ? 0 : ZDL_DRIVE_WORD_BASE + (static_cast<DWORD>(random_()) & ((1u << ZDL_DRIVE_LETTERS) - 1));
    }

    // An input of the size the code takes, with content that is mostly valid.
    std::string WellSizedInput(DWORD code)
    {
        if (code == IOCTL_SET_FIXED_DRIVES)
            return U32Bytes(Word());
        if (code == IOCTL_SET_PROTECT_SWITCH)
            return std::string(1, static_cast<char>(Chance(8) ? random_() & 0xFF : Pick(2)));
        if (code == IOCTL_CHECK_ACCESS)
            return Question();
        if (ListOf(kProtectCodes, code) >= 0)
            return PathRecord();
        return std::string();
    }

    DWORD WellSizedOutput(DWORD code)
    {
        if (code == IOCTL_SET_FIXED_DRIVES || code == IOCTL_CHECK_ACCESS)
            return 4;
        if (code == IOCTL_QUERY_STATE)
            return Chance(2) ? 1u << 16 : static_cast<DWORD>(Pick(600));
        return 0;
    }

    DWORD Code(const std::vector<DWORD>& codes)
    {
        if (Chance(10))
            return ZDL_CONTROL_CODE(static_cast<DWORD>(Pick(0x1000)));
        if (Chance(20))
            return (ZDL_DEVICE_TYPE << 16) | static_cast<DWORD>(random_() & 0xFFFF);
        return codes[Pick(codes.size())];
    }

    size_t Pick(size_t count) { return static_cast<size_t>(random_() % count); }
    bool Chance(unsigned oneIn) { return random_() % oneIn == 0; }

private:
    std::mt19937 random_;
};

std::vector<DWORD> DriverCodes()
{
    std::vector<DWORD> codes = {IOCTL_SET_FIXED_DRIVES, IOCTL_SET_PROTECT_SWITCH, IOCTL_QUERY_STATE,
                                IOCTL_CHECK_ACCESS};
    codes.insert(codes.end(), std::begin(kProtectCodes), std::end(kProtectCodes));
    codes.insert(codes.end(), std::begin(kClearCodes), std::end(kClearCodes));
    return codes;
}

// Sends one request and compares the answer with the model's; returns a
// description of the difference, empty when there is none.
std::string SendAndCompare(HANDLE device, DriverModel& model, DWORD code, const std::string& in, DWORD outSize)
{
    Expected expected = model.Apply(code, in, outSize);
    ControlResult actual = testkit::Control(device, code, in, outSize);
    bool same = actual.ok == expected.ok && actual.error == expected.error;
    if (same && code == IOCTL_CHECK_ACCESS && actual.ok)
        same = actual.output.size() == 4 && U32(actual.output, 0) <= 1;
    else if (same)
        same = actual.output == expected.output;
    if (same)
        return std::string();
    char description[160];
    std::snprintf(description, sizeof(description),
                  "code %08lx in %u out %lu: driver ok=%d error=%lu (%u bytes), model ok=%d error=%lu (%u bytes)",
                  code, static_cast<unsigned>(in.size()), outSize, actual.ok, actual.error,
                  static_cast<unsigned>(actual.output.size()), expected.ok, expected.error,
                  static_cast<unsigned>(expected.output.size()));
    return description;
}

class DriverFuzz : public testing::Test {
protected:
    void SetUp() override
    {
        device_ = testkit::OpenTestDevice();
        ASSERT_TRUE(device_.Valid());
        testkit::DriverState state;
        ASSERT_TRUE(testkit::QueryState(device_.Get(), &state));
        model_.Seed(state);
    }
    void Send(DWORD code, const std::string& in, DWORD outSize)
    {
        ++sent_;
        std::string difference = SendAndCompare(device_.Get(), model_, code, in, outSize);
        if (!difference.empty() && ++differences_ <= 10)
            ADD_FAILURE() << difference;
    }
    void ExpectStateAsModelled()
    {
        testkit::ControlResult state = testkit::Control(device_.Get(), IOCTL_QUERY_STATE, std::string(), 1u << 20);
        ASSERT_TRUE(state.ok) << state.error;
        EXPECT_EQ(model_.State(), state.output);
    }

    fw::FileHandle device_;
    DriverModel model_;
    RequestMaker maker_{20240611u};
    unsigned sent_ = 0;
    unsigned differences_ = 0;
};

TEST_F(DriverFuzz, EveryLengthFromZeroTo300ForEveryCodeIsAnsweredAsTheProtocolSays)
{
    std::vector<DWORD> codes = DriverCodes();
    for (DWORD unknown : {ZDL_CONTROL_CODE(0x84Eu), ZDL_CONTROL_CODE(0x85Eu), ZDL_CONTROL_CODE(0x862u),
                          IOCTL_FILE_PROTECT_O | 1u, IOCTL_FILE_PROTECT_O | 3u, IOCTL_QUERY_STATE | 2u})
        codes.push_back(unknown);
    for (DWORD code : codes) {
        for (DWORD length = 0; length <= 300; ++length) {
            Send(code, maker_.Bytes(length), static_cast<DWORD>(maker_.Pick(301)));
            Send(code, maker_.WellSizedInput(code), length);
            std::string in = maker_.WellSizedInput(code);
            in.resize(length, '\0');
            Send(code, in, maker_.WellSizedOutput(code));
        }
    }
    ExpectStateAsModelled();
    EXPECT_EQ(0u, differences_) << "of " << sent_ << " requests";
}

TEST_F(DriverFuzz, RandomRequestsLeaveTheStateTheModelPredicts)
{
    std::vector<DWORD> codes = DriverCodes();
    for (int i = 0; i < 30000; ++i) {
        DWORD code = maker_.Code(codes);
        if (maker_.Chance(4))
            Send(code, maker_.Bytes(maker_.Pick(400)), static_cast<DWORD>(maker_.Pick(400)));
        else
            Send(code, maker_.WellSizedInput(code), maker_.WellSizedOutput(code));
    }
    ExpectStateAsModelled();
    EXPECT_EQ(0u, differences_) << "of " << sent_ << " requests";
}

// Two processes' worth of traffic at once, each on its own kind of list: the
// answers of each stay those of its own model.
TEST_F(DriverFuzz, ConcurrentCallersOnSeparateListsEachSeeTheirOwnModel)
{
    std::atomic<unsigned> differences{0};
    auto hammer = [&differences](int firstList, unsigned seed) {
        fw::FileHandle device = testkit::OpenTestDevice();
        if (!device.Valid()) {
            ++differences;
            return;
        }
        DriverModel model;
        testkit::DriverState state;
        testkit::QueryState(device.Get(), &state);
        model.Seed(state);
        RequestMaker maker(seed);
        for (int i = 0; i < 4000; ++i) {
            int list = firstList + static_cast<int>(maker.Pick(3));
            DWORD code = maker.Chance(50) ? kClearCodes[list] : kProtectCodes[list];
            if (!SendAndCompare(device.Get(), model, code, maker.WellSizedInput(code), 0).empty())
                ++differences;
        }
    };
    std::thread files(hammer, ZDL_FILE_O, 1u);
    std::thread folders(hammer, ZDL_FOLDER_O, 2u);
    files.join();
    folders.join();
    EXPECT_EQ(0u, differences.load());

    testkit::DriverState state;
    ASSERT_TRUE(testkit::QueryState(device_.Get(), &state));
    model_.Seed(state);
    ExpectStateAsModelled();
}

// Callers that share one list: three add and remove paths of their own while
// a fourth reads the state. Every answer is a success, every state read is
// whole (counts match the entries, each entry one of the callers' paths), and
// the list ends holding exactly what each caller left in it.
TEST_F(DriverFuzz, ConcurrentCallersOnTheSameListLoseNothingAndReadWholeStates)
{
    const int list = ZDL_FILE_W;
    const int kWriters = 3;
    const int kPathsEach = 40;
    Send(kClearCodes[list], std::string(), 0);
    std::vector<std::string> paths[kWriters];
    std::vector<bool> held[kWriters];
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int n = 0; n < kPathsEach; ++n)
            paths[writer].push_back("C:\\Caller" + std::to_string(writer) + "\\file" + std::to_string(n) + ".txt");
        held[writer].assign(kPathsEach, false);
    }
    std::atomic<unsigned> failures{0};
    std::atomic<int> writing{kWriters};
    auto writer = [&](int index) {
        fw::FileHandle device = testkit::OpenTestDevice();
        RequestMaker maker(100u + static_cast<unsigned>(index));
        for (int i = 0; device.Valid() && i < 3000; ++i) {
            size_t n = maker.Pick(kPathsEach);
            bool remove = held[index][n];
            if (!testkit::Control(device.Get(), kProtectCodes[list], testkit::Record(paths[index][n], remove), 0).ok)
                ++failures;
            held[index][n] = !remove;
        }
        if (!device.Valid())
            ++failures;
        --writing;
    };
    auto reader = [&] {
        fw::FileHandle device = testkit::OpenTestDevice();
        // One request with room for everything: a state read in two steps
        // could see the list change between them.
        while (device.Valid() && writing.load() > 0) {
            ControlResult answer = testkit::Control(device.Get(), IOCTL_QUERY_STATE, std::string(), 1u << 16);
            testkit::DriverState state;
            if (!answer.ok || !testkit::DecodeState(answer.output, &state)) {
                ++failures;
                continue;
            }
            for (const std::string& entry : state.lists[list]) {
                bool known = false;
                for (const auto& own : paths)
                    for (const std::string& path : own)
                        known = known || entry == testkit::Padded(path);
                if (!known)
                    ++failures;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int index = 0; index < kWriters; ++index)
        threads.emplace_back(writer, index);
    threads.emplace_back(reader);
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(0u, failures.load());

    for (int index = 0; index < kWriters; ++index)
        for (int n = 0; n < kPathsEach; ++n)
            if (held[index][n])
                model_.Apply(kProtectCodes[list], testkit::Record(paths[index][n], 0), 0);
    ExpectStateAsModelled();
    Send(kClearCodes[list], std::string(), 0);
}

} // namespace
