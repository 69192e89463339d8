#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/Result.h"

using namespace qp;

TEST(Error, ChainsUnderlyingErrorsAndDescribesThem) {
    Error inner("inner.domain", 3, {{kLocalizedDescriptionKey, "bad byte"}});
    Error outer("outer.domain", 7, {{kLocalizedDescriptionKey, "parse failed"}}, inner);
    ASSERT_NE(outer.underlying(), nullptr);
    EXPECT_EQ(outer.underlying()->code(), 3);
    EXPECT_EQ(outer.description(), "parse failed");
    EXPECT_EQ(outer.toString(),
              "outer.domain 7: parse failed (caused by inner.domain 3: bad byte)");
    Error copy = outer;
    EXPECT_EQ(copy, outer);
    copy.setDetail("x", "y");
    EXPECT_NE(copy, outer);
}

TEST(Result, HoldsValueOrError) {
    Result<int> good = 4;
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(*good, 4);
    Result<int> bad = Error("d", 1);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().code(), 1);
    EXPECT_EQ(bad.valueOr(9), 9);
    Result<void> done;
    EXPECT_TRUE(done.ok());
}
