#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <nlohmann/json.hpp>

#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "CliRun.h"
#include "app/ConfigStore.h"
#include "nvimage/BmpWriter.h"
#include "nvimage/NvPrinterFixture.h"
#include "support/TempDir.h"
#include "support/VirtualPrinterFixture.h"

namespace printdeck::cli {
namespace {

using ::testing::HasSubstr;
using vp::Bytes;

const char* const kIndexedFirmware = "_S02.10";

class NvCommandTest : public test::VirtualPrinterTest {
public:
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "nv");
        return test::RunCliWith(test::OnPrinter(*this, args), m_out, m_err);
    }

    // A 24-bit BMP with a diagonal pattern, in the test's folder.
    std::string WriteBmp(const std::string& name, int width, int height) {
        test::BmpLayout layout;
        layout.width = width;
        layout.height = height;
        const int row = (width * 3 + 3) / 4 * 4;
        layout.pixelData.assign(static_cast<std::size_t>(row * height), 0xFF);
        for (int y = 0; y < height; ++y) {
            for (int x = y % 3; x < width; x += 3) {
                const auto at = static_cast<std::size_t>(y * row + x * 3);
                std::fill_n(layout.pixelData.begin() + static_cast<long>(at), 3, 0x00);
            }
        }
        const std::string path = (m_files.Dir() / name).string();
        test::WriteBytes(path, test::BmpBytes(layout));
        return path;
    }

    Bytes ImageCommands() const { return test::ImageCommands(Events()); }
    static std::uint32_t StoredCount() {
        std::uint32_t count = 0;
        CConfigStore::ReadDwordValue(kNvKey, "Count", count);
        return count;
    }

    test::IsolatedFiles m_files;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(NvCommandTest, KeyCodeDownloadIsListedAndSavedByteForByte) {
    const std::string first = WriteBmp("first.bmp", 40, 20);
    const std::string second = WriteBmp("second.bmp", 17, 9);

    ASSERT_EQ(Run({"download", first, second, "--auto"}), 0) << m_err.str();
    EXPECT_EQ(Nv().KeyCodes(), (std::vector<std::string>{"10", "11"}));
    EXPECT_THAT(m_out.str(), HasSubstr("10\n11\n"));
    EXPECT_THAT(m_err.str(), HasSubstr("second.bmp Downloading... : "));
    EXPECT_THAT(m_err.str(), HasSubstr(" : 100 %\n"));
    EXPECT_EQ(StoredCount(), 2u);

    ASSERT_EQ(Run({"list"}), 0) << m_err.str();
    EXPECT_EQ(m_out.str(), "10\n11\n");

    const auto file = m_files.Dir() / "logos.prn";
    ASSERT_EQ(Run({"save", file.string(), first, second, "--address", "10", "--address", "11"}), 0)
        << m_err.str();
    EXPECT_EQ(m_out.str(), "Saving print files are finished.\n");
    const Bytes received = ImageCommands();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(test::ReadWholeFile(file), std::string(received.begin(), received.end()));
}

TEST_F(NvCommandTest, IndexedDownloadIsSavedWithItsHeader) {
    SetFirmware(kIndexedFirmware);
    const std::string first = WriteBmp("first.bmp", 500, 20);
    const std::string second = WriteBmp("second.bmp", 17, 9);

    ASSERT_EQ(Run({"download", first, second}), 0) << m_err.str();
    const vp::NvMemory nv =
        NvOnce([](const vp::NvMemory& memory) { return memory.indexedGraphics.size() == 2; });
    ASSERT_EQ(nv.indexedGraphics.size(), 2u);
    EXPECT_EQ(nv.indexedGraphics[0].width, 384);
    EXPECT_EQ(StoredCount(), 2u);
    EXPECT_THAT(m_out.str(), HasSubstr("00\n01\n"));

    const auto file = m_files.Dir() / "logos.prn";
    ASSERT_EQ(Run({"save", file.string(), first, second}), 0) << m_err.str();
    const std::string saved = test::ReadWholeFile(file);
    const Bytes received = ImageCommands();
    EXPECT_EQ(saved, std::string(received.begin(), received.end()));
    const std::size_t blocks =
        std::accumulate(nv.indexedGraphics.begin(), nv.indexedGraphics.end(), std::size_t{0},
                        [](std::size_t sum, const vp::NvGraphic& graphic) {
                            return sum + 6 + graphic.raster.size();
                        });
    EXPECT_EQ(saved.size(), blocks + 9);
}

// What nv save wrote, looked into: the images as the printer would store
// them, each also as a PNG whose dots are the raster's.
TEST_F(NvCommandTest, PrnShowGivesBackTheImagesNvSaveConverted) {
    const std::string first = WriteBmp("first.bmp", 40, 20);
    const std::string second = WriteBmp("second.bmp", 700, 30);
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "indexed" : "key-code");
        if (indexed) {
            SetFirmware(kIndexedFirmware);
        }
        const auto file = m_files.Dir() / "logos.prn";
        ASSERT_EQ(Run({"save", file.string(), first, second, "--auto"}), 0) << m_err.str();
        const std::string prefix = (m_files.Dir() / "logo").string();

        ASSERT_EQ(test::RunCliWith({"prn", "show", file.string(), "--png", prefix, "--json"}, m_out,
                                   m_err),
                  0)
            << m_err.str();

        const nlohmann::json shown = nlohmann::json::parse(m_out.str());
        EXPECT_EQ(shown["family"], indexed ? "indexed" : "key-code");
        ASSERT_EQ(shown["images"].size(), 2u);
        EXPECT_EQ(shown["images"][0]["name"], indexed ? "0" : "10");
        EXPECT_EQ(shown["images"][0]["width"], 40);
        EXPECT_EQ(shown["images"][1]["width"], 384);  // the narrow head of both
        const QImage png(QString::fromStdString(shown["images"][0]["png"].get<std::string>()));
        ASSERT_EQ(png.width(), 40);
        ASSERT_EQ(png.height(), 20);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 40; ++x) {
                // The BMP's diagonal dark pixels print (its rows are stored
                // bottom first); the brightness is 0.
                EXPECT_EQ(png.pixelColor(x, y) == Qt::black, x % 3 == (19 - y) % 3)
                    << x << "," << y;
            }
        }
    }
}

TEST_F(NvCommandTest, PrnSendPutsTheFileIntoThePrinterUnchanged) {
    const std::string image = WriteBmp("first.bmp", 40, 20);
    const auto file = m_files.Dir() / "logos.prn";
    ASSERT_EQ(Run({"save", file.string(), image, "--address", "A1"}), 0) << m_err.str();
    ClearReceived();

    ASSERT_EQ(
        test::RunCliWith(test::OnPrinter(*this, {"prn", "send", file.string()}), m_out, m_err), 0)
        << m_err.str();
    EXPECT_THAT(m_out.str(), HasSubstr("Sent 1 NV image(s)"));
    const std::string sent = test::ReadWholeFile(file);
    ASSERT_TRUE(WaitForReceived(sent.size()));
    const Bytes received = Received();
    EXPECT_EQ(std::string(received.begin(), received.end()), sent);
    ASSERT_EQ(Run({"list", "--json"}), 0) << m_err.str();
    EXPECT_EQ(nlohmann::json::parse(m_out.str())["addresses"], nlohmann::json({"A1"}));

    // A damaged file is refused before anything is sent.
    std::string damaged = sent;
    damaged.resize(damaged.size() - 1);
    test::WriteBytes(file, damaged);
    ClearReceived();
    for (const char* verb : {"send", "show"}) {
        EXPECT_EQ(
            test::RunCliWith(test::OnPrinter(*this, {"prn", verb, file.string()}), m_out, m_err),
            1);
        EXPECT_THAT(m_err.str(), HasSubstr("logos.prn: no print file, at byte 10: the file ends "
                                           "inside the image's"));
    }
    EXPECT_TRUE(Received().empty());
}

// A dry run leaves the printer and the store as they were and prints the
// bytes that the real download then sends after its list read.
TEST_F(NvCommandTest, DownloadDryRunPrintsTheRealDownloadAndSendsNone) {
    const std::string image = WriteBmp("first.bmp", 40, 20);
    ASSERT_EQ(Run({"list"}), 0) << m_err.str();
    const std::size_t listRunBytes = Received().size();
    ClearReceived();

    ASSERT_EQ(Run({"download", image, "--auto", "--dry-run"}), 0) << m_err.str();
    EXPECT_EQ(Received().size(), listRunBytes);
    EXPECT_TRUE(Nv().keyCodeGraphics.empty());
    EXPECT_EQ(StoredCount(), 0u);
    EXPECT_THAT(m_out.str(), HasSubstr("  NV define 10 (40 x 20)\n"));
    const vp::Bytes printed = test::DryRunBytes(m_out.str());

    ClearReceived();
    ASSERT_EQ(Run({"download", image, "--auto"}), 0) << m_err.str();
    ASSERT_TRUE(WaitForReceived(listRunBytes + printed.size()));
    const Bytes real = Received();
    EXPECT_EQ(Bytes(real.begin() + static_cast<std::ptrdiff_t>(listRunBytes), real.end()), printed);
}

TEST_F(NvCommandTest, DownloadOverDroppedConnectionClaimsNothing) {
    const std::string image = WriteBmp("first.bmp", 40, 20);
    // The list read takes 16 bytes and the identification before the
    // download 6 more: the printer hangs up inside the image record.
    SetFault("close-after=30");

    EXPECT_EQ(Run({"download", image, "--auto"}), 1);
    EXPECT_THAT(m_out.str(), ::testing::Not(HasSubstr("Downloaded")));
    EXPECT_EQ(StoredCount(), 0u);
    EXPECT_TRUE(Nv().keyCodeGraphics.empty());
}

TEST_F(NvCommandTest, PrintsAndDeletesStoredImages) {
    StoreNvKeyCodes({"10", "11"});
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::map<std::string, int> prints;
        std::vector<std::string> stored;
    } steps[] = {
        {{"print", "11"}, 0, {{"11", 1}}, {"10", "11"}},
        {{"print", "--all"}, 0, {{"10", 1}, {"11", 2}}, {"10", "11"}},
        {{"print", "12"}, 1, {{"10", 1}, {"11", 2}}, {"10", "11"}},
        {{"delete", "10"}, 0, {{"10", 1}, {"11", 2}}, {"11"}},
        {{"delete", "--all"}, 0, {{"10", 1}, {"11", 2}}, {}},
        {{"print", "--all"}, 1, {{"10", 1}, {"11", 2}}, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.args[0] + " " + step.args[1]);
        EXPECT_EQ(Run(step.args), step.exitCode) << m_err.str();
        const vp::NvMemory nv = NvOnce([&](const vp::NvMemory& memory) {
            return memory.keyCodePrints == step.prints && memory.KeyCodes() == step.stored;
        });
        EXPECT_EQ(nv.keyCodePrints, step.prints);
        EXPECT_EQ(nv.KeyCodes(), step.stored);
    }
}

struct RefusalRow {
    const char* name;
    std::function<std::vector<std::string>(NvCommandTest&)> args;
    int exitCode;
    std::string message;
};

TEST_F(NvCommandTest, RefusedDownloadsSendNoImage) {
    const RefusalRow rows[] = {
        {"MissingImage",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"download", (t.m_files.Dir() / "gone.bmp").string(),
                                             "--auto"};
         },
         1, "Failed to load image file!\n"},
        {"RecordBeyondSixteenBitCount",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"download", t.WriteBmp("tall.bmp", 384, 1400),
                                             "--auto"};
         },
         1, "Image is too large for one NV image!"},
        {"NoRowLeftAtPrinterWidth",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"download", t.WriteBmp("a.bmp", 8, 8),
                                             t.WriteBmp("flat.bmp", 2000, 1), "--auto"};
         },
         1, "no row left!\nflat.bmp"},
        {"NoRowLeftInPrintFile",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"save", (t.m_files.Dir() / "x.prn").string(),
                                             t.WriteBmp("flat.bmp", 2000, 1), "--auto"};
         },
         1, "no row left!\nflat.bmp"},
        {"AutomaticAddressesRunOut",
         [](NvCommandTest& t) {
             std::vector<std::string> codes;
             for (int code = 10; code <= 99; ++code) {
                 codes.push_back(std::to_string(code));
             }
             t.StoreNvKeyCodes(codes);
             return std::vector<std::string>{"download", t.WriteBmp("a.bmp", 8, 8), "--auto"};
         },
         1, "No free NV address left!"},
        {"ShortAddress",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"download", t.WriteBmp("a.bmp", 8, 8), "--address",
                                             "5"};
         },
         2, "NV address must have two characters!\n5"},
        {"AddressHeldByThePrinter",
         [](NvCommandTest& t) {
             t.StoreNvKeyCodes({"10"});
             return std::vector<std::string>{"download", t.WriteBmp("a.bmp", 8, 8), "--address",
                                             "10"};
         },
         1, "Exists address!\n10"},
        {"SameAddressTwiceInOneSave",
         [](NvCommandTest& t) {
             const std::string image = t.WriteBmp("a.bmp", 8, 8);
             return std::vector<std::string>{"save",      (t.m_files.Dir() / "x.prn").string(),
                                             image,       image,
                                             "--address", "10",
                                             "--address", "10"};
         },
         1, "Exists address!\n10"},
        {"FewerAddressesThanImages",
         [](NvCommandTest& t) {
             const std::string image = t.WriteBmp("a.bmp", 8, 8);
             return std::vector<std::string>{"download", image, image, "--address", "10"};
         },
         2, "give one --address per image, or --auto"},
        {"MoreThan254Images",
         [](NvCommandTest& t) {
             std::vector<std::string> args(255, t.WriteBmp("a.bmp", 8, 8));
             args.insert(args.begin(), "download");
             args.push_back("--auto");
             return args;
         },
         1, "Image list is full!"},
        {"PrintFileCannotBeCreated",
         [](NvCommandTest& t) {
             return std::vector<std::string>{"save",
                                             (t.m_files.Dir() / "missing" / "x.prn").string(),
                                             t.WriteBmp("a.bmp", 8, 8), "--auto"};
         },
         1, "Failed to save the print file!\n"},
    };
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        Printer().State().nv.Set({});
        ClearReceived();
        EXPECT_EQ(Run(row.args(*this)), row.exitCode);
        EXPECT_THAT(m_err.str(), HasSubstr(row.message));
        EXPECT_THAT(m_out.str(), ::testing::Not(HasSubstr("Saving print files are finished.")));
        EXPECT_TRUE(ImageCommands().empty());
    }
    EXPECT_EQ(StoredCount(), 0u);
}

}  // namespace
}  // namespace printdeck::cli
