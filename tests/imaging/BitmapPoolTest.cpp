#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imaging/BitmapPool.h"

namespace qp {
namespace {

TEST(BitmapPool, LargeBuffersComeBackForReuseSmallOnesDoNot) {
    trimBitmapPool();
    const uchar* first = nullptr;
    {
        QImage big = pooledBitmap(1024, 512, QImage::Format_RGB32);
        ASSERT_FALSE(big.isNull());
        EXPECT_EQ(big.bytesPerLine(), 4096);
        big.fill(Qt::red);
        QImage shared = big;  // the buffer waits for the last sharer
        first = big.constBits();
        big = QImage();
        EXPECT_EQ(pooledBitmapBytes(), 0u);
        EXPECT_EQ(shared.pixel(1023, 511), qRgb(255, 0, 0));
    }
    EXPECT_EQ(pooledBitmapBytes(), 1024u * 512u * 4u);
    // A slightly smaller request reuses it; a far smaller one does not.
    QImage again = pooledBitmap(1000, 512, QImage::Format_RGB32);
    EXPECT_EQ(again.constBits(), first);
    EXPECT_EQ(pooledBitmapBytes(), 0u);
    QImage grey = pooledBitmap(3, 3, QImage::Format_Grayscale8);
    EXPECT_EQ(grey.bytesPerLine() % 4, 0);
    again = QImage();
    trimBitmapPool();
    EXPECT_EQ(pooledBitmapBytes(), 0u);
    EXPECT_TRUE(pooledBitmap(0, 5, QImage::Format_RGB32).isNull());
}

TEST(BitmapPool, EveryByteOfFreshAndReturnedBuffersIsTheBitmaps) {
    trimBitmapPool();
    // Sizes on both sides of the 2 MiB pages the buffers are made of, and
    // more buffers than the pool keeps, so some go back to the system.
    const int sides[][2] = {{512, 512},   {1024, 512},  {723, 725},   {1024, 1024}, {1500, 1000},
                            {2048, 1024}, {1031, 1021}, {4096, 1024}, {3000, 1000}, {1025, 1025}};
    std::vector<QImage> held;
    for (const auto& side : sides) {
        QImage bitmap = pooledBitmap(side[0], side[1], QImage::Format_RGB32);
        ASSERT_FALSE(bitmap.isNull()) << side[0] << " x " << side[1];
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bitmap.constBits()) % 64, 0u);
        bitmap.fill(qRgb(1, 2, 3));  // the last row's last byte too
        EXPECT_EQ(bitmap.pixel(side[0] - 1, side[1] - 1), qRgb(1, 2, 3));
        held.push_back(std::move(bitmap));
    }
    held.clear();
    EXPECT_LE(pooledBitmapBytes(), std::size_t(256) << 20);
    // Reused buffers keep working whole.
    for (const auto& side : sides) {
        QImage bitmap = pooledBitmap(side[1], side[0], QImage::Format_ARGB32);
        ASSERT_FALSE(bitmap.isNull());
        bitmap.fill(qRgba(9, 8, 7, 6));
        EXPECT_EQ(bitmap.pixel(side[1] - 1, side[0] - 1), qRgba(9, 8, 7, 6));
    }
    trimBitmapPool();
    EXPECT_EQ(pooledBitmapBytes(), 0u);
}

}  // namespace
}  // namespace qp
