#include "transport/SerialLine.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <utility>

#include "transport/DeviceFile.h"
#include "transport/IoWait.h"

namespace printdeck {

namespace {

constexpr std::uint32_t kDrainStepMs = 5;

bool SpeedCode(std::uint32_t baudRate, speed_t* code) {
    static constexpr std::array<std::pair<std::uint32_t, speed_t>, 30> kSpeeds{{
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    }};
    const auto found = std::find_if(kSpeeds.begin(), kSpeeds.end(),
                                    [&](const auto& entry) { return entry.first == baudRate; });
    if (found == kSpeeds.end()) {
        return false;
    }
    *code = found->second;
    return true;
}

bool CharacterSizeFlag(std::uint8_t dataBits, tcflag_t* flag) {
    static constexpr std::array<tcflag_t, 4> kSizes{CS5, CS6, CS7, CS8};
    if (dataBits < 5 || dataBits > 8) {
        return false;
    }
    *flag = kSizes[dataBits - 5];
    return true;
}

bool ParityFlags(std::uint8_t parity, tcflag_t* flags) {
    static constexpr std::array<tcflag_t, 5> kParity{0, PARENB | PARODD, PARENB,
                                                     PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
    if (parity >= kParity.size()) {
        return false;
    }
    *flags = kParity[parity];
    return true;
}

bool StopBitsFlag(std::uint8_t stopBits, tcflag_t* flag) {
    // Code 1 (one and a half) has no termios equivalent.
    if (stopBits != 0 && stopBits != 2) {
        return false;
    }
    *flag = stopBits == 2 ? CSTOPB : 0;
    return true;
}

}  // namespace

bool ApplyLineSettings(termios& attributes, const SerialSettings& settings) {
    speed_t speed = 0;
    tcflag_t size = 0;
    tcflag_t parity = 0;
    tcflag_t stop = 0;
    if (!SpeedCode(settings.baudRate, &speed) || !CharacterSizeFlag(settings.dataBits, &size) ||
        !ParityFlags(settings.parity, &parity) || !StopBitsFlag(settings.stopBits, &stop)) {
        return false;
    }
    cfmakeraw(&attributes);
    attributes.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    if ((settings.parity & 1) != 0) {
        attributes.c_iflag |= INPCK;
    }
    attributes.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    attributes.c_cflag |= size | parity | stop | CLOCAL | CREAD;
    if (settings.dtrDsr) {
        // Output waits for the printer's handshake line.
        attributes.c_cflag |= CRTSCTS;
    }
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 0;
    return cfsetispeed(&attributes, speed) == 0 && cfsetospeed(&attributes, speed) == 0;
}

int CSerialLine::Open(const std::string& path, const SerialSettings& settings,
                      PortOpenError& error) {
    const int fd = OpenExclusive(path, error);
    if (fd < 0) {
        return -1;
    }
    if (!Configure(fd, settings)) {
        error = PortOpenError{PortFailure::LineRefused, path, 0,
                              "the serial driver refused the line settings"};
    } else if (!SendProbe(fd)) {
        error = SystemRefusal(path, errno);
    } else if (!DataSetReady(fd)) {
        error = PortOpenError{PortFailure::NoSignal, path, 0, "the printer does not assert DSR"};
    } else {
        return fd;
    }
    Close(fd);
    return -1;
}

int CSerialLine::OpenExclusive(const std::string& path, PortOpenError& error) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0) {
            m_clock.Sleep(kRetryWaitMs);
        }
        if (const int fd = OpenOnce(path, error); fd >= 0) {
            return fd;
        }
    }
    return -1;
}

int CSerialLine::OpenOnce(const std::string& path, PortOpenError& error) {
    const int fd = OpenDeviceNode(m_io, path, error);
    if (fd < 0) {
        return -1;
    }
    if (Retrying([&] { return m_io.Control(fd, TIOCEXCL, nullptr); }) != 0) {
        error = SystemRefusal(path, errno);
        m_io.Close(fd);
        return -1;
    }
    return fd;
}

bool CSerialLine::Configure(int fd, const SerialSettings& settings) {
    termios attributes{};
    if (Retrying([&] { return m_io.GetAttributes(fd, &attributes); }) != 0 ||
        !ApplyLineSettings(attributes, settings) ||
        Retrying([&] { return m_io.SetAttributes(fd, attributes); }) != 0) {
        return false;
    }
    return SetModemLines(fd, settings.dtrDsr);
}

bool CSerialLine::SetModemLines(int fd, bool dtrOn) {
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    int both = TIOCM_DTR | TIOCM_RTS;
    if (dtrOn) {
        return Retrying([&] { return m_io.Control(fd, TIOCMBIS, &dtr); }) == 0 &&
               Retrying([&] { return m_io.Control(fd, TIOCMBIC, &rts); }) == 0;
    }
    return Retrying([&] { return m_io.Control(fd, TIOCMBIC, &both); }) == 0;
}

bool CSerialLine::SendProbe(int fd) {
    // Stale bytes from an earlier session must not be taken for a reply.
    Retrying([&] { return m_io.Flush(fd, TCIOFLUSH); });
    const std::uint8_t probe = 0x00;
    return Retrying([&] { return static_cast<int>(m_io.Write(fd, &probe, 1)); }) >= 0;
}

bool CSerialLine::DataSetReady(int fd) {
    int status = 0;
    return Retrying([&] { return m_io.Control(fd, TIOCMGET, &status); }) == 0 &&
           (status & TIOCM_DSR) != 0;
}

int CSerialLine::Read(int fd, std::uint8_t* buffer, int capacity) {
    const CDeadline total = CDeadline::After(
        m_clock, kReadConstantMs + kReadPerByteMs * static_cast<std::uint64_t>(capacity));
    int got = 0;
    while (got < capacity) {
        const int left = total.RemainingMs();
        if (got > 0 && left == 0) {
            break;
        }
        const CDeadline wait =
            got == 0
                ? total
                : CDeadline::After(m_clock, std::min<std::uint64_t>(
                                                kInterByteMs, static_cast<std::uint64_t>(left)));
        if (WaitFor(m_io, fd, POLLIN, wait) != WaitResult::Ready) {
            break;
        }
        const ssize_t moved = TransferOnce(
            [&] { return m_io.Read(fd, buffer + got, static_cast<std::size_t>(capacity - got)); });
        if (moved < 0 || (moved == 0 && total.Passed())) {
            break;
        }
        got += static_cast<int>(moved);
    }
    if (got == 0) {
        // A line whose far end has gone reports ready or failed at once; it
        // waits like a silent one, so reply loops do not spin on it.
        total.WaitOut();
    }
    return got;
}

int CSerialLine::Write(int fd, const std::uint8_t* data, int length) {
    const CDeadline deadline = CDeadline::After(
        m_clock, kWriteConstantMs + kWritePerByteMs * static_cast<std::uint64_t>(length));
    const int sent = WriteWithin(
        m_io, fd, data, length, deadline,
        [&](const std::uint8_t* part, std::size_t size) { return m_io.Write(fd, part, size); });
    // Bytes still in the driver would be lost to the purge at Close; they
    // count as written only once they have left.
    int queued = QueuedOutput(fd);
    while (queued > 0 && !deadline.Passed()) {
        m_clock.Sleep(std::min<std::uint32_t>(kDrainStepMs,
                                              static_cast<std::uint32_t>(deadline.RemainingMs())));
        queued = QueuedOutput(fd);
    }
    return std::max(0, sent - queued);
}

int CSerialLine::QueuedOutput(int fd) {
    int queued = 0;
    if (Retrying([&] { return m_io.Control(fd, TIOCOUTQ, &queued); }) != 0) {
        return 0;
    }
    return queued;
}

void CSerialLine::Close(int fd) {
    Retrying([&] { return m_io.Flush(fd, TCIOFLUSH); });
    m_clock.Sleep(kCloseWaitMs);
    // Not repeated on EINTR: Linux releases the descriptor either way.
    m_io.Close(fd);
}

}  // namespace printdeck
