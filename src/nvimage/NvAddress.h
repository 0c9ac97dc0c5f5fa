#pragma once

#include <string>
#include <vector>

namespace printdeck {

// True when the text can serve as an NV address: at least two characters, of
// which the first two are used.
bool IsValidNvAddress(const std::string& address);

// Hands out NV addresses for the images of one download or save in the order
// 10, 11, ..., 19, 20, ..., 99, skipping those the printer already holds.
class CNvAutoAddress {
public:
    explicit CNvAutoAddress(std::vector<std::string> taken);

    // RC_OK with the next free address, or RC_NV_NO_FREE_ADDRESS once 99 has
    // been passed; address is left unchanged then.
    int Next(std::string& address);

private:
    bool IsTaken(char first, char second) const;

    std::vector<std::string> m_Taken;
    char m_cFirst = '0';
    int m_nCounter = 0;
};

}  // namespace printdeck
