// Firmware send and NV download over loopback TCP, against the same bytes
// pushed by sendfile() from this process into the same receiving printer.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "../BenchFiles.h"
#include "../WaitCountingClock.h"
#include "FloorTable.h"
#include "VirtualPrinter.h"
#include "device/PrinterDevice.h"
#include "firmware/FirmwareSender.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/NvRaster.h"

namespace printdeck::bench {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kFirmwareBytes = 4 * 1024 * 1024;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr int kNvRecords = 3;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Connects to the printer and hands it the whole file with sendfile().
void SendWholeFile(const std::string& path, std::uint16_t port) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    const int peer = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool sent = file >= 0 && ::fstat(file, &info) == 0 && peer >= 0 &&
                ::connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    for (off_t offset = 0; sent && offset < info.st_size;) {
        sent = ::sendfile(peer, file, &offset, static_cast<std::size_t>(info.st_size - offset)) > 0;
    }
    for (const int fd : {file, peer}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (!sent) {
        throw std::runtime_error("sendfile to the printer failed");
    }
}

void Start(vp::VirtualPrinter& printer) {
    std::string error;
    if (!printer.Start(&error)) {
        throw std::runtime_error("virtual printer did not start: " + error);
    }
}

class FirmwareBench {
public:
    FirmwareBench() : m_printer(Options(m_dir)) {
        WriteBytes(File(), NoiseBytes(kFirmwareBytes));
        Start(m_printer);
        m_sender.SetPortSettings("NET127.0.0.1", m_printer.Port(), 0, 8, 0, 0);
    }

    // Rates in MiB/s: the firmware sender's, then sendfile()'s.
    Pair Measure() {
        auto start = Clock::now();
        if (m_sender.Download(File()).outcome != FirmwareOutcome::Sent) {
            throw std::runtime_error("the firmware was not sent");
        }
        AwaitDelivery();
        const double sender = SecondsSince(start);
        start = Clock::now();
        SendWholeFile(File(), m_printer.Port());
        AwaitDelivery();
        const double floor = SecondsSince(start);
        return {kFirmwareBytes / kMiB / sender, kFirmwareBytes / kMiB / floor};
    }

private:
    static vp::PrinterOptions Options(const ScratchDir& dir) {
        vp::PrinterOptions options;
        options.listen = {"127.0.0.1", 0};
        options.firmwarePath = (dir / "received.fls").string();
        return options;
    }
    std::string File() const { return (m_dir / "image.fls").string(); }

    // The printer has taken in the whole connection; its record is dropped so
    // memory stays flat.
    void AwaitDelivery() {
        if (!m_printer.Firmware().WaitForEndedConnections(++m_connections, 20s)) {
            throw std::runtime_error("the firmware did not arrive");
        }
        m_printer.Record().Clear();
    }

    ScratchDir m_dir;
    vp::VirtualPrinter m_printer;
    CFirmwareSender m_sender;
    std::size_t m_connections = 0;
};

// A key-code download of a few full-width records. Its floor is the same
// bytes by sendfile() plus the pauses the download prescribes.
class NvBench {
public:
    NvBench() : m_printer(Options()), m_device(m_clock) {
        Start(m_printer);
        m_device.m_strPortName = "NET127.0.0.1";
        m_device.m_nBaudRate = m_printer.Port();
        m_device.ApplyPortSettings();
        m_list.m_pDevice = &m_device;
        CRaster raster;
        raster.m_nWidth = 576;
        raster.m_nHeight = 400;
        for (int i = 0; i < kNvRecords; ++i) {
            raster.m_Bytes = NoiseBytes(static_cast<std::size_t>(raster.BytesPerRow()) * 400);
            CNvDownloadRecord& record = m_records.emplace_back();
            record.m_strName = "logo" + std::to_string(i) + ".bmp";
            FrameKeyCodeRecord(raster, '1', static_cast<char>('0' + i), record.m_Data);
            m_bytes += record.m_Data.size();
        }
        std::vector<std::uint8_t> file;
        for (const CNvDownloadRecord& record : m_records) {
            file.insert(file.end(), record.m_Data.begin(), record.m_Data.end());
        }
        WriteBytes(PrintFile(), file);
    }

    // Rates in KiB/s: the download's, then the floor's.
    Pair Measure() {
        CNvOperationSequence download(m_list, NvStartDownload);
        for (const CNvDownloadRecord& record : m_records) {
            download.m_Records.push_back(&record);
        }
        m_list.m_bIdentified = 0;
        m_clock.TakeWaitedMs();
        auto start = Clock::now();
        const bool done = download.Run();
        const double measured = SecondsSince(start);
        m_device.m_Port.Close();
        if (!done) {
            throw std::runtime_error("NV download failed: " + download.m_strResult);
        }
        const double waits = static_cast<double>(m_clock.TakeWaitedMs()) / 1000.0;
        m_printer.Record().Clear();
        start = Clock::now();
        SendWholeFile(PrintFile(), m_printer.Port());
        if (!m_printer.Record().WaitForReceived(m_bytes, 20s)) {
            throw std::runtime_error("the print file did not arrive");
        }
        const double floor = SecondsSince(start) + waits;
        m_printer.Record().Clear();
        const double kib = static_cast<double>(m_bytes) / 1024.0;
        return {kib / measured, kib / floor};
    }

private:
    static vp::PrinterOptions Options() {
        vp::PrinterOptions options;
        options.listen = {"127.0.0.1", 0};
        options.identity.model = "_MRQ-T300";
        options.identity.firmware = "_V01.05";
        return options;
    }
    std::string PrintFile() const { return (m_dir / "logos.prn").string(); }

    ScratchDir m_dir;
    vp::VirtualPrinter m_printer;
    WaitCountingClock m_clock;
    CPrinterDevice m_device;
    CNvImageList m_list;
    std::vector<CNvDownloadRecord> m_records;
    std::size_t m_bytes = 0;
};

double RateOverFloor(const Pair& pair) {
    return pair.value / pair.floor;
}

}  // namespace

void AddStreamRows(int runs, std::vector<FloorRow>& rows) {
    ScratchDir logs;
    ::setenv("PRINTDECK_LOG", (logs / "SbinLog.txt").c_str(), 1);
    FirmwareBench firmware;
    firmware.Measure();  // warms the page cache and both paths
    rows.push_back(MeasureRow(
        "firmware send, 4 MiB (rate / sendfile rate)", "MiB/s", 0.95, false, runs,
        [&] { return firmware.Measure(); }, RateOverFloor));
    NvBench nv;
    rows.push_back(MeasureRow(
        "NV download, 3 records (rate / sendfile + waits)", "KiB/s", 0.95, false, runs,
        [&] { return nv.Measure(); }, RateOverFloor));
}

}  // namespace printdeck::bench
