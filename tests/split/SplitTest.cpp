#include "SplitPageFixture.h"

#include "framework/App.h"
#include "support/EnableLog.h"

#include <numeric>
#include <set>

namespace {

using SplitTest = SplitPageTest;
using testkit::PatternBytes;
using testkit::ReadWholeFile;
using testkit::WriteWholeFile;

const uint64_t k4GiB = 4ull << 30;

// count pieces of one size, then the last ones.
std::vector<int64_t> Repeated(size_t count, int64_t size, std::initializer_list<int64_t> last)
{
    std::vector<int64_t> sizes(count, size);
    sizes.insert(sizes.end(), last);
    return sizes;
}

} // namespace

TEST_F(SplitTest, RefusesASourceBelow1MiBFromTheWorkerAndLetsGoOfIt)
{
    std::wstring small = folder.File(L"small.bin");
    ASSERT_TRUE(WriteWholeFile(small, PatternBytes(k1MiB - 1, 1)));
    Split(small, L"2");
    auto shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"分割文件不能小于1MB", shown[0].text);
    EXPECT_EQ(fw::App::Name(), shown[0].caption);
    EXPECT_TRUE(PieceSizes(L"small.bin").empty());
    EXPECT_EQ(100, page.Progress().Pos());
    EXPECT_TRUE(page.Item(IDC_SPLIT_START).IsEnabled());
    EXPECT_TRUE(::DeleteFileW(small.c_str())) << "the source is still open";

    std::wstring exact = folder.File(L"exact.bin");
    ASSERT_TRUE(WriteWholeFile(exact, PatternBytes(k1MiB, 2)));
    Split(exact, L"2");
    EXPECT_EQ(1u, boxes.Count());
    EXPECT_EQ((std::vector<int64_t>{525312, 523264}), PieceSizes(L"exact.bin"));
}

// The four rows of the worked examples for 1 MiB, and a source whose last
// piece reaches the limit within its final, partial block: an empty piece
// follows it as after a full one.
TEST_F(SplitTest, CutsTheWorkedExamplesPieceByPiece)
{
    struct Row {
        size_t length;
        const wchar_t* count;
        std::vector<int64_t> sizes;
    };
    const Row rows[] = {
        {k1MiB, L"2", {525312, 523264}},
        {k1MiB, L"3", {350208, 350208, 348160}},
        {k1MiB, L"33", Repeated(32, 32768, {0})},
        {k1MiB, L"100", Repeated(93, 11264, {1024})},
        {1048985, L"42", Repeated(40, 25600, {24985, 0})},
    };
    for (const Row& row : rows) {
        const std::string source = PatternBytes(row.length, 3);
        std::wstring name = std::wstring(L"row") + row.count + L".bin";
        ASSERT_TRUE(WriteWholeFile(folder.File(name), source));
        Split(folder.File(name), row.count);
        ASSERT_EQ(row.sizes, PieceSizes(name)) << row.count;
        size_t offset = 0;
        for (size_t k = 1; k <= row.sizes.size(); ++k) {
            std::string piece = ReadWholeFile(Piece(static_cast<unsigned>(k), name));
            EXPECT_EQ(source.substr(offset, piece.size()), piece) << row.count << " piece " << k;
            offset += piece.size();
        }
        EXPECT_EQ(source, ReadWholeFile(folder.File(name))) << "the source stays";
    }
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(SplitTest, TheWorkerSwitchesOffTheFourInputsButNotTheCount)
{
    std::wstring source = folder.File(L"inputs.bin");
    ASSERT_TRUE(WriteWholeFile(source, PatternBytes(k1MiB, 4)));
    ChooseOperation(kSplit);
    testkit::EnableLog combo(page.Item(IDC_SPLIT_OPERATION));
    testkit::EnableLog path(page.Item(IDC_SPLIT_PATH));
    testkit::EnableLog browse(page.Item(IDC_SPLIT_BROWSE));
    testkit::EnableLog start(page.Item(IDC_SPLIT_START));
    testkit::EnableLog count(page.Item(IDC_SPLIT_COUNT));
    page.SetItemText(IDC_SPLIT_PATH, source);
    page.SetItemText(IDC_SPLIT_COUNT, L"4");
    PressStart();
    for (const auto* log : {&combo, &path, &browse, &start})
        EXPECT_EQ((std::vector<bool>{false, true}), log->States());
    EXPECT_TRUE(count.States().empty());
    EXPECT_EQ(100, page.Progress().Pos());
    EXPECT_EQ(4u, PieceSizes(L"inputs.bin").size());
}

// Older pieces are rewritten from the start; surplus higher pieces of an
// earlier split stay, as nothing is ever deleted.
TEST_F(SplitTest, ResplittingTruncatesOlderPiecesAndDeletesNothing)
{
    std::wstring source = folder.File(L"again.bin");
    const std::string content = PatternBytes(k1MiB, 5);
    ASSERT_TRUE(WriteWholeFile(source, content));
    Split(source, L"3");
    ASSERT_TRUE(WriteWholeFile(Piece(1, L"again.bin"), PatternBytes(2 * k1MiB, 6)));

    Split(source, L"2");
    EXPECT_EQ((std::vector<int64_t>{525312, 523264, 348160}), PieceSizes(L"again.bin"));
    EXPECT_EQ(content.substr(0, 525312), ReadWholeFile(Piece(1, L"again.bin")));
    EXPECT_EQ(content.substr(525312), ReadWholeFile(Piece(2, L"again.bin")));
}

// A folder in the way of piece 2: the run stops there, says so and takes back
// piece 1, which a later merge would have joined into a short file. A piece
// this run did not write stays.
TEST_F(SplitTest, APieceThatCannotBeCreatedFailsVisiblyAndLeavesNoPieceOfTheRun)
{
    std::wstring source = folder.File(L"blocked.bin");
    const std::string content = PatternBytes(k1MiB, 7);
    ASSERT_TRUE(WriteWholeFile(source, content));
    ASSERT_TRUE(::CreateDirectoryW(Piece(2, L"blocked.bin").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(Piece(4, L"blocked.bin"), "someone else's"));
    std::set<std::wstring> before = testkit::FolderEntries(folder.Path());

    Split(source, L"3");
    auto shown = boxes.Boxes();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"操作失败", shown[0].text);
    EXPECT_EQ(L"", shown[0].caption);
    EXPECT_EQ(before, testkit::FolderEntries(folder.Path()));
    EXPECT_TRUE(content == ReadWholeFile(source));
    EXPECT_EQ("someone else's", ReadWholeFile(Piece(4, L"blocked.bin")));
    EXPECT_EQ(100, page.Progress().Pos());
    EXPECT_TRUE(page.Item(IDC_SPLIT_START).IsEnabled());
}

// Only the low 32 bits of this size would be 2 MiB: two pieces of about 1 MiB
// and 4094 more, of which a merge would join 100.
TEST_F(SplitTest, A4GiBSparseFileSplitsIntoTheRequestedCountAndMergesBackIdentical)
{
    testkit::ScratchFolder tmpfs(true);
    const uint64_t size = k4GiB + 2 * k1MiB;
    std::wstring source = tmpfs.File(L"big.bin");
    ASSERT_TRUE(testkit::CreateSparseFile(source, size));
    for (uint64_t offset : {uint64_t{0}, k4GiB - 3000, size - 5000})
        ASSERT_TRUE(testkit::WriteBytesAt(source, offset, PatternBytes(4000, static_cast<unsigned>(offset))));

    Split(source, L"3");
    const int64_t pieceSize = static_cast<int64_t>((size / 3 + 10 + 1023) / 1024 * 1024);
    std::vector<std::wstring> pieces;
    for (unsigned k = 1; k <= 4; ++k)
        pieces.push_back(tmpfs.File(std::to_wstring(k) + L"_big.bin.zdlsplit"));
    EXPECT_EQ(pieceSize, testkit::SizeOfFile(pieces[0]));
    EXPECT_EQ(pieceSize, testkit::SizeOfFile(pieces[1]));
    EXPECT_EQ(static_cast<int64_t>(size) - 2 * pieceSize, testkit::SizeOfFile(pieces[2]));
    EXPECT_FALSE(testkit::FileExists(pieces[3]));
    pieces.pop_back();
    for (const auto& piece : pieces)
        EXPECT_LT(testkit::AllocatedSize(piece), 64 * k1MiB) << "the piece is no longer sparse";

    std::wstring original = tmpfs.File(L"original.bin");
    ASSERT_TRUE(::MoveFileW(source.c_str(), original.c_str()));
    Merge(pieces[0]);
    EXPECT_EQ(static_cast<int64_t>(size), testkit::SizeOfFile(source));
    EXPECT_LT(testkit::AllocatedSize(source), 64 * k1MiB);
    EXPECT_EQ(0, testkit::RunShell(folder, "cmp -s '" + testkit::UnixPath(source) + "' '" +
                                               testkit::UnixPath(original) + "'"));
    EXPECT_EQ(0u, boxes.Count());
}
