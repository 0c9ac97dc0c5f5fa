#include "nvimage/NvAddress.h"

#include <algorithm>
#include <utility>

#include "nvimage/NvResult.h"

namespace printdeck {

bool IsValidNvAddress(const std::string& address) {
    return address.size() >= 2;
}

CNvAutoAddress::CNvAutoAddress(std::vector<std::string> taken) : m_Taken(std::move(taken)) {}

int CNvAutoAddress::Next(std::string& address) {
    for (;;) {
        if (m_nCounter % 10 == 0) {
            // Stepping past '9' would run into punctuation.
            if (m_cFirst == '9') {
                return RC_NV_NO_FREE_ADDRESS;
            }
            ++m_cFirst;
            m_nCounter = 0;
        }
        const char second = static_cast<char>('0' + m_nCounter);
        ++m_nCounter;
        if (!IsTaken(m_cFirst, second)) {
            address = {m_cFirst, second};
            return RC_OK;
        }
    }
}

bool CNvAutoAddress::IsTaken(char first, char second) const {
    return std::any_of(m_Taken.begin(), m_Taken.end(), [&](const std::string& taken) {
        return taken.size() >= 2 && taken[0] == first && taken[1] == second;
    });
}

}  // namespace printdeck
