#include "physics/MemoryReadBuffer.h"
#include "physics/MemoryWriteBuffer.h"
#include "physics/UserStream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MemoryWriteBuffer, GrowsToTheNeedPlus4096AndKeepsItsBytes) {
    MemoryWriteBuffer buffer;
    EXPECT_EQ(buffer.getCurrentSize(), 0u);
    EXPECT_EQ(buffer.getMaxSize(), 0u);
    EXPECT_EQ(buffer.getData(), nullptr);

    const std::string ten = "0123456789";
    buffer.storeBuffer(ten.data(), 10);
    EXPECT_EQ(buffer.getCurrentSize(), 10u);
    EXPECT_EQ(buffer.getMaxSize(), 4106u);

    const std::string big(5000, 'x');
    buffer.storeBuffer(big.data(), 5000);
    EXPECT_EQ(buffer.getCurrentSize(), 5010u);
    EXPECT_EQ(buffer.getMaxSize(), 9106u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer.getData()), 10), ten); // copied on growth

    buffer.storeBuffer(big.data(), 4096); // fits exactly: no growth
    EXPECT_EQ(buffer.getMaxSize(), 9106u);
    EXPECT_EQ(buffer.getCurrentSize(), 9106u);

    buffer.clear();
    EXPECT_EQ(buffer.getCurrentSize(), 0u);
    EXPECT_EQ(buffer.getMaxSize(), 9106u);
    EXPECT_FALSE(buffer.isFailed());
}

TEST(MemoryBuffers, TypedValuesRoundTripInLittleEndianOrder) {
    MemoryWriteBuffer out;
    out.storeByte(0xAB).storeWord(0x1234).storeDword(0xDEADBEEFu).storeFloat(-2.5f).storeDouble(1.0 / 3.0);
    ASSERT_EQ(out.getCurrentSize(), 1u + 2u + 4u + 4u + 8u);
    EXPECT_EQ(out.getData()[1], 0x34); // low byte first
    EXPECT_EQ(out.getData()[2], 0x12);

    MemoryReadBuffer in(out.getData(), out.getCurrentSize());
    EXPECT_EQ(in.readByte(), 0xAB);
    EXPECT_EQ(in.readWord(), 0x1234);
    EXPECT_EQ(in.readDword(), 0xDEADBEEFu);
    EXPECT_EQ(in.readFloat(), -2.5f);
    EXPECT_EQ(in.readDouble(), 1.0 / 3.0);
    EXPECT_EQ(in.getRemaining(), 0u);
    EXPECT_FALSE(in.isFailed());
}

TEST(MemoryBuffers, ReadingPastTheEndOrInTheWrongDirectionFailsWithZeros) {
    const std::uint8_t bytes[3] = {1, 2, 3};
    MemoryReadBuffer in(bytes, 3);
    EXPECT_EQ(in.readWord(), 0x0201);
    EXPECT_EQ(in.readDword(), 0u); // only one byte left
    EXPECT_TRUE(in.isFailed());
    EXPECT_NE(in.getFailure().find("short read"), std::string::npos);
    EXPECT_EQ(in.readByte(), 0); // stays at the end
    in.storeByte(7);
    EXPECT_EQ(bytes[2], 3);

    MemoryReadBuffer storeFirst(bytes, 3);
    storeFirst.storeDword(1);
    EXPECT_TRUE(storeFirst.isFailed());
    EXPECT_EQ(storeFirst.getFailure().rfind("0", 0), 0u); // the failed check reads "0"

    MemoryWriteBuffer out;
    out.storeDword(42);
    EXPECT_EQ(out.readDword(), 0u);
    EXPECT_TRUE(out.isFailed());
    EXPECT_EQ(out.getCurrentSize(), 4u);
}

TEST(UserStream, WritesAndReadsAFileAndReportsShortReadsAndMissingFiles) {
    TempDir dir;
    const std::string path = (dir.path() / "stream.bin").string();
    {
        UserStream out(path.c_str(), false);
        ASSERT_TRUE(out.isOpen());
        out.storeDword(7).storeFloat(1.5f).storeBuffer("ab", 2);
        EXPECT_TRUE(out.close());
    }
    EXPECT_EQ(TempDir::read(path).size(), 10u);
    {
        UserStream in(path.c_str(), true);
        EXPECT_EQ(in.readDword(), 7u);
        EXPECT_EQ(in.readFloat(), 1.5f);
        EXPECT_EQ(in.readWord(), 'a' | ('b' << 8));
        EXPECT_FALSE(in.isFailed());
        EXPECT_EQ(in.readDouble(), 0.0); // nothing left
        EXPECT_TRUE(in.isFailed());
    }
    UserStream missing((dir.path() / "nothing" / "here.bin").string().c_str(), true);
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.isFailed());
    EXPECT_EQ(missing.readByte(), 0);
    EXPECT_FALSE(missing.close());

    UserStream unwritable((dir.path() / "nothing" / "here.bin").string().c_str(), false);
    unwritable.storeDword(1);
    EXPECT_FALSE(unwritable.close());
}

} // namespace
