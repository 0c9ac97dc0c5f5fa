#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "device/PrinterDevice.h"
#include "nvimage/Bitmap.h"
#include "nvimage/NvRaster.h"
#include "nvimage/NvResult.h"

namespace printdeck {

// The printer's NV image area, in bytes; the size estimates of the working
// list never add up to more.
inline constexpr std::uint32_t kNvAreaBytes = 262144;
// Most entries of the working list: the stored form numbers them image001 to
// image254 and the indexed download header counts them in one byte.
inline constexpr std::size_t kNvMaxImages = 254;

// One entry of the working list.
class CNvImage {
public:
    std::uint8_t m_nNumber = 0;  // 1-based position in the list
    std::uint32_t m_nSize = 0;   // estimated raster bytes
    std::string m_strName;       // file name without its folders
    std::string m_strPath;       // full path of the BMP file
    int m_nBrightness = 0;       // 0 (darkest) to 100
};

// One framed record, exactly as it goes to the printer or the print file.
class CNvDownloadRecord {
public:
    std::uint32_t Length() const { return static_cast<std::uint32_t>(m_Data.size()); }

    std::string m_strName;  // the image's name, for progress displays
    std::vector<std::uint8_t> m_Data;
};

// The NV image manager's model: the working list of BMP images, the records
// prepared from them for one download or print-file save, the NV addresses the
// printer is known to hold, and the printer they are meant for.
class CNvImageList {
public:
    CNvImageList() = default;
    virtual ~CNvImageList() = default;

    CNvImageList(const CNvImageList&) = delete;
    CNvImageList& operator=(const CNvImageList&) = delete;

    // The decoder used for every image file; without one no file loads.
    void SetBitmapLoader(IBitmapLoader* loader) { m_pLoader = loader; }

    // True when the printer numbers its NV images in download order (indexed
    // family); false for printers that store them under key codes, and
    // without a printer.
    bool IsIndexedNvPrinter() const;
    // Widest raster, in dots, for a key-code printer of the current model.
    int MaxImageWidth() const;
    // The printer object's clock; the system clock without a printer.
    IClock& Clock() const;

    // Decodes an image file with the list's decoder; RC_NV_LOAD_FAILED (with
    // the loader's reason) when it does not load as a bitmap of at least one
    // pixel.
    CNvResult LoadBitmap(const std::string& path, CPicture& picture) const;
    // Builds an entry from a BMP file. RC_OK, or RC_NV_LOAD_FAILED (subject:
    // the path, with the loader's reason) when the file does not load as a
    // bitmap; entry is left unchanged then.
    CNvResult LoadEntry(std::uint8_t number, const std::string& path, int brightness,
                        CNvImage& entry) const;
    // Sum of the size estimates of the working list.
    std::uint32_t TotalSize() const;
    // Appends the entry. RC_OK; RC_NV_AREA_FULL when the estimates would
    // exceed kNvAreaBytes; RC_NV_LIST_FULL when kNvMaxImages entries are held.
    int AddEntry(CNvImage entry);
    // Removes the first entry with that number and renumbers the rest 1, 2, ...
    void RemoveEntry(std::uint8_t number);
    void RemoveAllEntries();

    // "Count" under keyPath; 0 when missing.
    static int ReadStoredCount(const std::string& keyPath);
    // True when stored.
    static bool WriteStoredCount(const std::string& keyPath, int count);
    // Replaces the working list by the stored one. Files that no longer load
    // are skipped; entries refused by AddEntry are returned, in stored order,
    // with the file name as subject.
    std::vector<CNvResult> LoadImagesFromStore();
    // Stores the working list and m_nStoredCount in place of what was stored,
    // then empties the download queue and the address list and clears
    // m_bIdentified. Store failures are ignored.
    void SaveImagesToStore();

    // Convert one entry and append its record to m_DownloadQueue: for a
    // key-code printer under the address keyCode (its first two characters),
    // for an indexed printer as an image block. On failure nothing is
    // appended: RC_NV_LOAD_FAILED (subject: the file's path), RC_BAD_ADDRESS
    // (subject: the address), RC_NV_IMAGE_EMPTY or RC_NV_IMAGE_TOO_LARGE
    // (subject: the file name).
    CNvResult MakeKeyCodeRecord(const CNvImage& image, const std::string& keyCode);
    CNvResult MakeIndexedRecord(const CNvImage& image);
    // Widest raster, in dots, that a download to the current printer carries.
    int DownloadWidth() const;
    // The raster an entry becomes at most maxWidth dots wide: RC_OK, or
    // RC_NV_LOAD_FAILED (subject: the path), RC_NV_IMAGE_EMPTY (subject: the
    // file name) when no row is left.
    CNvResult ConvertImage(const CNvImage& image, int maxWidth, CRaster& raster) const;
    // Sum of the record lengths of m_DownloadQueue.
    std::uint32_t DownloadQueueBytes() const;
    void ClearDownloadQueue() { m_DownloadQueue.clear(); }

    // Printer commands and print files (NvCommands.cpp). Every one returns an
    // RC_* result code, except WritePrintFile: 1 written, 0 when the file
    // could not be created or a write came up short.
    int ReadKeyCodes();
    int ReadStoredIndexes();
    int SendRecord(const CNvDownloadRecord& record);
    int SendIndexedHeader(std::uint8_t count, std::uint32_t totalBytes);
    int PrintKeyCode(const std::string& address);
    int PrintAllKeyCodes();
    int PrintIndex(std::uint8_t index);
    int PrintAllIndexes();
    int DeleteKeyCode(const std::string& address);
    int DeleteAllKeyCodes();
    int DeleteAllIndexes();
    int WritePrintFile(const std::string& path);

    int m_nStoredCount = 0;  // images believed to be in an indexed printer
    int m_bIdentified = 0;   // 1 once the printer was identified in this manager use
    // Records of one download or save in sending order; a list, so that
    // references to its records stay valid while more are appended.
    std::list<CNvDownloadRecord> m_DownloadQueue;
    std::vector<CNvImage> m_Images;          // the working list in display order
    std::vector<std::string> m_NvAddresses;  // NV addresses the printer holds
    CPrinterDevice* m_pDevice = nullptr;     // not owned

private:
    using FrameFunction = int (*)(const CRaster&, const std::string&, std::vector<std::uint8_t>&);

    CNvResult AppendRecord(const CNvImage& image, int maxWidth, const std::string& keyCode,
                           FrameFunction frame);

    IBitmapLoader* m_pLoader = nullptr;  // not owned
};

}  // namespace printdeck
