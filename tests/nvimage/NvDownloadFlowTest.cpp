#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BmpWriter.h"
#include "FakeBitmapLoader.h"
#include "NvPrinterFixture.h"
#include "app/ConfigStore.h"
#include "nvimage/NvDownloadFlow.h"
#include "nvimage/NvOperationSequence.h"

namespace printdeck {
namespace {

using test::SolidBitmap;
using Addresses = std::vector<std::string>;

const char* const kWriteFailed = " Failed to write data!\r\nPlease check your printer.";
const char* const kStopped = "Download process is stoped...";

// What a window would show: nothing after success.
std::string Shown(const CNvResult& result) {
    return result.Ok() ? std::string() : result.Text();
}

class NvDownloadFlowTest : public test::NvPrinterTest {
protected:
    NvDownloadFlowTest() { m_list.SetBitmapLoader(&m_loader); }

    void AddImage(const std::string& name, int width, int height) {
        m_loader.m_Files[name] = SolidBitmap(width, height, 0, 0, 0);
        CNvImage entry;
        ASSERT_TRUE(
            m_list.LoadEntry(static_cast<std::uint8_t>(m_list.m_Images.size() + 1), name, 0, entry)
                .Ok());
        ASSERT_EQ(m_list.AddEntry(entry), RC_OK);
    }

    // A flow whose sequences run to their end, with every progress point
    // passed to m_onProgress.
    CNvDownloadFlow Flow() {
        return CNvDownloadFlow(m_list, [this](CNvOperationSequence& sequence) {
            sequence.SetProgressCallback([this, &sequence](int, const std::string& label) {
                if (m_onProgress) {
                    m_onProgress(sequence, label);
                }
            });
            return sequence.Run();
        });
    }

    // Address questions answered from `answers` in order (an empty answer
    // gives up); each question's list of taken addresses is kept.
    NvAddressQuestion Answering(std::vector<std::string> answers) {
        return [this, answers, next = std::size_t{0}](const CNvImage&, const Addresses& taken,
                                                      std::string& address) mutable {
            m_taken.push_back(taken);
            if (next >= answers.size() || answers[next].empty()) {
                return false;
            }
            address = answers[next++];
            return true;
        };
    }

    static int StoredCount() { return CNvImageList::ReadStoredCount(kNvKey); }
    void StoreCount(int count) {
        CNvImageList::WriteStoredCount(kNvKey, count);
        m_list.m_nStoredCount = count;
    }

    test::FakeBitmapLoader m_loader;
    std::function<void(CNvOperationSequence&, const std::string&)> m_onProgress;
    std::vector<Addresses> m_taken;
};

TEST_F(NvDownloadFlowTest, AutomaticAddressesSkipHeldOnesAndAreConfirmed) {
    StoreNvKeyCodes({"10", "12"});
    m_list.m_NvAddresses = {"10", "12"};
    AddImage("first.bmp", 16, 4);
    AddImage("second.bmp", 24, 2);
    CNvDownloadFlow flow = Flow();
    flow.m_bAutoAddressing = true;
    flow.m_AskAddress = Answering({});

    const CNvResult result = flow.Download();

    ASSERT_TRUE(result.Ok()) << result.Text();
    EXPECT_TRUE(m_taken.empty());
    EXPECT_EQ(flow.m_Addresses, (Addresses{"11", "13"}));
    EXPECT_EQ(m_list.m_NvAddresses, (Addresses{"10", "12", "11", "13"}));
    EXPECT_EQ(Nv().Find("13")->width, 24);
    EXPECT_EQ(StoredCount(), 2);
    EXPECT_TRUE(m_list.m_DownloadQueue.empty());
    const auto sleeps = m_clock.Sleeps();
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 200u), sleeps.end());
}

TEST_F(NvDownloadFlowTest, AddressesByHand) {
    const struct {
        const char* name;
        bool save;
        std::vector<std::string> answers;  // "" gives up
        std::vector<Addresses> taken;      // as each question saw it
        std::string message;               // "" for success
        Addresses printerAfter;
    } rows[] = {
        // Typed addresses of the same download are excluded too: the second
        // image would replace the first.
        {"Download", false, {"20", "21"}, {{"10"}, {"10", "20"}}, "", {"10", "20", "21"}},
        {"DownloadOntoHeldAddress", false, {"10"}, {{"10"}}, "Exists address!\n10", {"10"}},
        {"DownloadSameAddressTwice",
         false,
         {"20", "20"},
         {{"10"}, {"10", "20"}},
         "Exists address!\n20",
         {"10"}},
        {"DownloadCancelled",
         false,
         {"20", ""},
         {{"10"}, {"10", "20"}},
         "Cancel to download image.",
         {"10"}},
        // A print file may go to any printer: only its own addresses count.
        {"SaveOverHeldAddress", true, {"10", "11"}, {{}, {"10"}}, "", {"10"}},
        {"SaveSameAddressTwice", true, {"10", "10"}, {{}, {"10"}}, "Exists address!\n10", {"10"}},
    };
    AddImage("first.bmp", 16, 4);
    AddImage("second.bmp", 24, 2);
    const auto file = m_files.Dir() / "logos.prn";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Printer().State().nv.Set({});
        StoreNvKeyCodes({"10"});
        m_list.m_NvAddresses = {"10"};
        std::filesystem::remove(file);
        m_taken.clear();
        ClearReceived();
        CNvDownloadFlow flow = Flow();
        flow.m_AskAddress = Answering(row.answers);

        const CNvResult result = row.save ? flow.Save(file.string()) : flow.Download();

        EXPECT_EQ(Shown(result), row.message);
        EXPECT_EQ(m_taken, row.taken);
        EXPECT_EQ(std::filesystem::exists(file), row.save && row.message.empty());
        if (!row.message.empty()) {
            EXPECT_TRUE(test::ImageCommands(Events()).empty());
        }
        EXPECT_EQ(NvOnce([&](const vp::NvMemory& nv) {
                      return nv.KeyCodes() == row.printerAfter;
                  }).KeyCodes(),
                  row.printerAfter);
        EXPECT_TRUE(m_list.m_DownloadQueue.empty());
    }
}

TEST_F(NvDownloadFlowTest, ImageWithoutRowsAtPrinterWidthIsRefusedBeforeSending) {
    const struct {
        const char* name;
        bool indexed;
        bool save;
    } rows[] = {
        {"KeyCodeDownload", false, false},
        {"KeyCodeSave", false, true},
        {"IndexedDownload", true, false},
        {"IndexedSave", true, true},
    };
    // 2000 x 1 shrinks to 384 (or 576) x 0.
    AddImage("logo.bmp", 16, 4);
    AddImage("flat.bmp", 2000, 1);
    const auto file = m_files.Dir() / "logos.prn";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.indexed) {
            UseIndexedPrinter();
        }
        m_device.m_Port.Close();
        ClearReceived();
        CNvDownloadFlow flow = Flow();
        flow.m_bAutoAddressing = true;

        const CNvResult result = row.save ? flow.Save(file.string()) : flow.Download();

        EXPECT_EQ(result.m_nCode, RC_NV_IMAGE_EMPTY);
        EXPECT_EQ(result.m_strSubject, "flat.bmp");
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_TRUE(Received().empty());
        EXPECT_TRUE(m_list.m_DownloadQueue.empty());
    }
}

TEST_F(NvDownloadFlowTest, KeyCodeDownloadCountsOnlyWhatThePrinterLists) {
    const struct {
        const char* name;
        std::function<void(test::VirtualPrinterRunner&)> arrange;
        std::string message;
    } rows[] = {
        // The printer keeps listing only 10: image 11 never arrived.
        {"AddressMissingFromList",
         [](test::VirtualPrinterRunner& printer) {
             printer.Printer().State().nv.Update([](vp::NvMemory& nv) {
                 nv.scriptedListReply = {{0x37, 0x72, 0x40, '1', '0', 0x00}};
             });
         },
         "The printer does not list the downloaded NV image!\n11"},
        // Identification takes 6 bytes; the connection drops inside the
        // record, whose write may still look complete. The list read after
        // it fails, or lacks 11.
        {"ConnectionDropsInsideRecord",
         [](test::VirtualPrinterRunner& printer) { printer.SetFault("close-after=12"); }, ""},
    };
    AddImage("first.bmp", 16, 4);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Printer().State().nv.Set({});
        StoreNvKeyCodes({"10"});
        m_list.m_NvAddresses = {"10"};
        StoreCount(5);
        m_device.m_Port.Close();
        row.arrange(*this);
        CNvDownloadFlow flow = Flow();
        flow.m_bAutoAddressing = true;

        const CNvResult result = flow.Download();

        EXPECT_FALSE(result.Ok());
        if (!row.message.empty()) {
            EXPECT_EQ(result.Text(), row.message);
        }
        EXPECT_EQ(StoredCount(), 5);
        EXPECT_EQ(m_list.m_nStoredCount, 5);
        SetFault(vp::Fault{});
    }
}

TEST_F(NvDownloadFlowTest, IndexedCountIsStoredOnceEveryRecordIsWritten) {
    const struct {
        const char* name;
        std::function<void(CNvOperationSequence&, CPrinterDevice&)> atSecondRecord;
        std::string message;
        int countAfter;
        std::size_t imagesAfter;
    } rows[] = {
        // The cancel waits for the last record; the printer then holds all.
        {"CancelDuringRecords",
         [](CNvOperationSequence& sequence, CPrinterDevice&) { sequence.RequestCancel(); },
         kStopped, 3, 3},
        {"ConnectionLostBeforeSecondRecord",
         [](CNvOperationSequence&, CPrinterDevice& device) { device.m_Port.Close(); }, kWriteFailed,
         5, 0},
    };
    UseIndexedPrinter();
    AddImage("one.bmp", 16, 4);
    AddImage("two.bmp", 24, 2);
    AddImage("three.bmp", 8, 8);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Printer().State().nv.Set({});
        StoreCount(5);
        m_device.m_Port.Close();
        m_onProgress = [&](CNvOperationSequence& sequence, const std::string& label) {
            if (label == "two.bmp Downloading...") {
                row.atSecondRecord(sequence, m_device);
            }
        };
        CNvDownloadFlow flow = Flow();

        const CNvResult result = flow.Download();

        EXPECT_EQ(Shown(result), row.message);
        EXPECT_EQ(StoredCount(), row.countAfter);
        EXPECT_EQ(m_list.m_nStoredCount, row.countAfter);
        EXPECT_EQ(NvOnce([&](const vp::NvMemory& nv) {
                      return nv.indexedGraphics.size() == row.imagesAfter;
                  }).indexedGraphics.size(),
                  row.imagesAfter);
    }
}

// The printer holds the images, but a window or a script that is not told
// the count was lost would delete or print the wrong ones next time.
TEST_F(NvDownloadFlowTest, CountThatCannotBeStoredIsAFailureNamingTheStore) {
    const auto blocker = m_files.Dir() / "not-a-folder";
    test::WriteBytes(blocker, "");
    const std::string store = (blocker / "printdeck.reg").string();
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "indexed" : "key-code");
        if (indexed) {
            UseIndexedPrinter();
        }
        m_list.m_Images.clear();
        AddImage("first.bmp", 16, 4);
        m_device.m_Port.Close();
        CNvDownloadFlow flow = Flow();
        flow.m_bAutoAddressing = true;
        test::ScopedEnv unwritable("PRINTDECK_STORE", store);

        const CNvResult result = flow.Download();

        EXPECT_EQ(
            result.Text(),
            "The NV images are in the printer, but their count could not be saved!\n" + store);
    }
}

TEST_F(NvDownloadFlowTest, NothingToDownloadOrSave) {
    CNvDownloadFlow flow = Flow();
    const auto file = m_files.Dir() / "logos.prn";
    for (const CNvResult& result : {flow.Download(), flow.Save(file.string())}) {
        EXPECT_EQ(result.Text(), "Without a BMP file being selected.");
        EXPECT_TRUE(result.IsNotice());
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace printdeck
