#include "FltLayout.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FltLayout, EveryStructureTheDriverUsesMatchesWinesDeclarationInSizeAndFieldOffsets)
{
    ASSERT_EQ(kWineFltLayoutCount, kOwnFltLayoutCount);
    for (unsigned i = 0; i < kOwnFltLayoutCount; ++i) {
        const FltLayoutEntry& own = kOwnFltLayout[i];
        const FltLayoutEntry& wine = kWineFltLayout[i];
        ASSERT_STREQ(wine.name, own.name);
        EXPECT_EQ(wine.offset, own.offset) << own.name;
        EXPECT_EQ(wine.size, own.size) << own.name;
    }
}

TEST(FltLayout, TheTwoStructuresWineLeavesOutFollowTheirDocumentedFieldLists)
{
    const size_t p = sizeof(void*);
    // A UNICODE_STRING: two 16-bit lengths padded to a pointer, then the pointer.
    const size_t u = 2 * p;
    const FltLayoutEntry expected[] = {
        {"FLT_RELATED_OBJECTS", 0, 6 * p},
        {"FLT_RELATED_OBJECTS.Size", 0, 2},
        {"FLT_RELATED_OBJECTS.TransactionContext", 2, 2},
        {"FLT_RELATED_OBJECTS.Filter", p, p},
        {"FLT_RELATED_OBJECTS.Volume", 2 * p, p},
        {"FLT_RELATED_OBJECTS.Instance", 3 * p, p},
        {"FLT_RELATED_OBJECTS.FileObject", 4 * p, p},
        {"FLT_RELATED_OBJECTS.Transaction", 5 * p, p},
        {"FLT_FILE_NAME_INFORMATION", 0, 8 + 7 * u},
        {"FLT_FILE_NAME_INFORMATION.Size", 0, 2},
        {"FLT_FILE_NAME_INFORMATION.NamesParsed", 2, 2},
        {"FLT_FILE_NAME_INFORMATION.Format", 4, 4},
        {"FLT_FILE_NAME_INFORMATION.Name", 8, u},
        {"FLT_FILE_NAME_INFORMATION.Volume", 8 + u, u},
        {"FLT_FILE_NAME_INFORMATION.Share", 8 + 2 * u, u},
        {"FLT_FILE_NAME_INFORMATION.Extension", 8 + 3 * u, u},
        {"FLT_FILE_NAME_INFORMATION.Stream", 8 + 4 * u, u},
        {"FLT_FILE_NAME_INFORMATION.FinalComponent", 8 + 5 * u, u},
        {"FLT_FILE_NAME_INFORMATION.ParentDir", 8 + 6 * u, u},
    };
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), kOwnOnlyFltLayoutCount);
    for (unsigned i = 0; i < kOwnOnlyFltLayoutCount; ++i) {
        ASSERT_STREQ(expected[i].name, kOwnOnlyFltLayout[i].name);
        EXPECT_EQ(expected[i].offset, kOwnOnlyFltLayout[i].offset) << expected[i].name;
        EXPECT_EQ(expected[i].size, kOwnOnlyFltLayout[i].size) << expected[i].name;
    }
}
