#include "core/VolumeImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

void SetVolume(VolumeImage& volume, int32_t w, int32_t h, int32_t d, int32_t bytesPerVoxel, const Bytes& bytes)
{
    uint8_t* p = AllocatePixels(bytes.size());
    std::memcpy(p, bytes.data(), bytes.size());
    volume.Adopt(p, w, h, d, bytesPerVoxel, true, false);
}

Bytes Level(const VolumeImage& volume, int32_t level)
{
    const uint8_t* p = volume.GetLevelPixels(level);
    return p ? Bytes(p, p + volume.GetLevelsSize(level, 1)) : Bytes{};
}
}

TEST(VolumeImageTest, SizesAndMipCounts)
{
    struct Case
    {
        int32_t w, h, d, bytesPerVoxel;
        int32_t full;
        size_t chainSize;
    };
    const Case cases[] = {
        {32, 32, 32, 1, 6, 32 * 32 * 32 + 16 * 16 * 16 + 8 * 8 * 8 + 4 * 4 * 4 + 8 + 1},
        {64, 8, 1, 1, 7, 64 * 8 + 32 * 4 + 16 * 2 + 8 + 4 + 2 + 1},
        {4, 4, 4, 4, 3, (64 + 8 + 1) * 4},
        {1, 1, 1, 4, 1, 4},
    };
    for (const Case& c : cases)
    {
        VolumeImage volume;
        volume.width = c.w;
        volume.height = c.h;
        volume.depth = c.d;
        volume.bytesPerVoxel = c.bytesPerVoxel;
        EXPECT_EQ(volume.GetFullMipCount(), c.full) << c.w << "x" << c.h << "x" << c.d;
        EXPECT_EQ(volume.GetLevelsSize(0, ALL_MIP_LEVELS), c.chainSize) << c.w << "x" << c.h << "x" << c.d;
    }
    VolumeImage volume;
    volume.width = 64;
    volume.height = 8;
    volume.depth = 2;
    EXPECT_EQ(volume.GetLevelWidth(4), 4);
    EXPECT_EQ(volume.GetLevelHeight(4), 1);
    EXPECT_EQ(volume.GetLevelDepth(1), 1);
}

TEST(VolumeImageTest, CreateMipMapsAveragesEightVoxels)
{
    VolumeImage volume;
    SetVolume(volume, 2, 2, 2, 1, {0, 1, 2, 3, 4, 5, 6, 7});
    ASSERT_TRUE(volume.CreateMipMaps());
    EXPECT_EQ(volume.GetMipCount(), 2);
    EXPECT_EQ(Level(volume, 1), Bytes{4});   // (28 + 4) >> 3
    EXPECT_EQ(Level(volume, 2), Bytes{});
}

TEST(VolumeImageTest, FlatVolumeAveragesInTheSliceOnly)
{
    // 4 x 4 x 1, voxel (x, y) = 16 x y + 4 x x: each 2 x 2 average counts every voxel twice
    // (the slice neighbour is the voxel itself).
    Bytes bytes(16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            bytes[y * 4 + x] = static_cast<uint8_t>(16 * y + 4 * x);
    VolumeImage volume;
    SetVolume(volume, 4, 4, 1, 1, bytes);
    ASSERT_TRUE(volume.CreateMipMaps());
    ASSERT_EQ(volume.GetMipCount(), 3);
    Bytes level1 = Level(volume, 1);
    ASSERT_EQ(level1.size(), 4u);
    for (int y = 0; y < 2; ++y)
    {
        for (int x = 0; x < 2; ++x)
        {
            int sum = bytes[(2 * y) * 4 + 2 * x] + bytes[(2 * y) * 4 + 2 * x + 1] + bytes[(2 * y + 1) * 4 + 2 * x] + bytes[(2 * y + 1) * 4 + 2 * x + 1];
            EXPECT_EQ(level1[y * 2 + x], (2 * sum + 4) >> 3);
        }
    }
    int sum = level1[0] + level1[1] + level1[2] + level1[3];
    EXPECT_EQ(Level(volume, 2), Bytes{static_cast<uint8_t>((2 * sum + 4) >> 3)});
}

TEST(VolumeImageTest, MultiByteVoxelsAverageByteByByte)
{
    Bytes bytes;
    for (int i = 0; i < 8; ++i)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(i), 200, static_cast<uint8_t>(255 - i), 0});
    VolumeImage volume;
    SetVolume(volume, 2, 2, 2, 4, bytes);
    ASSERT_TRUE(volume.CreateMipMaps());
    EXPECT_EQ(Level(volume, 1), (Bytes{4, 200, (8 * 255 - 28 + 4) >> 3, 0}));
}

TEST(VolumeImageTest, BorrowedBuffersAndFailedAllocations)
{
    uint8_t borrowed[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    VolumeImage volume;
    volume.Adopt(borrowed, 2, 2, 2, 1, false, false);
    SetPixelAllocationFailure(0);
    EXPECT_FALSE(volume.CreateMipMaps());
    SetPixelAllocationFailure(-1);
    EXPECT_EQ(volume.pixels, borrowed);
    EXPECT_EQ(volume.GetMipCount(), 1);

    ASSERT_TRUE(volume.CreateMipMaps());
    EXPECT_TRUE(volume.ownsPixels);
    EXPECT_NE(volume.pixels, borrowed);
    EXPECT_EQ(Level(volume, 1), Bytes{4});

    VolumeImage copy(volume);
    EXPECT_NE(copy.pixels, volume.pixels);
    EXPECT_EQ(Level(copy, 1), Bytes{4});
    volume.Clear();
    EXPECT_EQ(volume.pixels, nullptr);
    EXPECT_EQ(volume.GetBytesPerVoxel(), 0);
    EXPECT_EQ(volume.GetMipCount(), 0);
}
