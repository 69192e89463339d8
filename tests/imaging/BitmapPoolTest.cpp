#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qp
