#include "monitor/volume_broadcast.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <algorithm>
#include <vector>

namespace {

std::vector<unsigned char> VolumeRecordBytes(std::int32_t size, std::int32_t type,
                                             std::int32_t unitMask, std::int16_t flags) {
  std::vector<unsigned char> bytes(20, 0);
  std::memcpy(&bytes[0], &size, 4);
  std::memcpy(&bytes[4], &type, 4);
  std::memcpy(&bytes[12], &unitMask, 4);
  std::memcpy(&bytes[16], &flags, 2);
  return bytes;
}

}  // namespace

TEST(DriveLetterFromUnitMask, LowestSetBitAmongTheFirst26NamesTheLetter) {
  const struct {
    std::uint32_t mask;
    const char* letter;
  } cases[] = {
      {1u << 0, "A"},
      {1u << 4, "E"},
      {1u << 16, "Q"},
      {1u << 25, "Z"},
      {(1u << 3) | (1u << 5), "D"},
      {0, "["},
      {0xFC000000u, "["},
      {1u << 26, "["},
      {1u << 31, "["},
      {0xFFFFFFFFu, "A"},
      {(1u << 25) | (1u << 31), "Z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveLetterFromUnitMask(static_cast<std::int32_t>(c.mask)), c.letter)
        << std::hex << c.mask;
  }
}

TEST(CopyVolumeBroadcastRecord, ReadsTheFiveFieldsLittleEndian) {
  const auto bytes = VolumeRecordBytes(20, 2, 0x10, 0x0003);
  const VolumeBroadcastRecord record = CopyVolumeBroadcastRecord(bytes.data(), bytes.size());
  EXPECT_EQ(record.dbcv_size, 20);
  EXPECT_EQ(record.dbcv_devicetype, 2);
  EXPECT_EQ(record.dbcv_reserved, 0);
  EXPECT_EQ(record.dbcv_unitmask, 0x10);
  EXPECT_EQ(record.dbcv_flags, 3);
}

TEST(CopyVolumeBroadcastRecord, NeverReadsPastTheSizeTheRecordDeclares) {
  // Bytes past the declared size are poison: a copy that reads them shows it.
  const struct {
    std::int32_t declaredSize;
    std::int32_t expectedType;
    std::int32_t expectedMask;
    std::int16_t expectedFlags;
  } cases[] = {
      {0, 0, 0, 0},     {4, 0, 0, 0},     {-1, 0, 0, 0},    {INT32_MIN, 0, 0, 0},
      {8, 2, 0, 0},     {12, 2, 0, 0},    {14, 2, 0x10, 0}, {16, 2, 0x10, 0},
      {17, 2, 0x10, 1}, {18, 2, 0x10, 1}, {20, 2, 0x10, 1}, {0x7FFFFFFF, 2, 0x10, 1},
  };
  for (const auto& c : cases) {
    auto bytes = VolumeRecordBytes(c.declaredSize, 2, 0x10, 1);
    const auto declared = static_cast<std::size_t>(c.declaredSize);
    for (std::size_t i = 4; i < bytes.size(); ++i) {
      if (c.declaredSize >= 0 && i >= declared) bytes[i] = 0x7F;
      if (c.declaredSize < 0) bytes[i] = 0x7F;
    }
    const VolumeBroadcastRecord record = CopyVolumeBroadcastRecord(bytes.data(), bytes.size());
    EXPECT_EQ(record.dbcv_devicetype, c.expectedType) << c.declaredSize;
    EXPECT_EQ(record.dbcv_unitmask, c.expectedMask) << c.declaredSize;
    EXPECT_EQ(record.dbcv_flags, c.expectedFlags) << c.declaredSize;
  }
}

TEST(CopyVolumeBroadcastRecord, ReadsNoByteBeyondWhatIsReadable) {
  // Each record sits in a heap block of exactly its length, so that a read past the
  // end shows in a build with AddressSanitizer; its size field claims more or less.
  for (std::size_t length = 0; length <= 64; ++length) {
    for (const std::int32_t declared :
         {0, 4, 12, 17, 18, 20, 64, 0x7FFFFFFF, -1, static_cast<std::int32_t>(length)}) {
      const auto full = VolumeRecordBytes(declared, 2, 0x10, 1);
      std::vector<unsigned char> block(length);
      if (length > 0) std::memcpy(block.data(), full.data(), std::min(length, full.size()));
      const VolumeBroadcastRecord record =
          CopyVolumeBroadcastRecord(length == 0 ? nullptr : block.data(), length);
      const std::size_t copied = length < 4
                                     ? 0
                                     : std::min({length, std::size_t{18},
                                                 static_cast<std::size_t>(std::max(declared, 4))});
      EXPECT_EQ(record.dbcv_devicetype, copied >= 5 ? 2 : 0) << length << " " << declared;
      EXPECT_EQ(record.dbcv_unitmask, copied >= 13 ? 0x10 : 0) << length << " " << declared;
      EXPECT_EQ(record.dbcv_flags, copied >= 17 ? 1 : 0) << length << " " << declared;
    }
  }
}

TEST(ReadVolumeReport, ReportsOnlyArrivalAndRemovalOfVolumes) {
  const auto volumeE = VolumeRecordBytes(20, 2, 0x10, 0);
  const auto port = VolumeRecordBytes(12, 3, 0x10, 0);
  const struct {
    std::uint32_t message;
    std::uintptr_t wParam;
    const void* record;
    VolumeChange expected;
  } cases[] = {
      {0x0219, 0x8000, volumeE.data(), VolumeChange::Arrival},
      {0x0219, 0x8004, volumeE.data(), VolumeChange::Removal},
      {0x0219, 0x8001, volumeE.data(), VolumeChange::None},
      {0x0219, 0x8003, volumeE.data(), VolumeChange::None},
      {0x0219, 0x0007, volumeE.data(), VolumeChange::None},
      {0x0219, 0x8000, port.data(), VolumeChange::None},
      {0x0219, 0x8000, nullptr, VolumeChange::None},
      {0x0218, 0x8000, volumeE.data(), VolumeChange::None},
  };
  for (const auto& c : cases) {
    const VolumeReport report =
        ReadVolumeReport(c.message, c.wParam, c.record, c.record != nullptr ? 20 : 0);
    EXPECT_EQ(report.change, c.expected) << std::hex << c.message << " " << c.wParam;
    EXPECT_EQ(report.letter, c.expected == VolumeChange::None ? "" : "E");
  }
}

TEST(ReportLine, IsTheEventsMessageTheLetterAndALineEnd) {
  EXPECT_EQ(std::strlen(ArrivalMessage), 50u);
  EXPECT_EQ(std::strlen(RemovalMessage), 27u);
  EXPECT_EQ(ReportLine({VolumeChange::Arrival, "F"}), std::string(ArrivalMessage) + "F\r\n");
  EXPECT_EQ(ReportLine({VolumeChange::Removal, "F"}), std::string(RemovalMessage) + "F\r\n");
}
