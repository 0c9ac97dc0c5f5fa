#include "settings/SettingsLink.h"

#include <algorithm>
#include <vector>

#include "device/PrinterDevice.h"

namespace printdeck::settings {

bool CSettingsLink::IsOpen() const {
    return m_pDevice != nullptr && m_pDevice->m_Port.m_bOpen != 0;
}

int CSettingsLink::Send(const Bytes& command) {
    if (m_pDevice == nullptr) {
        return RC_WRITE_FAILED;
    }
    const int length = static_cast<int>(command.size());
    if (m_pDevice->m_Port.Write(command.data(), length) < length) {
        return Fail(RC_WRITE_FAILED);
    }
    return RC_OK;
}

int CSettingsLink::SendAny(const Bytes& command) {
    if (m_pDevice == nullptr) {
        return RC_WRITE_FAILED;
    }
    if (m_pDevice->m_Port.Write(command.data(), static_cast<int>(command.size())) <= 0) {
        return Fail(RC_WRITE_FAILED);
    }
    return RC_OK;
}

int CSettingsLink::Fail(int code) {
    if (m_pDevice != nullptr) {
        m_pDevice->m_Port.Close();
    }
    return code;
}

void CSettingsLink::Wait(unsigned milliseconds) {
    m_pDevice->Clock().Sleep(milliseconds);
}

int CSettingsLink::Read(std::uint8_t* buffer, int room) {
    return m_pDevice->m_Port.Read(buffer, room, kReadTimeHintMs);
}

bool CSettingsLink::BudgetSpent(std::uint64_t origin) const {
    return m_pDevice->Clock().TickCount() - origin > kReplyBudgetMs;
}

std::optional<Bytes> CSettingsLink::CollectFixed(std::size_t expected, int readRoom,
                                                 unsigned firstWaitMs) {
    // Room for one byte beyond the reply, so that an over-long reply shows
    // as such instead of leaving its tail for the next command.
    const int room = std::max(readRoom, static_cast<int>(expected) + 1);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(room));
    Bytes reply;
    Wait(firstWaitMs);
    const std::uint64_t origin = m_pDevice->Clock().TickCount();
    for (;;) {
        const int got = Read(buffer.data(), room);
        const std::size_t take =
            std::min(static_cast<std::size_t>(std::max(got, 0)), expected + 1 - reply.size());
        reply.insert(reply.end(), buffer.begin(), buffer.begin() + static_cast<long>(take));
        Wait(kPollPauseMs);
        if (BudgetSpent(origin)) {
            return reply.size() == expected ? std::optional(reply) : std::nullopt;
        }
        if (reply.size() == expected) {
            return reply;
        }
    }
}

CSettingsLink::Terminated CSettingsLink::CollectTerminated(std::size_t limit,
                                                           unsigned firstWaitMs) {
    std::vector<std::uint8_t> buffer(kTerminatedReadRoom);
    Terminated reply;
    Wait(firstWaitMs);
    const std::uint64_t origin = m_pDevice->Clock().TickCount();
    for (;;) {
        const int got = Read(buffer.data(), kTerminatedReadRoom);
        for (int i = 0; i < got && !reply.complete && reply.bytes.size() < limit; ++i) {
            const std::uint8_t byte = buffer[static_cast<std::size_t>(i)];
            reply.bytes.push_back(byte);
            reply.complete = byte == 0x00;
        }
        Wait(kPollPauseMs);
        if (reply.complete || reply.bytes.size() >= limit || BudgetSpent(origin)) {
            return reply;
        }
    }
}

Bytes CSettingsLink::CollectWhileFlowing(std::size_t limit, unsigned firstWaitMs) {
    Bytes reply;
    std::vector<std::uint8_t> buffer(limit);
    Wait(firstWaitMs);
    while (reply.size() < limit) {
        const int got = Read(buffer.data(), static_cast<int>(limit - reply.size()));
        if (got <= 0) {
            break;
        }
        reply.insert(reply.end(), buffer.begin(), buffer.begin() + got);
        if (reply.back() == 0x00) {
            break;
        }
    }
    return reply;
}

}  // namespace printdeck::settings
