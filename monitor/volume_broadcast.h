// What a device-change broadcast reports, decided without the platform: which event,
// which drive letter and which line. The Win32 glue feeds it the message as received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The platform's numbers, repeated so this file builds without <windows.h>; the glue
// checks them against the platform's own names at compile time.
constexpr std::uint32_t DeviceChangeMessage = 0x0219;         // WM_DEVICECHANGE
constexpr std::uintptr_t DeviceArrivalEvent = 0x8000;         // DBT_DEVICEARRIVAL
constexpr std::uintptr_t DeviceRemoveCompleteEvent = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr std::int32_t VolumeDeviceType = 2;                  // DBT_DEVTYP_VOLUME

// The handler's own copy of a DEV_BROADCAST_VOLUME: five fields, 18 bytes, little-endian.
struct VolumeBroadcastRecord {
  std::int32_t dbcv_size = 0;
  std::int32_t dbcv_devicetype = 0;
  std::int32_t dbcv_reserved = 0;
  std::int32_t dbcv_unitmask = 0;
  std::int16_t dbcv_flags = 0;
};
constexpr int VolumeBroadcastRecordLength = 18;

// Copies the record at `address`, but never more bytes than its own size field declares
// nor than `readable`, the bytes there that can be read at all, so a shorter record of
// another device type is not read past its end; fields it does not cover stay zero.
VolumeBroadcastRecord CopyVolumeBroadcastRecord(const void* address, std::size_t readable);

// The lowest set bit among bits 0 to 25 names the letter, "A" for bit 0; "[" when none is.
std::string DriveLetterFromUnitMask(std::int32_t unitMask);

enum class VolumeChange { None, Arrival, Removal };

struct VolumeReport {
  VolumeChange change = VolumeChange::None;
  std::string letter;
};

// Decides what one window message reports, `readable` bytes being readable at lParam.
// Anything but the arrival or removal of a volume, and a message without a record,
// reports nothing.
VolumeReport ReadVolumeReport(std::uint32_t message, std::uintptr_t wParam, const void* lParam,
                              std::size_t readable);

// The line for the upper box: the event's message, the letter and a line end.
std::string ReportLine(const VolumeReport& report);

// The two report messages, code page 936 bytes.
extern const char ArrivalMessage[];
extern const char RemovalMessage[];
