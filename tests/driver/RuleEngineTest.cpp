#include "support/DriverClient.h"
#include "EngineHost.h"
#include "driver/ZdlEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const unsigned kAllDrivesWord = ZDL_DRIVE_WORD_BASE + (1u << ZDL_DRIVE_LETTERS) - 1;
const unsigned kDriveC = 1u << 2;

// One engine, as the driver holds it, driven through its control interface.
class Engine {
public:
    Engine() { ZdlEngineInit(&engine_); }
    ~Engine() { ZdlEngineRelease(&engine_); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    ZdlStatus Control(unsigned long code, const std::string& input, unsigned long outBytes,
                      std::string* output = nullptr)
    {
        std::string buffer = input;
        buffer.resize(std::max<size_t>(input.size(), outBytes));
        unsigned long written = 0;
        ZdlStatus status = ZdlEngineControl(&engine_, code, buffer.empty() ? nullptr : &buffer[0],
                                            static_cast<unsigned long>(input.size()), outBytes, &written);
        EXPECT_LE(written, outBytes);
        if (output)
            *output = buffer.substr(0, written);
        return status;
    }
    ZdlStatus Add(unsigned long code, const std::string& path) { return Control(code, testkit::Record(path, 0), 0); }
    ZdlStatus Remove(unsigned long code, const std::string& path) { return Control(code, testkit::Record(path, 1), 0); }
    void SwitchOn(bool on) { ASSERT_EQ(ZDL_STATUS_SUCCESS, Control(IOCTL_SET_PROTECT_SWITCH, std::string(1, on ? 1 : 0), 0)); }
    void SetWord(unsigned word)
    {
        ASSERT_EQ(ZDL_STATUS_SUCCESS, Control(IOCTL_SET_FIXED_DRIVES, std::string(reinterpret_cast<char*>(&word), 4), 4));
    }
    int Denies(unsigned operation, const std::string& path) const
    {
        return ZdlEngineDenies(&engine_, operation, path.c_str());
    }
    unsigned Count(int list) const { return engine_.lists[list].count; }
    ZdlMemory& Memory() { return engine_.memory; }
    std::string Entry(int list, unsigned index) const
    {
        const ZdlEntry* entry = engine_.lists[list].entries[index];
        std::string path(ZdlEntryPath(entry), entry->pathBytes);
        path.resize(ZDL_PATH_BYTES);
        return path;
    }
    // Everything IOCTL_QUERY_STATE answers, to show that a refused request changed nothing.
    std::string Snapshot()
    {
        std::string header;
        Control(IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES, &header);
        unsigned needed = 0;
        std::memcpy(&needed, header.data() + 4 * ZDL_STATE_NEEDED_BYTES, 4);
        std::string whole;
        EXPECT_EQ(ZDL_STATUS_SUCCESS, Control(IOCTL_QUERY_STATE, std::string(), needed, &whole));
        return whole;
    }

private:
    ZdlEngine engine_;
};

const unsigned long kProtectCodes[ZDL_LISTS] = {IOCTL_FILE_PROTECT_O,   IOCTL_FILE_PROTECT_W,   IOCTL_FILE_PROTECT_I,
                                                IOCTL_FOLDER_PROTECT_O, IOCTL_FOLDER_PROTECT_W, IOCTL_FOLDER_PROTECT_I};

// Answers for the operations 1..8 in order: read, modify, delete, rename,
// copy, list, create, link; '1' = denied.
struct RuleCase {
    int list;
    const char* path;
    const char* denied;
};

// The listed entry is always "C:\Data\Box"; each row asks about one path.
const RuleCase kRuleCases[] = {
    {ZDL_FILE_O, "C:\\Data\\Box", "11111111"},
    {ZDL_FILE_O, "c:\\data\\bOX", "11111111"},
    {ZDL_FILE_O, "C:\\Data\\Box\\inner.txt", "00000000"},
    {ZDL_FILE_O, "C:\\Data", "00110000"},
    {ZDL_FILE_O, "C:\\Data\\Boxes", "00000000"},
    {ZDL_FILE_O, "D:\\Data\\Box", "00000000"},
    {ZDL_FILE_W, "C:\\Data\\Box", "01110001"},
    {ZDL_FILE_W, "C:\\DATA\\BOX", "01110001"},
    {ZDL_FILE_W, "C:\\Data\\Box.txt", "00000000"},
    {ZDL_FILE_W, "c:\\", "00110000"},
    {ZDL_FILE_I, "C:\\Data\\Box", "00110001"},
    {ZDL_FILE_I, "C:\\Data\\box", "00110001"},
    {ZDL_FILE_I, "C:\\Data\\Bo", "00000000"},
    {ZDL_FILE_I, "C:\\data\\", "00110000"},
    {ZDL_FOLDER_O, "C:\\Data\\Box", "11111111"},
    {ZDL_FOLDER_O, "C:\\Data\\Box\\", "11111111"},
    {ZDL_FOLDER_O, "c:\\data\\box\\a.txt", "11111111"},
    {ZDL_FOLDER_O, "C:\\Data\\Box\\Sub\\b.txt", "11111111"},
    {ZDL_FOLDER_O, "C:\\Data", "00110000"},
    {ZDL_FOLDER_O, "C:\\Data\\Boxes\\a.txt", "00000000"},
    {ZDL_FOLDER_O, "C:\\Data\\Box.txt", "00000000"},
    {ZDL_FOLDER_W, "C:\\Data\\Box", "01110001"},
    {ZDL_FOLDER_W, "C:\\Data\\Box\\a.txt", "01110011"},
    {ZDL_FOLDER_W, "C:\\DATA\\BOX\\SUB\\B.TXT", "01110011"},
    {ZDL_FOLDER_W, "C:\\Data\\Boxes\\a.txt", "00000000"},
    {ZDL_FOLDER_W, "C:\\Data", "00110000"},
    {ZDL_FOLDER_I, "C:\\Data\\Box", "00110001"},
    {ZDL_FOLDER_I, "c:\\data\\box\\", "00110001"},
    {ZDL_FOLDER_I, "C:\\Data\\Box\\a.txt", "00000000"},
    {ZDL_FOLDER_I, "C:\\Data\\BoxB", "00000000"},
    {ZDL_FOLDER_I, "C:\\Data", "00110000"},
};

TEST(RuleEngine, EachModeDeniesExactlyItsOperationsOnTheListedPathAndBelowIt)
{
    for (const RuleCase& rule : kRuleCases) {
        Engine engine;
        engine.SwitchOn(true);
        engine.SetWord(ZDL_DRIVE_WORD_BASE + kDriveC + (1u << 3));
        ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(kProtectCodes[rule.list], "C:\\Data\\Box"));
        std::string denied;
        for (unsigned op = ZDL_OP_READ; op <= ZDL_OP_LAST; ++op)
            denied += engine.Denies(op, rule.path) ? '1' : '0';
        EXPECT_EQ(rule.denied, denied) << "list " << rule.list << ", path " << rule.path;
    }
}

// Names that sort between a folder and its contents ("A B", "A1" come before
// "A\\x") must not hide what lies below the folder.
TEST(RuleEngine, AFolderAboveAProtectedPathIsFoundPastNamesThatSortBetween)
{
    Engine engine;
    engine.SwitchOn(true);
    engine.SetWord(kAllDrivesWord);
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, "C:\\A B"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, "C:\\A1"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, "C:\\A"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_RENAME, "C:\\A")) << "listed itself";
    EXPECT_EQ(0, engine.Denies(ZDL_OP_RENAME, "C:\\A\\x"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Remove(IOCTL_FILE_PROTECT_I, "C:\\A"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_DELETE, "C:\\A")) << "nothing below C:\\A";
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_W, "C:\\A\\x\\y"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_DELETE, "C:\\A"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_RENAME, "c:\\a\\X"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_MODIFY, "C:\\A\\x"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_DELETE, "C:\\A\\x\\y2"));
}

TEST(RuleEngine, NothingIsDeniedWhileSwitchedOffWithoutDrivesOrOnADriveOutsideTheMask)
{
    Engine engine;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, "C:\\Data"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, "D:\\Data"));
    engine.SetWord(ZDL_DRIVE_WORD_BASE + kDriveC);
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "C:\\Data\\a.txt")) << "switch off";

    engine.SwitchOn(true);
    EXPECT_EQ(1, engine.Denies(ZDL_OP_READ, "C:\\Data\\a.txt"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_READ, "c:\\Data\\a.txt"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "D:\\Data\\a.txt")) << "D: is not in the mask";

    engine.SetWord(ZDL_DRIVE_WORD_BASE);
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "C:\\Data\\a.txt")) << "no fixed drive at all";
    engine.SetWord(0);
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "C:\\Data\\a.txt")) << "drive word 0";

    // Switching on again enforces the same lists without resending them.
    engine.SetWord(ZDL_DRIVE_WORD_BASE + kDriveC);
    EXPECT_EQ(1, engine.Denies(ZDL_OP_DELETE, "C:\\Data"));
}

TEST(RuleEngine, PathsWithoutADriveLetterAreNeverDeniedAndARootFolderCoversItsDrive)
{
    Engine engine;
    engine.SwitchOn(true);
    engine.SetWord(kAllDrivesWord);
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "\\\\server\\share\\a.txt"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "relative\\a.txt"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "\\\\server\\share\\a.txt"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "relative\\a.txt"));

    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_W, "E:\\"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_MODIFY, "E:\\a.txt"));
    EXPECT_EQ(1, engine.Denies(ZDL_OP_CREATE, "e:\\Sub\\new.txt"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_READ, "E:\\a.txt"));
    EXPECT_EQ(0, engine.Denies(ZDL_OP_MODIFY, "F:\\a.txt"));
}

TEST(RuleEngine, AddingAListedPathOrRemovingAnUnlistedOneChangesNothing)
{
    Engine engine;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_W, "C:\\Data\\a.txt"));
    std::string before = engine.Snapshot();
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_W, "c:\\DATA\\A.TXT"));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_W, "C:\\Data\\a.txt\\"));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Remove(IOCTL_FILE_PROTECT_W, "C:\\Data\\b.txt"));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Remove(IOCTL_FILE_PROTECT_I, "C:\\Data\\a.txt"));
    EXPECT_EQ(before, engine.Snapshot());

    // A remove in other letter case takes the entry as first stored.
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Remove(IOCTL_FILE_PROTECT_W, "C:\\DATA\\a.TXT"));
    EXPECT_EQ(0u, engine.Count(ZDL_FILE_W));
}

TEST(RuleEngine, DoubleByteCharactersAreComparedWholeNotByteByByte)
{
    // The second bytes 0x41 'A' and 0x61 'a' belong to two different GBK
    // characters: folding them as letters would merge two paths.
    const std::string upper = "C:\\\x81\x41.txt";
    const std::string lower = "C:\\\x81\x61.txt";
    ASSERT_NE(testkit::Ansi(L"C:\\x"), std::string()) << "no ANSI code page";
    Engine engine;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, upper));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, lower));
    EXPECT_EQ(2u, engine.Count(ZDL_FILE_O));

    // A trailing byte 0x5C is not a backslash either.
    const std::string endsIn5C = "C:\\\x81\x5C";
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, endsIn5C));
    EXPECT_EQ(1u, engine.Count(ZDL_FOLDER_O));
    EXPECT_EQ(testkit::Padded(endsIn5C), engine.Entry(ZDL_FOLDER_O, 0));
}

// Lengths, terminators and remove values are swept by the driver fuzz test;
// these are the records that are well formed and still name no path.
TEST(RuleEngine, RecordsWithoutAPathAreRefusedWithoutAnyChange)
{
    Engine engine;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_I, "C:\\Kept"));
    std::string before = engine.Snapshot();
    for (unsigned long code : kProtectCodes) {
        EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Add(code, ""));
        EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Add(code, "\\\\"));
        EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Remove(code, ""));
    }
    unsigned long written = 99;
    EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, ZdlEngineControl(nullptr, IOCTL_FILE_PROTECT_O, nullptr, 258, 0, &written));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(before, engine.Snapshot());
}

TEST(RuleEngine, TheDriveWordIsZeroOrSixtyFivePlusAMaskOfTwentySixDrives)
{
    Engine engine;
    for (unsigned word : {0u, 65u, 65u + 4u, kAllDrivesWord}) {
        std::string echo;
        EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Control(IOCTL_SET_FIXED_DRIVES, std::string(reinterpret_cast<char*>(&word), 4), 4, &echo));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(&word), 4), echo);
    }
    engine.SetWord(77);
    std::string before = engine.Snapshot();
    for (unsigned word : {1u, 64u, kAllDrivesWord + 1, 0xFFFFFFFFu}) {
        EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Control(IOCTL_SET_FIXED_DRIVES, std::string(reinterpret_cast<char*>(&word), 4), 4)) << word;
    }
    unsigned word = 77;
    std::string bytes(reinterpret_cast<char*>(&word), 4);
    EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Control(IOCTL_SET_FIXED_DRIVES, bytes, 0));
    EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Control(IOCTL_SET_FIXED_DRIVES, bytes.substr(0, 3), 4));
    EXPECT_EQ(before, engine.Snapshot());
}

TEST(RuleEngine, QueryStateAnswersTheHeaderAloneWhenTheEntriesDoNotFit)
{
    Engine engine;
    engine.SwitchOn(true);
    engine.SetWord(77);
    // Bytes behind the terminator are not kept: entries come back NUL-padded.
    std::string record = testkit::Record("C:\\f", 0);
    record[10] = 'z';
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Control(IOCTL_FOLDER_PROTECT_W, record, 0));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "C:\\b"));
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "C:\\a"));

    const unsigned needed = ZDL_STATE_HEADER_BYTES + 3 * ZDL_PATH_BYTES;
    const unsigned header[ZDL_STATE_VALUES] = {1, 77, 2, 0, 0, 0, 1, 0, needed};
    const std::string expectedHeader(reinterpret_cast<const char*>(header), sizeof(header));

    std::string output = "untouched";
    EXPECT_EQ(ZDL_STATUS_BUFFER_TOO_SMALL, engine.Control(IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES - 1, &output));
    EXPECT_EQ("", output);
    EXPECT_EQ(ZDL_STATUS_BUFFER_OVERFLOW, engine.Control(IOCTL_QUERY_STATE, std::string(), ZDL_STATE_HEADER_BYTES, &output));
    EXPECT_EQ(expectedHeader, output);
    EXPECT_EQ(ZDL_STATUS_BUFFER_OVERFLOW, engine.Control(IOCTL_QUERY_STATE, std::string(), needed - 1, &output));
    EXPECT_EQ(expectedHeader, output);
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Control(IOCTL_QUERY_STATE, std::string(), needed + 100, &output));
    EXPECT_EQ(expectedHeader + testkit::Padded("C:\\a") + testkit::Padded("C:\\b") + testkit::Padded("C:\\f"),
              output);
    EXPECT_EQ(ZDL_STATUS_INVALID_PARAMETER, engine.Control(IOCTL_QUERY_STATE, "x", needed));
}

TEST(RuleEngine, AFullListRefusesNewPathsButStillAcceptsKnownOnesAndRemovals)
{
    Engine engine;
    char path[32];
    for (unsigned i = 0; i < ZDL_LIST_LIMIT; ++i) {
        std::snprintf(path, sizeof(path), "C:\\f%05u", i);
        ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, path)) << i;
    }
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, engine.Add(IOCTL_FILE_PROTECT_I, "C:\\one more"));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, "c:\\F00007"));
    EXPECT_EQ(ZDL_LIST_LIMIT, engine.Count(ZDL_FILE_I));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_W, "C:\\one more")) << "the other lists have room";

    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Remove(IOCTL_FILE_PROTECT_I, "C:\\f00007"));
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_I, "C:\\one more"));
    EXPECT_EQ(ZDL_LIST_LIMIT, engine.Count(ZDL_FILE_I));
}

TEST(RuleEngine, RunningOutOfMemoryRefusesTheAddAndKeepsTheList)
{
    Engine engine;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, "C:\\first"));
    std::string before = engine.Snapshot();

    enginehost::FailAllocationsAfter(0);
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, engine.Add(IOCTL_FOLDER_PROTECT_O, "C:\\second"));
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, engine.Add(IOCTL_FILE_PROTECT_O, "C:\\second"));
    enginehost::FailAllocationsAfter(-1);
    EXPECT_EQ(before, engine.Snapshot());

    // The list's storage grows when its 16 first places are used: fail there.
    char path[32];
    for (unsigned i = 1; i < 16; ++i) {
        std::snprintf(path, sizeof(path), "C:\\n%02u", i);
        ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, path));
    }
    before = engine.Snapshot();
    enginehost::FailAllocationsAfter(0);
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, engine.Add(IOCTL_FOLDER_PROTECT_O, "C:\\n16"));
    enginehost::FailAllocationsAfter(-1);
    EXPECT_EQ(before, engine.Snapshot());
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_O, "C:\\n16"));
    EXPECT_EQ(17u, engine.Count(ZDL_FOLDER_O));
}

TEST(RuleEngine, EntriesAreSizedToTheirPathAndTheMemoryLimitRefusesAddsBeyondIt)
{
    Engine engine;
    EXPECT_EQ(ZDL_MEMORY_LIMIT, engine.Memory().limit);
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "C:\\a"));
    size_t firstEntry = engine.Memory().used;
    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FILE_PROTECT_O, "C:\\b"));
    EXPECT_LT(engine.Memory().used - firstEntry, 32u) << "a 4-byte path costs far less than a full record";

    engine.Memory().limit = engine.Memory().used + 200;
    char path[32];
    unsigned added = 0;
    ZdlStatus status = ZDL_STATUS_SUCCESS;
    while (status == ZDL_STATUS_SUCCESS && added < 100) {
        std::snprintf(path, sizeof(path), "C:\\limit%03u", added);
        status = engine.Add(IOCTL_FILE_PROTECT_O, path);
        if (status == ZDL_STATUS_SUCCESS)
            ++added;
    }
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, status);
    EXPECT_GT(added, 3u);
    EXPECT_LE(engine.Memory().used, engine.Memory().limit);
    std::string before = engine.Snapshot();
    EXPECT_EQ(ZDL_STATUS_INSUFFICIENT_RESOURCES, engine.Add(IOCTL_FOLDER_PROTECT_W, "C:\\another list"));
    EXPECT_EQ(before, engine.Snapshot()) << "the limit holds for all lists together";

    ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Control(IOCTL_FILE_CLEAR_O, std::string(), 0));
    EXPECT_EQ(0u, engine.Memory().used);
    EXPECT_EQ(ZDL_STATUS_SUCCESS, engine.Add(IOCTL_FOLDER_PROTECT_W, "C:\\another list"));
}

TEST(RuleEngine, ClearEmptiesOneListAndReleaseFreesEverything)
{
    long liveBefore = enginehost::LiveBlocks();
    {
        Engine engine;
        for (unsigned long code : kProtectCodes) {
            ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(code, "C:\\x"));
            ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Add(code, "C:\\y"));
        }
        ASSERT_EQ(ZDL_STATUS_SUCCESS, engine.Control(IOCTL_FOLDER_CLEAR_W, std::string(), 0));
        for (int list = 0; list < ZDL_LISTS; ++list)
            EXPECT_EQ(list == ZDL_FOLDER_W ? 0u : 2u, engine.Count(list)) << list;
        EXPECT_GT(enginehost::LiveBlocks(), liveBefore);
    }
    EXPECT_EQ(liveBefore, enginehost::LiveBlocks());
}

} // namespace
