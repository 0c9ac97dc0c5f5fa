// BMP to key-code record against Qt's decoding of the same file alone, and
// the conversion's peak resident memory against the file's size.

#include <malloc.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

#include "../BenchFiles.h"
#include "FloorTable.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "nvimage/QtBmpLoader.h"

namespace printdeck::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A field of /proc/self/status, in bytes.
double StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1)) * 1024.0;
        }
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

// How far the resident set grows above its level before `work` while it runs.
double PeakGrowthBytes(const std::function<void()>& work) {
    std::ofstream("/proc/self/clear_refs") << "5";  // restarts the high-water mark
    const double before = StatusBytes("VmRSS");
    work();
    return StatusBytes("VmHWM") - before;
}

double SecondsOf(int repeats, const std::function<void()>& work) {
    const auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        work();
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / repeats;
}

class ImageBench {
public:
    ImageBench(int width, int height) {
        WriteBytes(m_dir / "picture.bmp", BandedBmp(width, height));
        m_fileBytes = static_cast<double>(std::filesystem::file_size(Path()));
        m_device.g_Model = MODEL_T300;
        m_list.m_pDevice = &m_device;
        m_list.SetBitmapLoader(&m_loader);
        if (!m_list.LoadEntry(1, Path(), 50, m_image).Ok()) {
            throw std::runtime_error("the generated BMP does not load");
        }
    }

    void Convert() {
        if (!m_list.MakeKeyCodeRecord(m_image, "10").Ok()) {
            throw std::runtime_error("no record was made");
        }
        m_list.ClearDownloadQueue();
    }
    void DecodeWithQt() const {
        QImageReader reader(QString::fromStdString(Path()), "bmp");
        QImage image;
        if (!reader.read(&image)) {
            throw std::runtime_error("Qt does not decode the generated BMP");
        }
    }
    double FileBytes() const { return m_fileBytes; }

private:
    std::string Path() const { return (m_dir / "picture.bmp").string(); }

    ScratchDir m_dir;
    double m_fileBytes = 0;
    CQtBmpLoader m_loader;
    CPrinterDevice m_device;
    CNvImageList m_list;
    CNvImage m_image;
};

double ValueOverFloor(const Pair& pair) {
    return pair.value / pair.floor;
}

void AddImageRowsFor(const std::string& name, int width, int height, int repeats, int runs,
                     std::vector<FloorRow>& rows) {
    ImageBench bench(width, height);
    bench.Convert();
    bench.DecodeWithQt();
    rows.push_back(MeasureRow(
        "BMP to key-code record, " + name + " (time / Qt decode)", "ms", 1.3, true, runs,
        [&] {
            const double convert = SecondsOf(repeats, [&] { bench.Convert(); });
            const double decode = SecondsOf(repeats, [&] { bench.DecodeWithQt(); });
            return Pair{convert * 1000, decode * 1000};
        },
        ValueOverFloor));
    rows.push_back(MeasureRow(
        "BMP to key-code record, " + name + " (peak memory / file)", "KiB", 1.5, true, runs,
        [&] {
            return Pair{PeakGrowthBytes([&] { bench.Convert(); }) / 1024, bench.FileBytes() / 1024};
        },
        ValueOverFloor));
}

}  // namespace

void AddImageRows(int runs, std::vector<FloorRow>& rows) {
    // A fixed threshold keeps every large block in a mapping of its own, given
    // back when freed, so one conversion's peak is not hidden in the heap that
    // an earlier one left resident.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    AddImageRowsFor("2000 x 3000", 2000, 3000, 1, runs, rows);
    AddImageRowsFor("300 x 120 logo", 300, 120, 200, runs, rows);
}

}  // namespace printdeck::bench
