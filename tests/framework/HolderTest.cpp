#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <utility>

TEST(UniqueHandle, ReleasesItsGdiObjectOnceWhenItGoesAway)
{
    HBRUSH raw = ::CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(0u, ::GetObjectType(raw));
    {
        fw::Brush brush(raw);
        EXPECT_EQ(raw, brush.Get());
    }
    EXPECT_EQ(0u, ::GetObjectType(raw));
}

TEST(UniqueHandle, MovingHandsOwnershipOverWithoutReleasing)
{
    HPEN raw = ::CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    fw::Pen first(raw);
    fw::Pen second(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(raw, second.Get());
    EXPECT_NE(0u, ::GetObjectType(raw));

    fw::Pen third;
    third = std::move(second);
    EXPECT_NE(0u, ::GetObjectType(raw));
    third.Reset();
    EXPECT_EQ(0u, ::GetObjectType(raw));
}

TEST(UniqueHandle, ReleaseGivesTheHandleBackUnclosed)
{
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE released = nullptr;
    {
        fw::KernelHandle holder(event);
        released = holder.Release();
    }
    EXPECT_TRUE(::SetEvent(released));
    EXPECT_TRUE(::CloseHandle(released));
}

TEST(UniqueHandle, FileHandlesTreatInvalidHandleValueAsEmpty)
{
    fw::FileHandle none(::CreateFileW(L"Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(none.Valid());
}
