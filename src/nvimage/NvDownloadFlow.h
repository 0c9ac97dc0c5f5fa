#pragma once

#include <functional>
#include <string>
#include <vector>

#include "nvimage/NvResult.h"

namespace printdeck {

class CNvImage;
class CNvImageList;
class CNvOperationSequence;

// Asks for the NV address of one image of a key-code download or save; the
// answer must not be one of `taken`. False when the user gives up.
using NvAddressQuestion = std::function<bool(
    const CNvImage& image, const std::vector<std::string>& taken, std::string& address)>;
// Runs one operation sequence to its end, showing its progress the caller's
// way; true when it finished.
using NvSequenceDriver = std::function<bool(CNvOperationSequence& sequence)>;

// Puts the working list into the printer or into a print file, the same way
// for every front end: one record per entry in list order, each image of a
// key-code printer under an address chosen automatically or asked for image
// by image. Nothing is sent before every record has been built.
class CNvDownloadFlow {
public:
    CNvDownloadFlow(CNvImageList& list, NvSequenceDriver driver);
    virtual ~CNvDownloadFlow() = default;

    // RC_NV_LIST_EMPTY when the working list holds no image.
    CNvResult CheckHasImages() const;

    // Sends the records, waits, and reads the printer's addresses afresh,
    // also after a failed download. A key-code download succeeds only when
    // that list holds every address sent; an indexed one when every record
    // was written. "Count" is stored only then; RC_NV_COUNT_NOT_STORED,
    // naming the store file, when that fails.
    CNvResult Download();
    // Writes the records to a print file, replacing it. Addresses by hand
    // need only differ from each other: the file may go to any printer.
    CNvResult Save(const std::string& path);

    bool m_bAutoAddressing = false;
    // False for a download to a stand-in printer, which must not change the
    // store's "Count".
    bool m_bStoreCount = true;
    NvAddressQuestion m_AskAddress;
    // Addresses of the records of the last download or save, in order;
    // empty for an indexed printer.
    std::vector<std::string> m_Addresses;

private:
    CNvResult BuildQueue(bool forSave);
    CNvResult AskAddress(const CNvImage& image, const std::vector<std::string>& taken,
                         std::string& address) const;
    bool Refresh(std::string& failure);
    bool StoreCount(std::size_t count);

    CNvImageList& m_list;
    NvSequenceDriver m_driver;
};

}  // namespace printdeck
