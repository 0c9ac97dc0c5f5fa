#pragma once

namespace printdeck {

// The firmware manager's own fixed texts. They are not in the string table,
// so the window and the command line take them from here to say the same.
inline constexpr const char* kFirmwareTitle = "Firmware Download Manager";
inline constexpr const char* kFirmwareFileFilter = "Firmware File(*.fls)|*.fls||";
inline constexpr const char* kFirmwareSelectFile = "Select Firmware File(*.fls). ";
inline constexpr const char* kFirmwareReady = "Ready firmware download.";
inline constexpr const char* kFirmwareFileOpenError = "Error : File Open Error!";
inline constexpr const char* kFirmwareFileTooLarge = "Error : Firmware file is too large!";
inline constexpr const char* kFirmwareFileEmpty = "Error : Firmware file is empty!";
inline constexpr const char* kFirmwareDownloading =
    "Firmware is downloading...Don't turn off the printer!!!";
inline constexpr const char* kFirmwareOpenPortError = "Error : OpenPort! Please check printer";
inline constexpr const char* kFirmwareSendFailed = "Error : Send Failed!";
inline constexpr const char* kFirmwareSuccess = "Success to download firmware!";
inline constexpr const char* kFirmwareFinished =
    "Finished to download firmware and Reset the printer!";

}  // namespace printdeck
