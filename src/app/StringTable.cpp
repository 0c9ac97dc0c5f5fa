#include "app/StringTable.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

namespace printdeck {

namespace {

// "\r\n" is the line break of a message box text.
constexpr std::array kStringTable = std::to_array<StringTableEntry>({
    {IDS_ABOUT_PRINTDECK, "&About Printdeck"},
    {IDS_SELECT_MENU_HELP,
     " * Select Menu \r\n This application is Printdeck. You can change communication setting, "
     "code page and download NV image, etc."},
    {IDS_APP_VERSION, "Printdeck for PC V2.2.3"},
    {IDS_PORT, "Port"},
    {IDS_PRINT_DENSITY, "print density"},
    {IDS_CODEPAGE_PC437, "PC437 - USA, Standard Europe"},
    {IDS_CODEPAGE_KATAKANA, "Katakana"},
    {IDS_CODEPAGE_PC850, "PC850 - Multilingual"},
    {IDS_CODEPAGE_PC860, "PC860 - Portuguese"},
    {IDS_CODEPAGE_PC863, "PC863 - Canadian-French"},
    {IDS_CODEPAGE_PC865, "PC865 - Nordic"},
    {IDS_CODEPAGE_WPC1252, "WPC1252 - Latin I"},
    {IDS_CODEPAGE_PC866, "PC866 - Cyrillic #2"},
    {IDS_CODEPAGE_PC852, "PC852 - Latin 2"},
    {IDS_CODEPAGE_PC858, "PC858 - Euro"},
    {IDS_CODEPAGE_PC862, "PC862 - Hebrew DOS code"},
    {IDS_CODEPAGE_PC864, "PC864 - Arabic"},
    {IDS_CODEPAGE_THAI42, "Thai character code 42"},
    {IDS_CODEPAGE_WPC1253, "WPC1253 - Greek"},
    {IDS_CODEPAGE_WPC1254, "WPC1254 - Turkish"},
    {IDS_CODEPAGE_WPC1257, "WPC1257 - Baltic"},
    {IDS_CODEPAGE_FARSI, "Farsi"},
    {IDS_CODEPAGE_WPC1251, "WPC1251 - Cyrillic"},
    {IDS_CODEPAGE_PC737, "PC737 - Greek"},
    {IDS_CODEPAGE_PC775, "PC775 - Baltic"},
    {IDS_CODEPAGE_THAI14, "Thai character code 14"},
    {IDS_CODEPAGE_RESERVED, "Reserved"},
    {IDS_CODEPAGE_WPC1255, "WPC1255 - Hebrew new code"},
    {IDS_CODEPAGE_THAI11, "Thai character code 11"},
    {IDS_CODEPAGE_THAI18, "Thai character code 18"},
    {IDS_CODEPAGE_PC855, "PC855 - Cyrillic"},
    {IDS_CODEPAGE_PC857, "PC857 - Turkish"},
    {IDS_CODEPAGE_PC928, "PC928 - Greek"},
    {IDS_CODEPAGE_THAI16, "Thai character code 16"},
    {IDS_CODEPAGE_WPC1256, "WPC1256 - Arabic"},
    {IDS_CODEPAGE_WPC1258, "WPC1258 - Vietnamese"},
    {IDS_CODEPAGE_KHMER, "KHMER"},
    {IDS_CODEPAGE_WPC1250, "WPC1250 - Latin 2"},
    {IDS_MSR_TRACK12_COMMAND, "Track 1/2 read mode command"},
    {IDS_MSR_TRACK23_COMMAND, "Track 2/3 read mode command"},
    {IDS_MSR_TRACK1_AUTO, "Track 1 read mode AUTO trigger"},
    {IDS_MSR_TRACK2_AUTO, "Track 2 read mode AUTO trigger"},
    {IDS_MSR_TRACK12_AUTO, "Track 1/2 read mode AUTO trigger"},
    {IDS_MSR_TRACK3_AUTO, "Track 3 read mode AUTO trigger"},
    {IDS_MSR_TRACK23_AUTO, "Track 2/3 read mode AUTO trigger"},
    {IDS_MSR_NOT_USED, "Not used MSR trigger"},
    {IDS_MSR_TRACK123_COMMAND, "Track 1/2/3 read mode command"},
    {IDS_MSR_TRACK123_AUTO, "Track 1/2/3 read mode AUTO trigger"},
    {IDS_FONT, "font"},
    {IDS_DISABLE_ALL, "Disable All"},
    {IDS_BLUETOOTH, "Bluetooth"},
    {IDS_WLAN, "WLAN"},
    {IDS_COLUMN_NO, "No."},
    {IDS_COLUMN_SIZE, "Size"},
    {IDS_COLUMN_NAME, "Name"},
    {IDS_INVALID_VALUE, "Invalid value!"},
    {IDS_ADDRESS_EXISTS, "Exists address!"},
    {IDS_NV_AREA_TOO_SMALL, "NV image area too small!"},
    {IDS_FAILED_TO_LOAD_IMAGE, "Failed to load image file!"},
    {IDS_NO_BMP_SELECTED, "Without a BMP file being selected."},
    {IDS_CONFIRM_REMOVE_SELECTION, "Do you want to remove all of selection?"},
    {IDS_SELECT_ADDRESS, "Please select address!"},
    {IDS_DOWNLOAD_CANCELLED, "Cancel to download image."},
    {IDS_PRINT_FILES_SAVED, "Saving print files are finished."},
    {IDS_PRINTDECK, "Printdeck"},
    {IDS_FAILED_TO_SAVE_VMSM,
     "Failed to save VMSM configuration!\r\nPlease check your printer state."},
    {IDS_VMSM_SET_SUCCESS, "Success to set VMSM configuration! \r\nPlease reset printer power."},
    {IDS_USB_NOT_CONNECTED, "Not connected USB printer!"},
    {IDS_2D_BARCODE_BOOT_WARNING,
     "If you choose more than 2 types of 2D barcodes,\r\n it may take longer to boot the printer."},
    {IDS_DOWNLOAD_STOPPED, "Download process is stoped..."},
    {IDS_PRINT_SELECTED_NV, "Print selected NV image..."},
    {IDS_PRINT_ALL_NV, "Print all NV image..."},
    {IDS_PORT_OPEN_ERROR, "Port open error!"},
    {IDS_OPEN_PORT, "Open port..."},
    {IDS_MODEL_NOT_MATCHED, "Printer model is not matched!"},
    {IDS_CHECK_PRINTER, "Check printer..."},
    {IDS_FAILED_TO_GET_VERSION, "Failed to get printer version!"},
    {IDS_FAILED_TO_READ_NV_ADDRESS, "Failed to read NV image address!"},
    {IDS_GET_NV_ADDRESS, "Get NV image address..."},
    {IDS_DELETE_SELECTED_NV, "Delete selected NV image..."},
    {IDS_FAILED_TO_WRITE_DATA, " Failed to write data!\r\nPlease check your printer."},
    {IDS_NOT_SUPPORTED, " Not supported operation!"},
    {IDS_DELETE_ALL_NV, "Delete all NV image..."},
    {IDS_START_DOWNLOAD, "Start download..."},
    {IDS_DOWNLOADING, " Downloading..."},
    {IDS_FINISH_DOWNLOAD, "Finish download..."},
    {IDS_GET_STATUS, "Get status"},
    {IDS_SET_STATUS, "Set status"},
    {IDS_FAILED_TO_SET_FACTORY_DEFAULT, "Failed to set factory default!"},
    {IDS_FAILED_TO_GET_CODE_PAGE, "Failed to get code page!"},
    {IDS_FAILED_TO_GET_MSR_MODE, "Failed to get MSR mode!"},
    {IDS_FAILED_TO_READ_SW1, "Failed to read SW1 data!"},
    {IDS_FAILED_TO_READ_SW2, "Failed to read SW2 data!"},
    {IDS_FAILED_TO_READ_SW3, "Failed to read SW3 data!"},
    {IDS_FAILED_TO_READ_SW5, "Failed to read SW5 data!"},
    {IDS_FAILED_TO_READ_SW6, "Failed to read SW6 data!"},
    {IDS_FAILED_TO_READ_SW7, "Failed to read SW7 data!"},
    {IDS_FAILED_TO_READ_SW51, "Failed to read SW51 data!"},
    {IDS_FAILED_TO_READ_IFSW1, "Failed to read IFSW1 data!"},
    {IDS_FAILED_TO_READ_IFSW2, "Failed to read IFSW2 data!"},
    {IDS_FAILED_TO_READ_IFSW3, "Failed to read IFSW3 data!"},
    {IDS_FAILED_TO_READ_IFSW4, "Failed to read IFSW4 data!"},
    {IDS_FAILED_TO_READ_TRACK1_SENTINEL, "Failed to read track1 sentinal code!"},
    {IDS_FAILED_TO_READ_TRACK2_SENTINEL, "Failed to read track2 sentinal code!"},
    {IDS_FAILED_TO_READ_TRACK3_SENTINEL, "Failed to read track3 sentinal code!"},
    {IDS_FAILED_TO_SET_TRACK1_SENTINEL, "Failed to set sentinal character of track1!"},
    {IDS_FAILED_TO_SET_TRACK2_SENTINEL, "Failed to set sentinal character of track2!"},
    {IDS_FAILED_TO_SET_TRACK3_SENTINEL, "Failed to set sentinal character of track3!"},
    {IDS_FAILED_TO_READ_BT_CONNECTION_MODE, "Failed to read Bluetooth connection mode!"},
    {IDS_FAILED_TO_READ_BT_DEVICE_NAME, "Failed to read Bluetooth device name!"},
    {IDS_FAILED_TO_READ_BT_PIN, "Failed to read Bluetooth PIN code!"},
    {IDS_FAILED_TO_READ_BT_ENCRYPTION, "Failed to read Bluetooth encryption infomation!"},
    {IDS_FAILED_TO_READ_MSW1, "Failed to read MSW1 data!"},
    {IDS_FAILED_TO_READ_MSW2, "Failed to read MSW2 data!"},
    {IDS_FAILED_TO_READ_MSW3, "Failed to read MSW3 data!"},
    {IDS_FAILED_TO_READ_MSW5, "Failed to read MSW5 data!"},
    {IDS_FAILED_TO_READ_MSW6, "Failed to read MSW6 data!"},
    {IDS_FAILED_TO_READ_MSW7, "Failed to read MSW7 data!"},
    {IDS_FAILED_TO_READ_MSW8, "Failed to read MSW8 data!"},
    {IDS_FAILED_TO_SET_INITIAL_COMMAND, "Failed to set initial command!"},
    {IDS_FAILED_TO_SET_BLUETOOTH, "Failed to set Bluetooth infomation!"},
    {IDS_FAILED_TO_SET_RF_INTERFACE, "Failed to set RF Interface!"},
    {IDS_FAILED_TO_WRITE_SETTING_END, "Failed to write setting end command!"},
    {IDS_FAILED_TO_SET_SERIAL, "Failed to set serial infomation!"},
    {IDS_COMPLETED, "Completed."},
    {IDS_NONE_UPPER, "NONE"},
    {IDS_NONE, "None"},
    {IDS_SENTINEL_FORMAT_ASCII, "ASCII (ex: \\\"START(1)\\\")"},
    {IDS_SENTINEL_FORMAT_HEXA, "HEXA (ex: \\\"0A 1F 10 4C\\\")"},
    {IDS_VMSM_TITLE, "Virtual Memory Switch Manager"},
    {IDS_NV_MANAGER_TITLE, "NV Image Manager"},
});

static_assert(std::ranges::is_sorted(kStringTable, {}, &StringTableEntry::id),
              "lookups rely on ascending identifiers");

std::mutex g_translatorMutex;
StringTranslator g_translator;

StringTranslator CurrentTranslator() {
    std::lock_guard lock(g_translatorMutex);
    return g_translator;
}

const StringTableEntry* FindEntry(int id) {
    const auto* it = std::ranges::lower_bound(kStringTable, id, {}, &StringTableEntry::id);
    return it != kStringTable.end() && it->id == id ? it : nullptr;
}

}  // namespace

std::span<const StringTableEntry> BuiltInStringTable() {
    return kStringTable;
}

std::string_view BuiltInString(int id) {
    const StringTableEntry* entry = FindEntry(id);
    return entry ? entry->text : std::string_view();
}

void SetStringTranslator(StringTranslator translator) {
    std::lock_guard lock(g_translatorMutex);
    g_translator = std::move(translator);
}

std::string LoadString(int id) {
    const StringTableEntry* entry = FindEntry(id);
    if (entry == nullptr) {
        return {};
    }
    // Called outside the lock, so a slow catalogue never blocks the installer.
    if (StringTranslator translator = CurrentTranslator()) {
        if (std::optional<std::string> translated = translator(id)) {
            return std::move(*translated);
        }
    }
    return std::string(entry->text);
}

}  // namespace printdeck
