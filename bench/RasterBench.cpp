// Conversion throughput: a large colour BMP to a 576-dot key-code record.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "BenchFiles.h"
#include "device/PrinterDevice.h"
#include "nvimage/NvImageList.h"
#include "nvimage/QtBmpLoader.h"

namespace printdeck::bench {
namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 3000;
constexpr double kMegapixels = kWidth * static_cast<double>(kHeight) / 1e6;

// A key-code printer with the 576-dot head, and one BMP entry at brightness 50.
class Conversion {
public:
    Conversion() {
        WriteBytes(m_dir / "large.bmp", BandedBmp(kWidth, kHeight));
        m_device.g_Model = MODEL_T300;
        m_list.m_pDevice = &m_device;
        m_list.SetBitmapLoader(&m_loader);
        if (!m_list.LoadEntry(1, (m_dir / "large.bmp").string(), 50, m_image).Ok()) {
            throw std::runtime_error("the generated BMP does not load");
        }
    }

    CNvImageList& List() { return m_list; }
    const CNvImage& Image() const { return m_image; }

private:
    ScratchDir m_dir;
    CQtBmpLoader m_loader;
    CPrinterDevice m_device;
    CNvImageList m_list;
    CNvImage m_image;
};

void ReportMegapixels(benchmark::State& state) {
    state.counters["MPix"] = benchmark::Counter(
        kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The whole path: decode the file, fit it to 576 dots, dither, pack, frame.
void BM_BmpFileToKeyCodeRecord(benchmark::State& state) {
    Conversion conversion;
    for (auto _ : state) {
        const CNvResult result = conversion.List().MakeKeyCodeRecord(conversion.Image(), "10");
        if (!result.Ok()) {
            state.SkipWithError("no record was made");
            break;
        }
        conversion.List().ClearDownloadQueue();
    }
    ReportMegapixels(state);
}
BENCHMARK(BM_BmpFileToKeyCodeRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

// The core's part alone, from a decoded bitmap.
void BM_BitmapToKeyCodeRecord(benchmark::State& state) {
    CPicture picture;
    ScratchDir dir;
    WriteBytes(dir / "large.bmp", BandedBmp(kWidth, kHeight));
    std::string fault;
    if (!CQtBmpLoader().Load((dir / "large.bmp").string(), picture, fault)) {
        state.SkipWithError(fault.c_str());
        return;
    }
    for (auto _ : state) {
        std::vector<std::uint8_t> record;
        const CRaster raster = MakeRaster(picture.m_Rows, KeyCodeMaxWidth(MODEL_T300), 50);
        benchmark::DoNotOptimize(FrameKeyCodeRecord(raster, '1', '0', record));
        benchmark::DoNotOptimize(record.data());
    }
    ReportMegapixels(state);
}
BENCHMARK(BM_BitmapToKeyCodeRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace printdeck::bench

BENCHMARK_MAIN();
