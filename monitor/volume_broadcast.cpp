#include "monitor/volume_broadcast.h"

#include <algorithm>
#include <cstring>

#include "text/texts.h"

// "您的存储设备已经插入,具体文件已经在下面显示，盘符:" in code page 936, 50 bytes.
const char ArrivalMessage[] =
    "\xC4\xFA\xB5\xC4\xB4\xE6\xB4\xA2\xC9\xE8\xB1\xB8\xD2\xD1\xBE\xAD\xB2\xE5\xC8\xEB"
    ","
    "\xBE\xDF\xCC\xE5\xCE\xC4\xBC\xFE\xD2\xD1\xBE\xAD\xD4\xDA\xCF\xC2\xC3\xE6\xCF\xD4"
    "\xCA\xBE\xA3\xAC\xC5\xCC\xB7\xFB:";
// "您的存储设备已经拔除，盘符:" in code page 936, 27 bytes.
const char RemovalMessage[] =
    "\xC4\xFA\xB5\xC4\xB4\xE6\xB4\xA2\xC9\xE8\xB1\xB8\xD2\xD1\xBE\xAD\xB0\xCE\xB3\xFD"
    "\xA3\xAC\xC5\xCC\xB7\xFB:";

namespace {

std::int32_t LittleEndianInt32(const unsigned char* bytes) {
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
      static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

VolumeBroadcastRecord CopyVolumeBroadcastRecord(const void* address, std::size_t readable) {
  if (readable < 4) return {};
  unsigned char bytes[VolumeBroadcastRecordLength] = {};
  std::memcpy(bytes, address, 4);
  const std::int32_t declaredSize = LittleEndianInt32(bytes);
  const std::size_t length =
      std::min({static_cast<std::size_t>(std::max<std::int32_t>(declaredSize, 0)), readable,
                static_cast<std::size_t>(VolumeBroadcastRecordLength)});
  if (length > 4) {
    std::memcpy(bytes + 4, static_cast<const unsigned char*>(address) + 4, length - 4);
  }

  VolumeBroadcastRecord record;
  record.dbcv_size = declaredSize;
  record.dbcv_devicetype = LittleEndianInt32(bytes + 4);
  record.dbcv_reserved = LittleEndianInt32(bytes + 8);
  record.dbcv_unitmask = LittleEndianInt32(bytes + 12);
  record.dbcv_flags = static_cast<std::int16_t>(bytes[16] | bytes[17] << 8);
  return record;
}

std::string DriveLetterFromUnitMask(std::int32_t unitMask) {
  std::uint32_t mask = static_cast<std::uint32_t>(unitMask);
  int index = 0;
  while (index <= 25 && (mask & 1) == 0) {
    mask >>= 1;
    ++index;
  }
  return std::string(1, static_cast<char>(65 + index));
}

VolumeReport ReadVolumeReport(std::uint32_t message, std::uintptr_t wParam, const void* lParam,
                              std::size_t readable) {
  VolumeReport report;
  if (message != DeviceChangeMessage || lParam == nullptr) return report;
  VolumeChange change = VolumeChange::None;
  if (wParam == DeviceArrivalEvent) {
    change = VolumeChange::Arrival;
  } else if (wParam == DeviceRemoveCompleteEvent) {
    change = VolumeChange::Removal;
  } else {
    return report;
  }
  const VolumeBroadcastRecord record = CopyVolumeBroadcastRecord(lParam, readable);
  if (record.dbcv_devicetype != VolumeDeviceType) return report;
  report.change = change;
  report.letter = DriveLetterFromUnitMask(record.dbcv_unitmask);
  return report;
}

std::string ReportLine(const VolumeReport& report) {
  const char* message = report.change == VolumeChange::Arrival ? ArrivalMessage : RemovalMessage;
  return JoinTexts({message, report.letter.c_str(), "\r\n"});
}
