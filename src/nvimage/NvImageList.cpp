#include "nvimage/NvImageList.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "app/ConfigStore.h"
#include "nvimage/NvAddress.h"

namespace printdeck {

namespace {

constexpr int kMaxBrightness = 100;

std::string ImageValueName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "image%03zu", index);
    return name;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "path,050" -> path and brightness; up to three digits after the last comma.
std::pair<std::string, int> SplitStoredValue(const std::string& value) {
    const std::size_t comma = value.find_last_of(',');
    if (comma == std::string::npos) {
        return {value, 0};
    }
    int brightness = 0;
    for (std::size_t i = comma + 1; i < value.size() && i <= comma + 3; ++i) {
        if (value[i] < '0' || value[i] > '9') {
            break;
        }
        brightness = brightness * 10 + (value[i] - '0');
    }
    return {value.substr(0, comma), brightness};
}

std::string StoredValue(const CNvImage& image) {
    char brightness[16];
    std::snprintf(brightness, sizeof brightness, ",%03d", image.m_nBrightness);
    return image.m_strPath + brightness;
}

int FrameKeyCode(const CRaster& raster, const std::string& keyCode,
                 std::vector<std::uint8_t>& data) {
    return FrameKeyCodeRecord(raster, keyCode[0], keyCode[1], data);
}

int FrameIndexed(const CRaster& raster, const std::string&, std::vector<std::uint8_t>& data) {
    return FrameIndexedBlock(raster, data);
}

}  // namespace

bool CNvImageList::IsIndexedNvPrinter() const {
    return m_pDevice != nullptr && UsesSwDialect(m_pDevice->g_Getver);
}

int CNvImageList::MaxImageWidth() const {
    return KeyCodeMaxWidth(m_pDevice != nullptr ? m_pDevice->g_Model : MODEL_UNKNOWN);
}

IClock& CNvImageList::Clock() const {
    return m_pDevice != nullptr ? m_pDevice->Clock() : SystemClock();
}

CNvResult CNvImageList::LoadBitmap(const std::string& path, CPicture& picture) const {
    CNvResult failure(RC_NV_LOAD_FAILED, path);
    if (m_pLoader == nullptr || !m_pLoader->Load(path, picture, failure.m_strReason)) {
        return failure;
    }
    const CPixelRows& rows = picture.m_Rows;
    const std::size_t pixelBytes = rows.m_Format == PixelFormat::Rgb32 ? 4 : 3;
    const bool shaped = rows.m_nWidth > 0 && rows.m_nHeight > 0 && rows.m_pFirstRow != nullptr &&
                        rows.m_nStride >= static_cast<std::size_t>(rows.m_nWidth) * pixelBytes;
    return shaped ? CNvResult{} : failure;
}

CNvResult CNvImageList::LoadEntry(std::uint8_t number, const std::string& path, int brightness,
                                  CNvImage& entry) const {
    CPicture picture;
    if (CNvResult loaded = LoadBitmap(path, picture); !loaded.Ok()) {
        return loaded;
    }
    const std::uint64_t rowBytes =
        static_cast<std::uint64_t>(std::min(picture.m_Rows.m_nWidth, MaxImageWidth()) + 7) / 8;
    const std::uint64_t size = rowBytes * static_cast<std::uint64_t>(picture.m_Rows.m_nHeight);
    entry.m_nNumber = number;
    entry.m_nSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, UINT32_MAX));
    entry.m_strName = FileNameOf(path);
    entry.m_strPath = path;
    entry.m_nBrightness = std::clamp(brightness, 0, kMaxBrightness);
    return {};
}

std::uint32_t CNvImageList::TotalSize() const {
    std::uint64_t total = 0;
    for (const CNvImage& image : m_Images) {
        total += image.m_nSize;
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(total, UINT32_MAX));
}

int CNvImageList::AddEntry(CNvImage entry) {
    if (m_Images.size() >= kNvMaxImages) {
        return RC_NV_LIST_FULL;
    }
    if (static_cast<std::uint64_t>(TotalSize()) + entry.m_nSize > kNvAreaBytes) {
        return RC_NV_AREA_FULL;
    }
    m_Images.push_back(std::move(entry));
    return RC_OK;
}

void CNvImageList::RemoveEntry(std::uint8_t number) {
    const auto found =
        std::find_if(m_Images.begin(), m_Images.end(),
                     [number](const CNvImage& image) { return image.m_nNumber == number; });
    if (found == m_Images.end()) {
        return;
    }
    m_Images.erase(found);
    std::uint8_t next = 1;
    for (CNvImage& image : m_Images) {
        image.m_nNumber = next++;
    }
}

void CNvImageList::RemoveAllEntries() {
    m_Images.clear();
}

int CNvImageList::ReadStoredCount(const std::string& keyPath) {
    std::uint32_t count = 0;
    CConfigStore::ReadDwordValue(keyPath, "Count", count);
    return static_cast<int>(std::min<std::uint32_t>(count, INT_MAX));
}

bool CNvImageList::WriteStoredCount(const std::string& keyPath, int count) {
    return CConfigStore::WriteDwordValue(keyPath, "Count", static_cast<std::uint32_t>(count));
}

std::vector<CNvResult> CNvImageList::LoadImagesFromStore() {
    RemoveAllEntries();
    std::vector<CNvResult> refused;
    for (std::size_t index = 1; index <= kNvMaxImages; ++index) {
        std::string value;
        if (!CConfigStore::ReadStringValue(kNvKey, ImageValueName(index), value) || value.empty()) {
            break;
        }
        const auto [path, brightness] = SplitStoredValue(value);
        CNvImage entry;
        const auto number = static_cast<std::uint8_t>(m_Images.size() + 1);
        if (!LoadEntry(number, path, brightness, entry).Ok()) {
            continue;
        }
        std::string name = entry.m_strName;
        if (const int result = AddEntry(std::move(entry)); result != RC_OK) {
            refused.push_back({result, std::move(name)});
        }
    }
    return refused;
}

void CNvImageList::SaveImagesToStore() {
    m_bIdentified = 0;
    CConfigStore::DeleteValue(kNvKey, "Count");
    for (std::size_t index = 1; index <= kNvMaxImages; ++index) {
        CConfigStore::DeleteValue(kNvKey, ImageValueName(index));
    }
    for (std::size_t index = 0; index < m_Images.size(); ++index) {
        CConfigStore::WriteStringValue(kNvKey, ImageValueName(index + 1),
                                       StoredValue(m_Images[index]));
    }
    WriteStoredCount(kNvKey, m_nStoredCount);
    ClearDownloadQueue();
    m_NvAddresses.clear();
}

CNvResult CNvImageList::MakeKeyCodeRecord(const CNvImage& image, const std::string& keyCode) {
    if (!IsValidNvAddress(keyCode)) {
        return {RC_BAD_ADDRESS, keyCode};
    }
    return AppendRecord(image, MaxImageWidth(), keyCode, FrameKeyCode);
}

CNvResult CNvImageList::MakeIndexedRecord(const CNvImage& image) {
    return AppendRecord(image, kIndexedMaxWidth, std::string(), FrameIndexed);
}

int CNvImageList::DownloadWidth() const {
    return IsIndexedNvPrinter() ? kIndexedMaxWidth : MaxImageWidth();
}

CNvResult CNvImageList::ConvertImage(const CNvImage& image, int maxWidth, CRaster& raster) const {
    CPicture picture;
    if (CNvResult loaded = LoadBitmap(image.m_strPath, picture); !loaded.Ok()) {
        return loaded;
    }
    raster = MakeRaster(picture.m_Rows, maxWidth, image.m_nBrightness);
    // A wide, flat image shrinks to no row at all; the printer would get an
    // empty image and the user would never see why.
    if (raster.m_nHeight == 0) {
        return {RC_NV_IMAGE_EMPTY, image.m_strName};
    }
    return {};
}

CNvResult CNvImageList::AppendRecord(const CNvImage& image, int maxWidth,
                                     const std::string& keyCode, FrameFunction frame) {
    CRaster raster;
    if (CNvResult converted = ConvertImage(image, maxWidth, raster); !converted.Ok()) {
        return converted;
    }
    CNvDownloadRecord record;
    record.m_strName = image.m_strName;
    if (frame(raster, keyCode, record.m_Data) != RC_OK) {
        return {RC_NV_IMAGE_TOO_LARGE, image.m_strName};
    }
    m_DownloadQueue.push_back(std::move(record));
    return {};
}

std::uint32_t CNvImageList::DownloadQueueBytes() const {
    std::uint32_t total = 0;
    for (const CNvDownloadRecord& record : m_DownloadQueue) {
        total += record.Length();
    }
    return total;
}

}  // namespace printdeck
