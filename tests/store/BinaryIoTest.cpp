// The little-endian reader and writer shared by the store and the engine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>
#include <vector>

#include "common/store/BinaryReader.h"
#include "common/store/BinaryWriter.h"
#include "tests/support/TempDir.h"

namespace {

TEST(BinaryIo, WriterLaysOutLittleEndian) {
  BinaryWriter w;
  EXPECT_TRUE(w.WriteU8(0xAB));
  EXPECT_TRUE(w.WriteU16(0x1234));
  EXPECT_TRUE(w.WriteU32(0xDEADBEEF));
  EXPECT_TRUE(w.WriteI32(-2));
  EXPECT_TRUE(w.WriteU64(0x0102030405060708ULL));
  const std::vector<std::uint8_t> expected = {0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xFE, 0xFF, 0xFF,
                                              0xFF, 8,    7,    6,    5,    4,    3,    2,    1};
  EXPECT_EQ(w.Data(), expected);
  EXPECT_EQ(w.Position(), expected.size());

  BinaryReader r(w.Data());
  std::uint8_t u8 = 0;
  std::uint16_t u16 = 0;
  std::uint32_t u32 = 0;
  std::int32_t i32 = 0;
  std::uint64_t u64 = 0;
  ASSERT_TRUE(r.ReadU8(u8) && r.ReadU16(u16) && r.ReadU32(u32) && r.ReadI32(i32) && r.ReadU64(u64));
  EXPECT_EQ(u8, 0xAB);
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0xDEADBEEFu);
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(u64, 0x0102030405060708ULL);
  EXPECT_TRUE(r.AtEnd());
}

TEST(BinaryIo, ReaderNeverPassesTheEnd) {
  const std::uint8_t data[] = {1, 2, 3};
  BinaryReader r(data);
  std::uint16_t u16 = 0;
  ASSERT_TRUE(r.ReadU16(u16));
  EXPECT_EQ(u16, 0x0201);
  EXPECT_FALSE(r.ReadU16(u16));
  EXPECT_FALSE(r.Skip(5));
  std::vector<std::uint8_t> bytes;
  BinaryReader big(data);
  EXPECT_FALSE(big.ReadBytes(bytes, 0xFFFF));
  EXPECT_FALSE(big.Failed());  // the end of data is not an error
}

TEST(BinaryIo, LongByteRunsReadWholeAcrossTheirGrowthSteps) {
  std::vector<std::uint8_t> data(20000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  for (const std::size_t count : {0, 4096, 4097, 12289, 20000}) {
    BinaryReader r(data);
    std::vector<std::uint8_t> bytes{9};
    ASSERT_TRUE(r.ReadBytes(bytes, count)) << count;
    EXPECT_EQ(bytes,
              std::vector<std::uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count)));
    EXPECT_EQ(r.Position(), count);
  }
}

TEST(BinaryIo, DescriptorReaderCrossesItsBuffer) {
  testsupport::TempDir dir;
  const auto path = dir.Path() / "data";
  std::string bytes(100, '\0');
  std::iota(bytes.begin(), bytes.end(), 0);
  ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  BinaryReader r(fd, 16);
  std::uint8_t b = 0;
  ASSERT_TRUE(r.ReadU8(b));
  std::uint64_t v = 0;
  ASSERT_TRUE(r.ReadU64(v));  // bytes 1..8
  EXPECT_EQ(v, 0x0807060504030201ULL);
  ASSERT_TRUE(r.Skip(10));  // to 19, across the first buffer
  ASSERT_TRUE(r.ReadU64(v));
  EXPECT_EQ(v, 0x1A19181716151413ULL);
  EXPECT_EQ(r.Position(), 27u);
  std::vector<std::uint8_t> rest;
  ASSERT_TRUE(r.ReadBytes(rest, 73));
  EXPECT_EQ(rest.back(), 99);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_FALSE(r.ReadU8(b));
  close(fd);
}

TEST(BinaryIo, DescriptorWriterReportsFailure) {
  const int fd = open("/dev/full", O_WRONLY);
  ASSERT_GE(fd, 0);
  BinaryWriter w(fd, 8);
  w.WriteU32(1);
  EXPECT_FALSE(w.WriteU64(2));  // crosses the threshold: flushed, and the disk is full
  EXPECT_TRUE(w.Failed());
  EXPECT_FALSE(w.WriteU8(3));
  EXPECT_FALSE(w.Flush());
  close(fd);
}

}  // namespace
