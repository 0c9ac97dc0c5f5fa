#pragma once

#include <array>
#include <string>
#include <vector>

namespace printdeck {

class CPrinterDevice;
class CPrinterSettings;

// The lists, ranges and labels the settings editor offers for the connected
// printer, without the window: the window fills its controls from them and
// the command line checks and explains values with them.

inline constexpr int kDensityEntries = 8;
inline constexpr int kMaxTimeOff = 90;    // minutes
inline constexpr int kMaxTimeSave = 255;  // seconds
inline constexpr int kMaxBtPinLength = 12;
inline constexpr int kMaxBtNameLength = 30;
inline constexpr int kMaxSentinelLength = 10;
inline constexpr std::array<int, 7> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int kBlackMarkFront = 0x3130;
inline constexpr int kBlackMarkRear = 0x3031;
inline constexpr int kBlackMarkNone = -1;
// A list or radio group with nothing selected.
inline constexpr int kNoSelection = -1;

// Position of a Density value in the density list; values outside the
// table are positions themselves.
int DensityPosition(int value);
// Density value of a list position: by the table from firmware 1040, the
// position itself before.
int DensityValue(int position, int version);
// "print density 100%" for a position; empty outside the list.
std::string DensityEntry(int position);

std::vector<std::string> SpeedEntries(const CPrinterDevice& device);
std::vector<std::string> CodePageEntries(int version);
// The card-reader trigger list; a single entry when the reader has no choice.
std::vector<std::string> MsrTriggerEntries(const CPrinterDevice& device);
// True when the trigger list is fixed to its single entry.
bool MsrTriggerFixed(const CPrinterDevice& device);
std::vector<std::string> FontEntries(int version);
std::vector<std::string> RfInterfaceEntries();

// The black-mark radio position of a BlackMarkSensor value: 0 Front, 1 Rear,
// kNoSelection for anything else.
int BlackMarkPosition(int value);
// Front and Rear can be chosen only on new firmware that reported a position.
bool OffersBlackMarkSensor(const CPrinterSettings& record);
// The four 2D barcode boxes; new firmware keeps them fixed.
bool Offers2dBarcodes(int version);
bool OffersRfInterface(int version);
// The "Advance" window with the sentinel mode and texts.
bool OffersSentinels(const CPrinterDevice& device);

// The Bluetooth values the editor shows before firmware 101000, which does
// not report them.
inline constexpr int kDefaultBtSecurity = 1;
inline constexpr int kDefaultBtConnMode = 1;
inline constexpr const char* kDefaultBtPin = "4826";

}  // namespace printdeck
