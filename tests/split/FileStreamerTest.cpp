#include "fileio/ByteProgress.h"
#include "fileio/FileStreamer.h"
#include "framework/UniqueHandle.h"
#include "support/ScratchFiles.h"

#include <gtest/gtest.h>

namespace {

fw::FileHandle Open(const std::wstring& path, DWORD access)
{
    return fw::FileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

// A failed transfer must be told apart from a complete one: shredding
// deletes a file, and a split goes on to the next piece, only after success.
TEST(FileStreamerTest, AFailedReadOrWriteIsReported)
{
    testkit::ScratchFolder folder;
    std::wstring source = folder.File(L"source.bin");
    std::wstring target = folder.File(L"target.bin");
    ASSERT_TRUE(testkit::WriteWholeFile(source, testkit::PatternBytes(5000, 1)));
    ASSERT_TRUE(testkit::WriteWholeFile(target, ""));
    std::atomic<int> running{1};
    ByteProgress progress([](int) {}, 5000);
    FileStreamer streamer(running, progress);
    ASSERT_TRUE(streamer.Ready());

    fw::FileHandle readOnly = Open(target, GENERIC_READ);
    EXPECT_FALSE(streamer.WriteZeros(readOnly.Get(), 3000));
    uint64_t copied = 0;
    fw::FileHandle input = Open(source, GENERIC_READ);
    EXPECT_FALSE(streamer.Copy(input.Get(), readOnly.Get(), 5000, copied));
    fw::FileHandle writeOnly = Open(source, GENERIC_WRITE);
    fw::FileHandle output = Open(target, GENERIC_WRITE);
    EXPECT_FALSE(streamer.Copy(writeOnly.Get(), output.Get(), 5000, copied));
    EXPECT_EQ(0, testkit::SizeOfFile(target));
}
