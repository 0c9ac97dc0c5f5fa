#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "device/PrinterDevice.h"

namespace printdeck {
namespace {

// A readable test name from a reply text and the case's position.
std::string CaseName(const char* reply, std::size_t index) {
    std::string name = "Case" + std::to_string(index) + "_";
    for (const char* c = reply; *c; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    }
    return name;
}

struct ModelCase {
    const char* reply;
    int model;
};

class ParseModelTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ParseModelTest, RecognisesModelCode) {
    EXPECT_EQ(CPrinterDevice::ParseModel(GetParam().reply), GetParam().model) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ParseModelTest,
    ::testing::Values(ModelCase{"_MRQ-T200", 200}, ModelCase{"_MRQ-T200W", 201},
                      ModelCase{"_MRQ-T200II", 202}, ModelCase{"_MRQ-T300", 300},
                      ModelCase{"_MRQ-T400", 400}, ModelCase{"_KT 220", 220},
                      ModelCase{"_MRQ-X200", 0}, ModelCase{"_MRQ-T500", 0},
                      // The length tests count the whole reply, so a leading
                      // character turns the II variant into the plain T200.
                      ModelCase{"x_MRQ-T200II", 200}, ModelCase{"xx_MRQ-T300", 300},
                      // The separator is not examined.
                      ModelCase{"_MRQ T300", 300}, ModelCase{"_KTX22", 220},
                      // No underscore within the first sixteen characters.
                      ModelCase{"0123456789abcdef_MRQ-T200", 0}, ModelCase{"MRQ-T200", 0},
                      ModelCase{"", 0}, ModelCase{"_", 0}, ModelCase{"_MRQ", 0}),
    [](const auto& info) { return CaseName(info.param.reply, info.index); });

struct VersionCase {
    int model;
    const char* reply;
    int version;
};

class ParseVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ParseVersionTest, ComputesVersionNumber) {
    CPrinterDevice device;
    device.g_Model = GetParam().model;
    EXPECT_EQ(device.ParseVersion(GetParam().reply), GetParam().version)
        << GetParam().model << " " << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ParseVersionTest,
    ::testing::Values(VersionCase{200, "_VER V1.23", 1230}, VersionCase{220, "_VER V1.04", 1040},
                      VersionCase{200, "_VER xTMS V1.06", 11061},
                      VersionCase{200, "_VER xABC V1.06", 11060},
                      VersionCase{200, "_V01.00", 21000}, VersionCase{200, "_B02.10", 22101},
                      VersionCase{200, "_V02.10", 22100}, VersionCase{300, "_V01.05", 101050},
                      VersionCase{400, "_V01.00", 101000}, VersionCase{201, "_V01.00", 101000},
                      // Digits stop at the first other character; short replies
                      // give the line's base value.
                      VersionCase{300, "_V1", 100010}, VersionCase{300, "", 100000},
                      VersionCase{200, "_VER V", 0}),
    [](const auto& info) {
        return CaseName(info.param.reply, info.index) + "_Model" + std::to_string(info.param.model);
    });

TEST(DialectTest, SwDialectCoversItsRangeInclusively) {
    EXPECT_FALSE(UsesSwDialect(20999));
    EXPECT_TRUE(UsesSwDialect(21000));
    EXPECT_TRUE(UsesSwDialect(100999));
    EXPECT_FALSE(UsesSwDialect(101000));
}

}  // namespace
}  // namespace printdeck
