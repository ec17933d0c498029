#include <gtest/gtest.h>

#include "device/common/BaseBuffer.h"

TEST(BaseBuffer, SetBufferFromOwnTailKeepsBytes) {
    CBaseBuffer buf;
    const char text[] = "0123456789";
    ASSERT_TRUE(buf.AppendBuffer(text, 10));
    ASSERT_TRUE(buf.SetBuffer(buf.GetBuffer() + 6, 4));
    ASSERT_EQ(buf.GetAvailSize(), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buf.GetBuffer()), 4), "6789");
    ASSERT_TRUE(buf.AppendBuffer(buf.GetBuffer(), 4)); // append a piece of itself
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buf.GetBuffer()), 8), "67896789");
    buf.Delete();
    EXPECT_EQ(buf.GetAvailSize(), 0u);
}
