#include "app/StringTable.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <utility>

namespace printdeck {

namespace {

// "\r\n" is the line break of a message box text. TABLE_TEXT marks each text
// for the translation tools (lupdate), which file it under its context.
#define TABLE_TEXT(context, text) text

constexpr std::array kStringTable = std::to_array<StringTableEntry>({
    {IDS_ABOUT_PRINTDECK, TABLE_TEXT("StringTable", "&About Printdeck")},
    {IDS_SELECT_MENU_HELP,
     TABLE_TEXT(
         "StringTable",
         " * Select Menu \r\n This application is Printdeck. You can change communication setting, "
         "code page and download NV image, etc.")},
    {IDS_APP_VERSION, TABLE_TEXT("StringTable", "Printdeck for PC V2.2.3")},
    {IDS_PORT, TABLE_TEXT("StringTable", "Port")},
    {IDS_PRINT_DENSITY, TABLE_TEXT("StringTable", "print density")},
    {IDS_CODEPAGE_PC437, TABLE_TEXT("StringTable", "PC437 - USA, Standard Europe")},
    {IDS_CODEPAGE_KATAKANA, TABLE_TEXT("StringTable", "Katakana")},
    {IDS_CODEPAGE_PC850, TABLE_TEXT("StringTable", "PC850 - Multilingual")},
    {IDS_CODEPAGE_PC860, TABLE_TEXT("StringTable", "PC860 - Portuguese")},
    {IDS_CODEPAGE_PC863, TABLE_TEXT("StringTable", "PC863 - Canadian-French")},
    {IDS_CODEPAGE_PC865, TABLE_TEXT("StringTable", "PC865 - Nordic")},
    {IDS_CODEPAGE_WPC1252, TABLE_TEXT("StringTable", "WPC1252 - Latin I")},
    {IDS_CODEPAGE_PC866, TABLE_TEXT("StringTable", "PC866 - Cyrillic #2")},
    {IDS_CODEPAGE_PC852, TABLE_TEXT("StringTable", "PC852 - Latin 2")},
    {IDS_CODEPAGE_PC858, TABLE_TEXT("StringTable", "PC858 - Euro")},
    {IDS_CODEPAGE_PC862, TABLE_TEXT("StringTable", "PC862 - Hebrew DOS code")},
    {IDS_CODEPAGE_PC864, TABLE_TEXT("StringTable", "PC864 - Arabic")},
    {IDS_CODEPAGE_THAI42, TABLE_TEXT("StringTable", "Thai character code 42")},
    {IDS_CODEPAGE_WPC1253, TABLE_TEXT("StringTable", "WPC1253 - Greek")},
    {IDS_CODEPAGE_WPC1254, TABLE_TEXT("StringTable", "WPC1254 - Turkish")},
    {IDS_CODEPAGE_WPC1257, TABLE_TEXT("StringTable", "WPC1257 - Baltic")},
    {IDS_CODEPAGE_FARSI, TABLE_TEXT("StringTable", "Farsi")},
    {IDS_CODEPAGE_WPC1251, TABLE_TEXT("StringTable", "WPC1251 - Cyrillic")},
    {IDS_CODEPAGE_PC737, TABLE_TEXT("StringTable", "PC737 - Greek")},
    {IDS_CODEPAGE_PC775, TABLE_TEXT("StringTable", "PC775 - Baltic")},
    {IDS_CODEPAGE_THAI14, TABLE_TEXT("StringTable", "Thai character code 14")},
    {IDS_CODEPAGE_RESERVED, TABLE_TEXT("StringTable", "Reserved")},
    {IDS_CODEPAGE_WPC1255, TABLE_TEXT("StringTable", "WPC1255 - Hebrew new code")},
    {IDS_CODEPAGE_THAI11, TABLE_TEXT("StringTable", "Thai character code 11")},
    {IDS_CODEPAGE_THAI18, TABLE_TEXT("StringTable", "Thai character code 18")},
    {IDS_CODEPAGE_PC855, TABLE_TEXT("StringTable", "PC855 - Cyrillic")},
    {IDS_CODEPAGE_PC857, TABLE_TEXT("StringTable", "PC857 - Turkish")},
    {IDS_CODEPAGE_PC928, TABLE_TEXT("StringTable", "PC928 - Greek")},
    {IDS_CODEPAGE_THAI16, TABLE_TEXT("StringTable", "Thai character code 16")},
    {IDS_CODEPAGE_WPC1256, TABLE_TEXT("StringTable", "WPC1256 - Arabic")},
    {IDS_CODEPAGE_WPC1258, TABLE_TEXT("StringTable", "WPC1258 - Vietnamese")},
    {IDS_CODEPAGE_KHMER, TABLE_TEXT("StringTable", "KHMER")},
    {IDS_CODEPAGE_WPC1250, TABLE_TEXT("StringTable", "WPC1250 - Latin 2")},
    {IDS_MSR_TRACK12_COMMAND, TABLE_TEXT("StringTable", "Track 1/2 read mode command")},
    {IDS_MSR_TRACK23_COMMAND, TABLE_TEXT("StringTable", "Track 2/3 read mode command")},
    {IDS_MSR_TRACK1_AUTO, TABLE_TEXT("StringTable", "Track 1 read mode AUTO trigger")},
    {IDS_MSR_TRACK2_AUTO, TABLE_TEXT("StringTable", "Track 2 read mode AUTO trigger")},
    {IDS_MSR_TRACK12_AUTO, TABLE_TEXT("StringTable", "Track 1/2 read mode AUTO trigger")},
    {IDS_MSR_TRACK3_AUTO, TABLE_TEXT("StringTable", "Track 3 read mode AUTO trigger")},
    {IDS_MSR_TRACK23_AUTO, TABLE_TEXT("StringTable", "Track 2/3 read mode AUTO trigger")},
    {IDS_MSR_NOT_USED, TABLE_TEXT("StringTable", "Not used MSR trigger")},
    {IDS_MSR_TRACK123_COMMAND, TABLE_TEXT("StringTable", "Track 1/2/3 read mode command")},
    {IDS_MSR_TRACK123_AUTO, TABLE_TEXT("StringTable", "Track 1/2/3 read mode AUTO trigger")},
    {IDS_FONT, TABLE_TEXT("StringTable", "font")},
    {IDS_DISABLE_ALL, TABLE_TEXT("StringTable", "Disable All")},
    {IDS_BLUETOOTH, TABLE_TEXT("StringTable", "Bluetooth")},
    {IDS_WLAN, TABLE_TEXT("StringTable", "WLAN")},
    {IDS_COLUMN_NO, TABLE_TEXT("StringTable", "No.")},
    {IDS_COLUMN_SIZE, TABLE_TEXT("StringTable", "Size")},
    {IDS_COLUMN_NAME, TABLE_TEXT("StringTable", "Name")},
    {IDS_INVALID_VALUE, TABLE_TEXT("StringTable", "Invalid value!")},
    {IDS_ADDRESS_EXISTS, TABLE_TEXT("StringTable", "Exists address!")},
    {IDS_NV_AREA_TOO_SMALL, TABLE_TEXT("StringTable", "NV image area too small!")},
    {IDS_FAILED_TO_LOAD_IMAGE, TABLE_TEXT("StringTable", "Failed to load image file!")},
    {IDS_NO_BMP_SELECTED, TABLE_TEXT("StringTable", "Without a BMP file being selected.")},
    {IDS_CONFIRM_REMOVE_SELECTION,
     TABLE_TEXT("StringTable", "Do you want to remove all of selection?")},
    {IDS_SELECT_ADDRESS, TABLE_TEXT("StringTable", "Please select address!")},
    {IDS_DOWNLOAD_CANCELLED, TABLE_TEXT("StringTable", "Cancel to download image.")},
    {IDS_PRINT_FILES_SAVED, TABLE_TEXT("StringTable", "Saving print files are finished.")},
    {IDS_PRINTDECK, TABLE_TEXT("StringTable", "Printdeck")},
    {IDS_FAILED_TO_SAVE_VMSM,
     TABLE_TEXT("StringTable",
                "Failed to save VMSM configuration!\r\nPlease check your printer state.")},
    {IDS_VMSM_SET_SUCCESS,
     TABLE_TEXT("StringTable",
                "Success to set VMSM configuration! \r\nPlease reset printer power.")},
    {IDS_USB_NOT_CONNECTED, TABLE_TEXT("StringTable", "Not connected USB printer!")},
    {IDS_2D_BARCODE_BOOT_WARNING, TABLE_TEXT("StringTable",
                                             "If you choose more than 2 types of 2D barcodes,\r\n "
                                             "it may take longer to boot the printer.")},
    {IDS_DOWNLOAD_STOPPED, TABLE_TEXT("StringTable", "Download process is stoped...")},
    {IDS_PRINT_SELECTED_NV, TABLE_TEXT("StringTable", "Print selected NV image...")},
    {IDS_PRINT_ALL_NV, TABLE_TEXT("StringTable", "Print all NV image...")},
    {IDS_PORT_OPEN_ERROR, TABLE_TEXT("StringTable", "Port open error!")},
    {IDS_OPEN_PORT, TABLE_TEXT("StringTable", "Open port...")},
    {IDS_MODEL_NOT_MATCHED, TABLE_TEXT("StringTable", "Printer model is not matched!")},
    {IDS_CHECK_PRINTER, TABLE_TEXT("StringTable", "Check printer...")},
    {IDS_FAILED_TO_GET_VERSION, TABLE_TEXT("StringTable", "Failed to get printer version!")},
    {IDS_FAILED_TO_READ_NV_ADDRESS, TABLE_TEXT("StringTable", "Failed to read NV image address!")},
    {IDS_GET_NV_ADDRESS, TABLE_TEXT("StringTable", "Get NV image address...")},
    {IDS_DELETE_SELECTED_NV, TABLE_TEXT("StringTable", "Delete selected NV image...")},
    {IDS_FAILED_TO_WRITE_DATA,
     TABLE_TEXT("StringTable", " Failed to write data!\r\nPlease check your printer.")},
    {IDS_NOT_SUPPORTED, TABLE_TEXT("StringTable", " Not supported operation!")},
    {IDS_DELETE_ALL_NV, TABLE_TEXT("StringTable", "Delete all NV image...")},
    {IDS_START_DOWNLOAD, TABLE_TEXT("StringTable", "Start download...")},
    {IDS_DOWNLOADING, TABLE_TEXT("StringTable", " Downloading...")},
    {IDS_FINISH_DOWNLOAD, TABLE_TEXT("StringTable", "Finish download...")},
    {IDS_GET_STATUS, TABLE_TEXT("StringTable", "Get status")},
    {IDS_SET_STATUS, TABLE_TEXT("StringTable", "Set status")},
    {IDS_FAILED_TO_SET_FACTORY_DEFAULT,
     TABLE_TEXT("StringTable", "Failed to set factory default!")},
    {IDS_FAILED_TO_GET_CODE_PAGE, TABLE_TEXT("StringTable", "Failed to get code page!")},
    {IDS_FAILED_TO_GET_MSR_MODE, TABLE_TEXT("StringTable", "Failed to get MSR mode!")},
    {IDS_FAILED_TO_READ_SW1, TABLE_TEXT("StringTable", "Failed to read SW1 data!")},
    {IDS_FAILED_TO_READ_SW2, TABLE_TEXT("StringTable", "Failed to read SW2 data!")},
    {IDS_FAILED_TO_READ_SW3, TABLE_TEXT("StringTable", "Failed to read SW3 data!")},
    {IDS_FAILED_TO_READ_SW5, TABLE_TEXT("StringTable", "Failed to read SW5 data!")},
    {IDS_FAILED_TO_READ_SW6, TABLE_TEXT("StringTable", "Failed to read SW6 data!")},
    {IDS_FAILED_TO_READ_SW7, TABLE_TEXT("StringTable", "Failed to read SW7 data!")},
    {IDS_FAILED_TO_READ_SW51, TABLE_TEXT("StringTable", "Failed to read SW51 data!")},
    {IDS_FAILED_TO_READ_IFSW1, TABLE_TEXT("StringTable", "Failed to read IFSW1 data!")},
    {IDS_FAILED_TO_READ_IFSW2, TABLE_TEXT("StringTable", "Failed to read IFSW2 data!")},
    {IDS_FAILED_TO_READ_IFSW3, TABLE_TEXT("StringTable", "Failed to read IFSW3 data!")},
    {IDS_FAILED_TO_READ_IFSW4, TABLE_TEXT("StringTable", "Failed to read IFSW4 data!")},
    {IDS_FAILED_TO_READ_TRACK1_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to read track1 sentinal code!")},
    {IDS_FAILED_TO_READ_TRACK2_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to read track2 sentinal code!")},
    {IDS_FAILED_TO_READ_TRACK3_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to read track3 sentinal code!")},
    {IDS_FAILED_TO_SET_TRACK1_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to set sentinal character of track1!")},
    {IDS_FAILED_TO_SET_TRACK2_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to set sentinal character of track2!")},
    {IDS_FAILED_TO_SET_TRACK3_SENTINEL,
     TABLE_TEXT("StringTable", "Failed to set sentinal character of track3!")},
    {IDS_FAILED_TO_READ_BT_CONNECTION_MODE,
     TABLE_TEXT("StringTable", "Failed to read Bluetooth connection mode!")},
    {IDS_FAILED_TO_READ_BT_DEVICE_NAME,
     TABLE_TEXT("StringTable", "Failed to read Bluetooth device name!")},
    {IDS_FAILED_TO_READ_BT_PIN, TABLE_TEXT("StringTable", "Failed to read Bluetooth PIN code!")},
    {IDS_FAILED_TO_READ_BT_ENCRYPTION,
     TABLE_TEXT("StringTable", "Failed to read Bluetooth encryption infomation!")},
    {IDS_FAILED_TO_READ_MSW1, TABLE_TEXT("StringTable", "Failed to read MSW1 data!")},
    {IDS_FAILED_TO_READ_MSW2, TABLE_TEXT("StringTable", "Failed to read MSW2 data!")},
    {IDS_FAILED_TO_READ_MSW3, TABLE_TEXT("StringTable", "Failed to read MSW3 data!")},
    {IDS_FAILED_TO_READ_MSW5, TABLE_TEXT("StringTable", "Failed to read MSW5 data!")},
    {IDS_FAILED_TO_READ_MSW6, TABLE_TEXT("StringTable", "Failed to read MSW6 data!")},
    {IDS_FAILED_TO_READ_MSW7, TABLE_TEXT("StringTable", "Failed to read MSW7 data!")},
    {IDS_FAILED_TO_READ_MSW8, TABLE_TEXT("StringTable", "Failed to read MSW8 data!")},
    {IDS_FAILED_TO_SET_INITIAL_COMMAND,
     TABLE_TEXT("StringTable", "Failed to set initial command!")},
    {IDS_FAILED_TO_SET_BLUETOOTH, TABLE_TEXT("StringTable", "Failed to set Bluetooth infomation!")},
    {IDS_FAILED_TO_SET_RF_INTERFACE, TABLE_TEXT("StringTable", "Failed to set RF Interface!")},
    {IDS_FAILED_TO_WRITE_SETTING_END,
     TABLE_TEXT("StringTable", "Failed to write setting end command!")},
    {IDS_FAILED_TO_SET_SERIAL, TABLE_TEXT("StringTable", "Failed to set serial infomation!")},
    {IDS_COMPLETED, TABLE_TEXT("StringTable", "Completed.")},
    {IDS_NONE_UPPER, TABLE_TEXT("StringTable", "NONE")},
    {IDS_NONE, TABLE_TEXT("StringTable", "None")},
    {IDS_SENTINEL_FORMAT_ASCII, TABLE_TEXT("StringTable", "ASCII (ex: \\\"START(1)\\\")")},
    {IDS_SENTINEL_FORMAT_HEXA, TABLE_TEXT("StringTable", "HEXA (ex: \\\"0A 1F 10 4C\\\")")},
    {IDS_VMSM_TITLE, TABLE_TEXT("StringTable", "Virtual Memory Switch Manager")},
    {IDS_NV_MANAGER_TITLE, TABLE_TEXT("StringTable", "NV Image Manager")},
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
