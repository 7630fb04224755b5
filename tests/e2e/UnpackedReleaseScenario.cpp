#include "ProgramSession.h"

#include "support/DriverClient.h"
#include "support/DriverService.h"
#include "support/ScratchFiles.h"

#include <gtest/gtest.h>
#include <imagehlp.h>

#include <string>

namespace {

bool Listed(const std::string& listing, const std::string& entry)
{
    return ("\n" + listing).find("\n" + entry + "\n") != std::string::npos;
}

// The Authenticode certificates in a PE file's security directory.
DWORD CertificatesIn(const std::wstring& file)
{
    fw::FileHandle image(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD count = 0;
    if (!image.Valid() || !::ImageEnumerateCertificates(image.Get(), CERT_SECTION_TYPE_ANY, &count, nullptr, 0))
        return 0;
    return count;
}

} // namespace

TEST(UnpackedRelease, ThePackagedZipUnpacksIntoAFolderThatStartsAndLogsOn)
{
    // No driver service: the unpacked program installs the signed driver from its own folder.
    testkit::ServiceRestorer restore;
    ASSERT_TRUE(testkit::RemoveDriverService());
    testkit::ScratchFolder scratch;
    ASSERT_TRUE(scratch.Valid());
    const std::string zip = testkit::UnixPath(scratch.File(L"ZendalFileSa.zip"));
    const std::string listing = testkit::UnixPath(scratch.File(L"listing.txt"));
    const std::string unpacked = testkit::UnixPath(scratch.File(L"unpacked"));
    const std::string commands = std::string("export PATH=/usr/bin:/bin\nset -e\n") + "bash '" ZENDAL_SOURCE_DIR
                                 "/tools/package/make-zip.sh' '" ZENDAL_BUILD_DIR "/program' '" + zip + "' >/dev/null\n" +
                                 "unzip -Z1 '" + zip + "' > '" + listing + "'\n" + "unzip -q '" + zip + "' -d '" +
                                 unpacked + "'";
    ASSERT_EQ(0, testkit::RunShell(scratch, commands));
    std::string names = testkit::ReadWholeFile(scratch.File(L"listing.txt"));
    for (const char* entry : {"ZendalFileSa/ZendalFileSa.exe", "ZendalFileSa/ZendalCommon.dll",
                              "ZendalFileSa/sys/ZDLFile.sys", "ZendalFileSa/sys/ZDLFile.cer", "ZendalFileSa/zdl/",
                              "ZendalFileSa/ReadMe.txt"})
        EXPECT_TRUE(Listed(names, entry)) << entry << " not in\n" << names;
    e2e::Report("package: the zip holds ZendalFileSa.exe, ZendalCommon.dll, sys/ZDLFile.sys with its certificate "
                "sys/ZDLFile.cer, ReadMe.txt and the empty zdl/");

    const std::wstring program = scratch.File(L"unpacked\\ZendalFileSa");
    EXPECT_EQ(1u, CertificatesIn(program + L"\\sys\\ZDLFile.sys")) << "the driver is signed";
    EXPECT_EQ(0u, CertificatesIn(testkit::InstalledDriverFile())) << "the build's own driver is not";
    EXPECT_TRUE(testkit::FileExists(program + L"\\zdl"));
    EXPECT_TRUE(testkit::FolderEntries(program + L"\\zdl").empty());
    std::string readMe = testkit::ReadWholeFile(program + L"\\ReadMe.txt");
    EXPECT_NE(std::string::npos, readMe.find("NOT strong cryptography"));
    EXPECT_NE(std::string::npos, readMe.find("after logging off or restarting"));
    EXPECT_NE(std::string::npos, readMe.find("right to manage services"));
    EXPECT_NE(std::string::npos, readMe.find("Under Wine the driver cannot stop"));
    EXPECT_NE(std::string::npos, readMe.find("So i does not stop copying"));
    EXPECT_NE(std::string::npos, readMe.find("we have not run this build on a Windows machine"));
    EXPECT_NE(std::string::npos, readMe.find("ZendalFileSa-x64.zip"));
    EXPECT_NE(std::string::npos, readMe.find("bcdedit /set testsigning on"));
    {
        e2e::ProgramSession session(program);
        ASSERT_TRUE(session.Ready()) << "the unpacked program did not show its window and pages";
        EXPECT_EQ(program + L"\\sys\\ZDLFile.sys", testkit::ReadServiceConfig().binaryPath);
        fw::FileHandle device = testkit::OpenTestDevice();
        ASSERT_TRUE(device.Valid());
        testkit::DriverState state;
        ASSERT_TRUE(testkit::QueryState(device.Get(), &state));
        EXPECT_EQ(1u, state.protectOn);
        EXPECT_EQ(L"成功登录", session.LogOn(L""));
        EXPECT_TRUE(session.Close());
    }
    e2e::Report("package: unpacked into a fresh folder, the program installs and opens its signed driver, "
                "switches it on, shows its eight pages and logs on");
    testkit::ReleaseDriverFrom(program);
}
