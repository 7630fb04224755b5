// The filter's callbacks in user mode: callback records for each operation
// the modes speak of, on paths inside, outside, above and beside protected
// files and folders, with names normalized by a stand-in for the Filter
// Manager.
#include "EngineHost.h"
#include "FilterHarness.h"
#include "support/DriverClient.h"
#include "driver/ZdlEngine.h"

#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

extern "C" void ZdlFilterStart(const ZdlEngine* engine);
extern "C" void ZdlFilterAddVolume(void* instance, wchar_t letter);

namespace {

// The values the callbacks see, spelled out as the platform defines them.
const unsigned char kCreate = 0x00;
const unsigned char kWrite = 0x04;
const unsigned char kSetInformation = 0x06;
const unsigned char kSetSecurity = 0x15;
const int kPreopNoCallback = 1;
const int kPreopDisallowFastIo = 3;
const int kPreopComplete = 4;
const long kAccessDenied = static_cast<long>(0xC0000022L);
const unsigned long kFileOpen = 1, kFileCreate = 2, kFileOverwrite = 4;
const unsigned long kDeleteOnClose = 0x00001000;
const unsigned char kOpenPagingFile = 0x02;
const unsigned long kPagingIo = 0x00000002;
const int kBasic = 4, kRename = 10, kLink = 11, kDisposition = 13, kAllocation = 19, kEndOfFile = 20;
const int kShortName = 40, kDispositionEx = 64, kRenameEx = 65;

const wchar_t kVolume[] = L"\\Device\\HarddiskVolume3";
int g_volumeC;
int g_volumeE;

std::map<std::wstring, std::wstring> g_spellings;
int g_nameQuestions;

std::wstring OnC(const std::wstring& path)
{
    return kVolume + path;
}

unsigned long Disposition(unsigned long disposition)
{
    return disposition << 24;
}

} // namespace

// Normalized names are given as they are; a few other spellings (short
// names, the DOS form of a rename's target) through the table.
extern "C" int FilterTestNormalize(const wchar_t* spelling, unsigned units, wchar_t* out, unsigned capacity)
{
    ++g_nameQuestions;
    std::wstring name(spelling, units);
    auto known = g_spellings.find(name);
    if (known != g_spellings.end())
        name = known->second;
    else if (name.rfind(L"\\Device\\", 0) != 0)
        return 0;
    if (name.size() + 1 > capacity)
        return 0;
    name.copy(out, name.size());
    out[name.size()] = 0;
    return 1;
}

namespace {

class FilterDecisions : public ::testing::Test {
public:
    FilterDecisions()
    {
        ZdlEngineInit(&engine_);
        ZdlFilterStart(&engine_);
        ZdlFilterAddVolume(&g_volumeC, L'c');
        ZdlFilterAddVolume(&g_volumeE, L'E');
        g_spellings.clear();
        g_nameQuestions = 0;
        SwitchOn(true);
        SetWord(ZDL_DRIVE_WORD_BASE + (1u << 2));
    }
    ~FilterDecisions() override
    {
        ZdlFilterStart(nullptr);
        ZdlEngineRelease(&engine_);
    }

    void Control(unsigned long code, std::string input, unsigned long outBytes)
    {
        input.resize(std::max<size_t>(input.size(), outBytes));
        unsigned long written = 0;
        ASSERT_EQ(ZDL_STATUS_SUCCESS, ZdlEngineControl(&engine_, code, input.empty() ? nullptr : &input[0],
                                                        static_cast<unsigned long>(input.size()), outBytes,
                                                        &written));
    }
    void SwitchOn(bool on) { Control(IOCTL_SET_PROTECT_SWITCH, std::string(1, on ? 1 : 0), 0); }
    void SetWord(unsigned word) { Control(IOCTL_SET_FIXED_DRIVES, std::string(reinterpret_cast<char*>(&word), 4), 4); }
    void Protect(unsigned long code, const std::string& path) { Control(code, testkit::Record(path, 0), 0); }

    // Runs the request and checks that it completed with access denied or
    // passed untouched; names and locks are given back either way.
    bool Denied(FilterRequest request)
    {
        if (!request.instance)
            request.instance = &g_volumeC;
        long status = 0;
        int result = FilterRun(&request, &status);
        EXPECT_EQ(0, FilterNamesHeld());
        EXPECT_EQ(0, enginehost::SharedLocksHeld());
        if (result == kPreopComplete) {
            EXPECT_EQ(kAccessDenied, status);
            return true;
        }
        EXPECT_EQ(kPreopNoCallback, result);
        return false;
    }

    ZdlEngine engine_;
};

FilterRequest Open(const std::wstring& name, unsigned long access, unsigned long options = Disposition(kFileOpen))
{
    FilterRequest request{};
    request.major = kCreate;
    request.desiredAccess = access;
    request.createOptions = options;
    request.name = name.c_str();
    return request;
}

FilterRequest SetInformation(const std::wstring& name, int informationClass, const wchar_t* destination = nullptr)
{
    FilterRequest request{};
    request.major = kSetInformation;
    request.informationClass = informationClass;
    // A disposition asks to delete, an end of file is a real change.
    request.deleteOrAdvance = informationClass == kDisposition ? 1 : 0;
    request.dispositionFlags = 1;
    request.name = name.c_str();
    request.destination = destination;
    return request;
}

FilterRequest Other(unsigned char major, const std::wstring& name)
{
    FilterRequest request{};
    request.major = major;
    request.name = name.c_str();
    return request;
}

// Every request kind the table covers, in the order of its answer strings:
// open to read, open to write, open with delete access, open delete-on-close,
// overwrite, create a file, set attributes and times, set end of file, set
// allocation size, delete, rename, hard link, write, set security.
std::string Answers(FilterDecisions* test, bool (FilterDecisions::*denied)(FilterRequest), const std::wstring& name)
{
    const std::wstring elsewhere = OnC(L"\\Elsewhere\\new.txt");
    const FilterRequest requests[] = {
        Open(name, FILE_READ_DATA | SYNCHRONIZE),
        Open(name, FILE_WRITE_DATA),
        Open(name, DELETE),
        Open(name, FILE_READ_DATA, Disposition(kFileOpen) | kDeleteOnClose),
        Open(name, FILE_READ_DATA, Disposition(kFileOverwrite)),
        Open(name, FILE_WRITE_DATA, Disposition(kFileCreate)),
        SetInformation(name, kBasic),
        SetInformation(name, kEndOfFile),
        SetInformation(name, kAllocation),
        SetInformation(name, kDisposition),
        SetInformation(name, kRename, elsewhere.c_str()),
        SetInformation(name, kLink, elsewhere.c_str()),
        Other(kWrite, name),
        Other(kSetSecurity, name),
    };
    std::string answers;
    for (const FilterRequest& request : requests)
        answers += (test->*denied)(request) ? '1' : '0';
    return answers;
}

struct FilterCase {
    unsigned long code;
    const wchar_t* path;
    const char* denied;
};

// The protected path is always C:\Data\Box.
const char kAbove[] = "00110000011000";
const char kAll[] = "11111111111111";
const char kNone[] = "00000000000000";
const char kReadOnly[] = "01111111111111";
const char kKept[] = "00110000011100";
const FilterCase kFilterCases[] = {
    {IOCTL_FILE_PROTECT_O, L"\\Data\\Box", kAll},
    {IOCTL_FILE_PROTECT_O, L"\\Data", kAbove},
    {IOCTL_FILE_PROTECT_O, L"\\Data\\Box2", kNone},
    {IOCTL_FILE_PROTECT_W, L"\\Data\\Box", kReadOnly},
    {IOCTL_FILE_PROTECT_W, L"\\Data", kAbove},
    {IOCTL_FILE_PROTECT_W, L"\\Data\\Bo", kNone},
    {IOCTL_FILE_PROTECT_I, L"\\Data\\Box", kKept},
    {IOCTL_FILE_PROTECT_I, L"\\", kAbove},
    {IOCTL_FILE_PROTECT_I, L"\\Data\\Box.txt", kNone},
    {IOCTL_FOLDER_PROTECT_O, L"\\Data\\Box", kAll},
    {IOCTL_FOLDER_PROTECT_O, L"\\Data\\Box\\Sub\\a.txt", kAll},
    {IOCTL_FOLDER_PROTECT_O, L"\\Data", kAbove},
    {IOCTL_FOLDER_PROTECT_O, L"\\Data\\Boxes\\a.txt", kNone},
    {IOCTL_FOLDER_PROTECT_W, L"\\Data\\Box", kReadOnly},
    {IOCTL_FOLDER_PROTECT_W, L"\\Data\\Box\\a.txt", kReadOnly},
    {IOCTL_FOLDER_PROTECT_W, L"\\Data", kAbove},
    {IOCTL_FOLDER_PROTECT_W, L"\\Other\\a.txt", kNone},
    {IOCTL_FOLDER_PROTECT_I, L"\\Data\\Box", kKept},
    {IOCTL_FOLDER_PROTECT_I, L"\\Data\\Box\\a.txt", kNone},
    {IOCTL_FOLDER_PROTECT_I, L"\\Data", kAbove},
    {IOCTL_FOLDER_PROTECT_I, L"\\Data\\Box B", kNone},
};

TEST_F(FilterDecisions, EachModeDeniesItsOperationsOnThePathInsideItAndOnTheFoldersAbove)
{
    for (const FilterCase& row : kFilterCases) {
        ZdlEngineRelease(&engine_);
        Protect(row.code, "C:\\Data\\Box");
        EXPECT_EQ(row.denied, Answers(this, &FilterDecisions::Denied, OnC(row.path)))
            << std::hex << row.code << " " << std::string(row.path, row.path + wcslen(row.path));
    }
}

TEST_F(FilterDecisions, ARenameOrLinkIsDeniedWhenItsTargetIsProtectedOrInAReadOnlyFolder)
{
    Protect(IOCTL_FILE_PROTECT_I, "C:\\Data\\Kept.txt");
    Protect(IOCTL_FOLDER_PROTECT_W, "C:\\ReadOnly");
    Protect(IOCTL_FOLDER_PROTECT_I, "C:\\KeptFolder");
    const std::wstring free = OnC(L"\\Free\\a.txt");
    g_spellings[L"\\??\\C:\\Data\\KEPT.TXT"] = OnC(L"\\Data\\Kept.txt");
    g_spellings[L"\\??\\C:\\READON~1\\new.txt"] = OnC(L"\\ReadOnly\\new.txt");
    g_spellings[L"\\??\\C:\\KeptFolder\\new.txt"] = OnC(L"\\KeptFolder\\new.txt");

    EXPECT_TRUE(Denied(SetInformation(free, kRename, L"\\??\\C:\\Data\\KEPT.TXT"))) << "would replace it";
    EXPECT_TRUE(Denied(SetInformation(free, kRenameEx, L"\\??\\C:\\Data\\KEPT.TXT")));
    EXPECT_TRUE(Denied(SetInformation(free, kRename, L"\\??\\C:\\READON~1\\new.txt")));
    EXPECT_TRUE(Denied(SetInformation(free, kLink, L"\\??\\C:\\READON~1\\new.txt")));
    EXPECT_FALSE(Denied(SetInformation(free, kRename, L"\\??\\C:\\KeptFolder\\new.txt")))
        << "an i folder keeps itself, not its contents";
    EXPECT_FALSE(Denied(SetInformation(free, kRename, L"\\??\\C:\\Unknown\\x.txt"))) << "no name: no rule";
    EXPECT_TRUE(Denied(SetInformation(OnC(L"\\Data"), kRename, L"\\??\\C:\\KeptFolder\\new.txt")))
        << "moving a folder above a protected file";
    EXPECT_TRUE(Denied(SetInformation(OnC(L"\\Data\\Kept.txt"), kShortName)));
}

TEST_F(FilterDecisions, SwitchedOffOrWithoutDrivesEverythingPassesWithoutAskingForAName)
{
    Protect(IOCTL_FOLDER_PROTECT_O, "C:\\Data");
    Protect(IOCTL_FOLDER_PROTECT_O, "E:\\Data");
    const std::wstring inside = OnC(L"\\Data\\a.txt");
    ASSERT_TRUE(Denied(Open(inside, FILE_READ_DATA)));
    ASSERT_EQ(1, g_nameQuestions);

    g_nameQuestions = 0;
    SwitchOn(false);
    EXPECT_EQ(kNone, Answers(this, &FilterDecisions::Denied, inside));
    SwitchOn(true);
    SetWord(0);
    EXPECT_EQ(kNone, Answers(this, &FilterDecisions::Denied, inside));
    SetWord(ZDL_DRIVE_WORD_BASE + (1u << 2));
    const std::wstring insideE = L"\\Device\\HarddiskVolume5\\Data\\a.txt";
    FilterRequest onE = Open(insideE, FILE_READ_DATA);
    onE.instance = &g_volumeE;
    EXPECT_FALSE(Denied(onE)) << "E: is not in the drive word";
    int unknownVolume = 0;
    FilterRequest unattached = Open(inside, FILE_READ_DATA);
    unattached.instance = &unknownVolume;
    EXPECT_FALSE(Denied(unattached)) << "a volume the filter has no letter for";
    EXPECT_EQ(0, g_nameQuestions);

    SetWord(ZDL_DRIVE_WORD_BASE + (1u << 2) + (1u << 4));
    EXPECT_TRUE(Denied(onE)) << "the same lists, enforced again";
}

TEST_F(FilterDecisions, ShortNamesStreamsAndCaseArriveNormalizedAndMatch)
{
    Protect(IOCTL_FILE_PROTECT_O, "C:\\Data\\Long Name.txt");
    g_spellings[OnC(L"\\DATA\\LONGNA~1.TXT")] = OnC(L"\\Data\\Long Name.txt");
    g_spellings[OnC(L"\\DATA\\LONGNA~1.TXT:secret")] = OnC(L"\\Data\\Long Name.txt:secret");
    EXPECT_TRUE(Denied(Open(OnC(L"\\DATA\\LONGNA~1.TXT"), FILE_READ_DATA)));
    EXPECT_TRUE(Denied(Open(OnC(L"\\DATA\\LONGNA~1.TXT:secret"), FILE_READ_DATA)));
    EXPECT_TRUE(Denied(Open(OnC(L"\\Data\\Long Name.txt::$DATA"), FILE_READ_DATA)));
    EXPECT_TRUE(Denied(Open(OnC(L"\\data\\LONG name.TXT"), FILE_READ_DATA)));
    EXPECT_TRUE(Denied(Open(OnC(L"\\Data\\Long Name.txt\\"), FILE_READ_DATA)));
    EXPECT_FALSE(Denied(Open(OnC(L"\\Data\\Long Name.txt2"), FILE_READ_DATA)));
    EXPECT_FALSE(Denied(Open(OnC(L"\\Data\\Long"), FILE_READ_DATA)));
    EXPECT_FALSE(Denied(Open(OnC(L"\\DATA\\unknown~1.txt"), FILE_READ_DATA))) << "no name: no rule";
}

TEST_F(FilterDecisions, PathsLongerThanAKeyAreJudgedByTheFoldersAboveThem)
{
    Protect(IOCTL_FOLDER_PROTECT_W, "C:\\Deep");
    std::wstring deep = L"\\Deep";
    while (deep.size() < 400)
        deep += L"\\folder";
    deep += L"\\file.txt";
    EXPECT_TRUE(Denied(Open(OnC(deep), FILE_WRITE_DATA)));
    EXPECT_FALSE(Denied(Open(OnC(deep), FILE_READ_DATA)));
    EXPECT_FALSE(Denied(Open(OnC(L"\\Other" + deep), FILE_WRITE_DATA)));
}

TEST_F(FilterDecisions, RequestsThatChangeNothingOrCarryCheckedDataPass)
{
    Protect(IOCTL_FILE_PROTECT_W, "C:\\Data\\a.txt");
    const std::wstring file = OnC(L"\\Data\\a.txt");
    FilterRequest paging = Other(kWrite, file);
    paging.irpFlags = kPagingIo;
    EXPECT_FALSE(Denied(paging));
    FilterRequest pagingFile = Open(file, FILE_WRITE_DATA);
    pagingFile.operationFlags = kOpenPagingFile;
    EXPECT_FALSE(Denied(pagingFile));
    FilterRequest advance = SetInformation(file, kEndOfFile);
    advance.deleteOrAdvance = 1;
    EXPECT_FALSE(Denied(advance)) << "the cache manager's advance";
    FilterRequest keep = SetInformation(file, kDisposition);
    keep.deleteOrAdvance = 0;
    EXPECT_FALSE(Denied(keep)) << "taking back a delete";
    FilterRequest keepEx = SetInformation(file, kDispositionEx);
    keepEx.dispositionFlags = 0;
    EXPECT_FALSE(Denied(keepEx));
    keepEx.dispositionFlags = 1;
    EXPECT_TRUE(Denied(keepEx));
    EXPECT_TRUE(Denied(Open(file, MAXIMUM_ALLOWED)));
    EXPECT_FALSE(Denied(Open(file, FILE_READ_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL)));

    FilterRequest fast = Other(kWrite, file);
    fast.fastIo = 1;
    fast.instance = &g_volumeC;
    long status = 0;
    EXPECT_EQ(kPreopDisallowFastIo, FilterRun(&fast, &status)) << "fast I/O goes the IRP way, and is denied there";
    EXPECT_EQ(0, FilterNamesHeld());
}

} // namespace
