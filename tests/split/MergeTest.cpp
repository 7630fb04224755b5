#include "SplitPageFixture.h"

#include "framework/UniqueHandle.h"

#include <set>

namespace {

using MergeTest = SplitPageTest;
using testkit::PatternBytes;
using testkit::ReadWholeFile;
using testkit::WriteWholeFile;

} // namespace

TEST_F(MergeTest, ThirtyThreePiecesWithAnEmptyLastOneMergeBackByteForByte)
{
    std::wstring source = folder.File(L"data.bin");
    const std::string content = PatternBytes(k1MiB, 11);
    ASSERT_TRUE(WriteWholeFile(source, content));
    Split(source, L"33");
    ASSERT_EQ(33u, PieceSizes(L"data.bin").size());
    EXPECT_EQ(0, PieceSizes(L"data.bin").back());
    std::wstring original = folder.File(L"original.bin");
    ASSERT_TRUE(::MoveFileW(source.c_str(), original.c_str()));

    Merge(Piece(1, L"data.bin"));
    EXPECT_EQ(content, ReadWholeFile(source));
    std::vector<std::wstring> pieces;
    for (unsigned k = 1; k <= 33; ++k)
        pieces.push_back(Piece(k, L"data.bin"));
    EXPECT_EQ(0, CatAndCompare(pieces, original));
    EXPECT_EQ(0, CatAndCompare({source}, original));
    EXPECT_EQ(33u, PieceSizes(L"data.bin").size()) << "the pieces stay";
    EXPECT_EQ(100, page.Progress().Pos());
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(MergeTest, AGapEndsTheJoinAndPiecesAbove100AreIgnored)
{
    for (unsigned k : {1u, 2u, 4u})
        ASSERT_TRUE(WriteWholeFile(Piece(k, L"gap.txt"), PatternBytes(3000 + k, k)));
    Merge(Piece(1, L"gap.txt"));
    EXPECT_EQ(PatternBytes(3001, 1) + PatternBytes(3002, 2), ReadWholeFile(folder.File(L"gap.txt")));

    std::string first100;
    for (unsigned k = 1; k <= 101; ++k) {
        std::string bytes = PatternBytes(100 + k, k);
        ASSERT_TRUE(WriteWholeFile(Piece(k, L"many.txt"), bytes));
        if (k <= 100)
            first100 += bytes;
    }
    Merge(Piece(1, L"many.txt"));
    EXPECT_EQ(first100, ReadWholeFile(folder.File(L"many.txt")));
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(MergeTest, MergingOverwritesAnExistingFileOfTheSourcesName)
{
    std::wstring source = folder.File(L"report.doc");
    const std::string content = PatternBytes(k1MiB + 777, 12);
    ASSERT_TRUE(WriteWholeFile(source, content));
    Split(source, L"5");
    ASSERT_TRUE(WriteWholeFile(source, PatternBytes(3 * k1MiB, 13)));
    Merge(Piece(1, L"report.doc"));
    EXPECT_EQ(content, ReadWholeFile(source));
}

// The name between "1_" and the first ".zdlsplit" is the output's name, in
// the folder of the chosen piece.
TEST_F(MergeTest, TheOutputNameComesFromTheFirstPiecesName)
{
    ASSERT_TRUE(WriteWholeFile(folder.File(L"1_report.doc.zdlsplit"), "first-"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"2_report.doc.zdlsplit"), "second"));
    Merge(folder.File(L"1_report.doc.zdlsplit"));
    EXPECT_EQ("first-second", ReadWholeFile(folder.File(L"report.doc")));

    ASSERT_TRUE(WriteWholeFile(folder.File(L"1_report.zdlsplit.bak"), "backup"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"1_report.zdlsplit"), "piece"));
    Merge(folder.File(L"1_report.zdlsplit.bak"));
    EXPECT_EQ("piece", ReadWholeFile(folder.File(L"report")));
    EXPECT_EQ(0u, boxes.Count());
}

// Without a first piece there is nothing to join, and a file of the derived
// name must not be emptied.
TEST_F(MergeTest, WithoutAFirstPieceAnExistingFileOfTheNameStaysAsItIsAndTheMergeFails)
{
    ASSERT_TRUE(WriteWholeFile(folder.File(L"1_notes.zdlsplit.bak"), "backup"));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"notes"), "keep me"));
    Merge(folder.File(L"1_notes.zdlsplit.bak"));
    EXPECT_EQ("keep me", ReadWholeFile(folder.File(L"notes")));
    EXPECT_EQ(100, page.Progress().Pos());
    EXPECT_EQ(std::vector<std::wstring>{L"操作失败"}, MessageTexts());
}

// A piece that is there but cannot be read, or an existing file that cannot
// be replaced, fails the merge: the file of the name keeps every byte and the
// temporary output goes. Once both are free the merge replaces the file.
TEST_F(MergeTest, AFailedMergeLeavesAnExistingFileByteForByteAndNoTemporaryFile)
{
    std::string joined;
    for (unsigned k = 1; k <= 3; ++k) {
        std::string bytes = PatternBytes(5000 + k, 30 + k);
        ASSERT_TRUE(WriteWholeFile(Piece(k, L"kept.doc"), bytes));
        joined += bytes;
    }
    const std::wstring output = folder.File(L"kept.doc");
    const std::string existing = PatternBytes(9000, 40);
    ASSERT_TRUE(WriteWholeFile(output, existing));
    const std::set<std::wstring> entries = testkit::FolderEntries(folder.Path());
    {
        fw::FileHandle locked(::CreateFileW(Piece(2, L"kept.doc").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(locked.Valid());
        Merge(Piece(1, L"kept.doc"));
    }
    {
        fw::FileHandle inUse(::CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(inUse.Valid());
        Merge(Piece(1, L"kept.doc"));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"操作失败", L"操作失败"}), MessageTexts());
    for (const auto& box : boxes.Boxes())
        EXPECT_EQ(L"", box.caption);
    EXPECT_TRUE(existing == ReadWholeFile(output));
    EXPECT_EQ(entries, testkit::FolderEntries(folder.Path()));

    Merge(Piece(1, L"kept.doc"));
    EXPECT_TRUE(joined == ReadWholeFile(output));
    EXPECT_EQ(entries, testkit::FolderEntries(folder.Path()));
    EXPECT_EQ(2u, boxes.Count());
}
