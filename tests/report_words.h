// The report texts as Unicode words, so the program's code page 936 bytes can be checked
// against what they must say rather than against the program's own constants.
#pragma once

#include <windows.h>

#include <string>

// 您的存储设备已经插入,具体文件已经在下面显示，盘符:
inline const std::wstring ArrivalWords =
    L"\u60A8\u7684\u5B58\u50A8\u8BBE\u5907\u5DF2\u7ECF\u63D2\u5165,"
    L"\u5177\u4F53\u6587\u4EF6\u5DF2\u7ECF\u5728\u4E0B\u9762\u663E\u793A\uFF0C\u76D8\u7B26:";
// 您的存储设备已经拔除，盘符:
inline const std::wstring RemovalWords =
    L"\u60A8\u7684\u5B58\u50A8\u8BBE\u5907\u5DF2\u7ECF\u62D4\u9664\uFF0C\u76D8\u7B26:";

// Empty when the bytes are not valid code page 936.
inline std::wstring FromCodePage936(const std::string& bytes) {
  std::wstring wide(bytes.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                          wide.data(), static_cast<int>(wide.size()))));
  return wide;
}
