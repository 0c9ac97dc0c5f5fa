#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace printdeck {

// Identifiers of the user-interface texts. They are the interface between the
// program and its translation catalogues: never renumber them.

// Main window and about box.
inline constexpr int IDS_ABOUT_PRINTDECK = 101;
inline constexpr int IDS_SELECT_MENU_HELP = 102;
inline constexpr int IDS_APP_VERSION = 103;
inline constexpr int IDS_PORT = 104;
inline constexpr int IDS_PRINT_DENSITY = 106;

// Code page list of the settings editor; 128 stands once per reserved position.
inline constexpr int IDS_CODEPAGE_PC437 = 107;
inline constexpr int IDS_CODEPAGE_KATAKANA = 108;
inline constexpr int IDS_CODEPAGE_PC850 = 109;
inline constexpr int IDS_CODEPAGE_PC860 = 110;
inline constexpr int IDS_CODEPAGE_PC863 = 111;
inline constexpr int IDS_CODEPAGE_PC865 = 112;
inline constexpr int IDS_CODEPAGE_WPC1252 = 113;
inline constexpr int IDS_CODEPAGE_PC866 = 114;
inline constexpr int IDS_CODEPAGE_PC852 = 115;
inline constexpr int IDS_CODEPAGE_PC858 = 116;
inline constexpr int IDS_CODEPAGE_PC862 = 117;
inline constexpr int IDS_CODEPAGE_PC864 = 118;
inline constexpr int IDS_CODEPAGE_THAI42 = 119;
inline constexpr int IDS_CODEPAGE_WPC1253 = 120;
inline constexpr int IDS_CODEPAGE_WPC1254 = 121;
inline constexpr int IDS_CODEPAGE_WPC1257 = 122;
inline constexpr int IDS_CODEPAGE_FARSI = 123;
inline constexpr int IDS_CODEPAGE_WPC1251 = 124;
inline constexpr int IDS_CODEPAGE_PC737 = 125;
inline constexpr int IDS_CODEPAGE_PC775 = 126;
inline constexpr int IDS_CODEPAGE_THAI14 = 127;
inline constexpr int IDS_CODEPAGE_RESERVED = 128;
inline constexpr int IDS_CODEPAGE_WPC1255 = 129;
inline constexpr int IDS_CODEPAGE_THAI11 = 130;
inline constexpr int IDS_CODEPAGE_THAI18 = 131;
inline constexpr int IDS_CODEPAGE_PC855 = 132;
inline constexpr int IDS_CODEPAGE_PC857 = 133;
inline constexpr int IDS_CODEPAGE_PC928 = 134;
inline constexpr int IDS_CODEPAGE_THAI16 = 135;
inline constexpr int IDS_CODEPAGE_WPC1256 = 136;
inline constexpr int IDS_CODEPAGE_WPC1258 = 137;
inline constexpr int IDS_CODEPAGE_KHMER = 138;
inline constexpr int IDS_CODEPAGE_WPC1250 = 139;

// Card-reader (MSR) trigger list.
inline constexpr int IDS_MSR_TRACK12_COMMAND = 140;
inline constexpr int IDS_MSR_TRACK23_COMMAND = 141;
inline constexpr int IDS_MSR_TRACK1_AUTO = 142;
inline constexpr int IDS_MSR_TRACK2_AUTO = 143;
inline constexpr int IDS_MSR_TRACK12_AUTO = 144;
inline constexpr int IDS_MSR_TRACK3_AUTO = 145;
inline constexpr int IDS_MSR_TRACK23_AUTO = 146;
inline constexpr int IDS_MSR_NOT_USED = 147;
inline constexpr int IDS_MSR_TRACK123_COMMAND = 148;
inline constexpr int IDS_MSR_TRACK123_AUTO = 149;

// Settings editor and NV image manager.
inline constexpr int IDS_FONT = 150;
inline constexpr int IDS_DISABLE_ALL = 151;
inline constexpr int IDS_BLUETOOTH = 152;
inline constexpr int IDS_WLAN = 153;
inline constexpr int IDS_COLUMN_NO = 154;
inline constexpr int IDS_COLUMN_SIZE = 155;
inline constexpr int IDS_COLUMN_NAME = 156;
inline constexpr int IDS_INVALID_VALUE = 157;
inline constexpr int IDS_ADDRESS_EXISTS = 158;
inline constexpr int IDS_NV_AREA_TOO_SMALL = 159;
inline constexpr int IDS_FAILED_TO_LOAD_IMAGE = 161;
inline constexpr int IDS_NO_BMP_SELECTED = 162;
inline constexpr int IDS_CONFIRM_REMOVE_SELECTION = 163;
inline constexpr int IDS_SELECT_ADDRESS = 165;
inline constexpr int IDS_DOWNLOAD_CANCELLED = 166;
inline constexpr int IDS_PRINT_FILES_SAVED = 167;
inline constexpr int IDS_PRINTDECK = 168;
inline constexpr int IDS_FAILED_TO_SAVE_VMSM = 169;
inline constexpr int IDS_VMSM_SET_SUCCESS = 171;
inline constexpr int IDS_USB_NOT_CONNECTED = 172;
inline constexpr int IDS_2D_BARCODE_BOOT_WARNING = 173;
inline constexpr int IDS_DOWNLOAD_STOPPED = 174;
inline constexpr int IDS_PRINT_SELECTED_NV = 175;
inline constexpr int IDS_PRINT_ALL_NV = 176;

// Progress labels and failure messages of the printer runs.
inline constexpr int IDS_PORT_OPEN_ERROR = 181;
inline constexpr int IDS_OPEN_PORT = 182;
inline constexpr int IDS_MODEL_NOT_MATCHED = 183;
inline constexpr int IDS_CHECK_PRINTER = 184;
inline constexpr int IDS_FAILED_TO_GET_VERSION = 185;
inline constexpr int IDS_FAILED_TO_READ_NV_ADDRESS = 186;
inline constexpr int IDS_GET_NV_ADDRESS = 187;
inline constexpr int IDS_DELETE_SELECTED_NV = 188;
inline constexpr int IDS_FAILED_TO_WRITE_DATA = 189;
inline constexpr int IDS_NOT_SUPPORTED = 190;
inline constexpr int IDS_DELETE_ALL_NV = 191;
inline constexpr int IDS_START_DOWNLOAD = 192;
inline constexpr int IDS_DOWNLOADING = 193;
inline constexpr int IDS_FINISH_DOWNLOAD = 194;
inline constexpr int IDS_GET_STATUS = 195;
inline constexpr int IDS_SET_STATUS = 196;
inline constexpr int IDS_FAILED_TO_SET_FACTORY_DEFAULT = 197;
inline constexpr int IDS_FAILED_TO_GET_CODE_PAGE = 198;
inline constexpr int IDS_FAILED_TO_GET_MSR_MODE = 199;
inline constexpr int IDS_FAILED_TO_READ_SW1 = 200;
inline constexpr int IDS_FAILED_TO_READ_SW2 = 201;
inline constexpr int IDS_FAILED_TO_READ_SW3 = 202;
inline constexpr int IDS_FAILED_TO_READ_SW5 = 203;
inline constexpr int IDS_FAILED_TO_READ_SW6 = 204;
inline constexpr int IDS_FAILED_TO_READ_SW7 = 205;
inline constexpr int IDS_FAILED_TO_READ_SW51 = 206;
inline constexpr int IDS_FAILED_TO_READ_IFSW1 = 207;
inline constexpr int IDS_FAILED_TO_READ_IFSW2 = 208;
inline constexpr int IDS_FAILED_TO_READ_IFSW3 = 209;
inline constexpr int IDS_FAILED_TO_READ_IFSW4 = 210;
inline constexpr int IDS_FAILED_TO_READ_TRACK1_SENTINEL = 211;
inline constexpr int IDS_FAILED_TO_READ_TRACK2_SENTINEL = 212;
inline constexpr int IDS_FAILED_TO_READ_TRACK3_SENTINEL = 213;
inline constexpr int IDS_FAILED_TO_SET_TRACK1_SENTINEL = 214;
inline constexpr int IDS_FAILED_TO_SET_TRACK2_SENTINEL = 215;
inline constexpr int IDS_FAILED_TO_SET_TRACK3_SENTINEL = 216;
inline constexpr int IDS_FAILED_TO_READ_BT_CONNECTION_MODE = 217;
inline constexpr int IDS_FAILED_TO_READ_BT_DEVICE_NAME = 218;
inline constexpr int IDS_FAILED_TO_READ_BT_PIN = 219;
inline constexpr int IDS_FAILED_TO_READ_BT_ENCRYPTION = 220;
inline constexpr int IDS_FAILED_TO_READ_MSW1 = 221;
inline constexpr int IDS_FAILED_TO_READ_MSW2 = 222;
inline constexpr int IDS_FAILED_TO_READ_MSW3 = 223;
inline constexpr int IDS_FAILED_TO_READ_MSW5 = 224;
inline constexpr int IDS_FAILED_TO_READ_MSW6 = 225;
inline constexpr int IDS_FAILED_TO_READ_MSW7 = 226;
inline constexpr int IDS_FAILED_TO_READ_MSW8 = 227;
inline constexpr int IDS_FAILED_TO_SET_INITIAL_COMMAND = 228;
inline constexpr int IDS_FAILED_TO_SET_BLUETOOTH = 229;
inline constexpr int IDS_FAILED_TO_SET_RF_INTERFACE = 230;
inline constexpr int IDS_FAILED_TO_WRITE_SETTING_END = 231;
inline constexpr int IDS_FAILED_TO_SET_SERIAL = 232;
inline constexpr int IDS_COMPLETED = 233;

// List entries and window titles.
inline constexpr int IDS_NONE_UPPER = 234;
inline constexpr int IDS_NONE = 235;
inline constexpr int IDS_SENTINEL_FORMAT_ASCII = 236;
inline constexpr int IDS_SENTINEL_FORMAT_HEXA = 237;
inline constexpr int IDS_VMSM_TITLE = 238;
inline constexpr int IDS_NV_MANAGER_TITLE = 239;

struct StringTableEntry {
    int id;
    std::string_view text;
};

// The program's own texts in ascending identifier order.
std::span<const StringTableEntry> BuiltInStringTable();

// The program's own text for id, or the empty text when id has no entry.
std::string_view BuiltInString(int id);

// Supplies a translated text for an identifier, or nothing to keep the
// built-in one. It may call BuiltInString, but not LoadString.
using StringTranslator = std::function<std::optional<std::string>(int id)>;

// Installs the translator used by LoadString; an empty function removes it.
void SetStringTranslator(StringTranslator translator);

// The text for id: the translator's when it has one, else the built-in text;
// the empty text for an identifier without an entry.
std::string LoadString(int id);

}  // namespace printdeck
