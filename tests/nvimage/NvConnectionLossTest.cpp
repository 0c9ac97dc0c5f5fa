#include <gtest/gtest.h>

#include <string>

#include "NvPrinterFixture.h"
#include "nvimage/NvOperationSequence.h"

namespace printdeck::test {
namespace {

// The longest reply limit of a download (the model and version queries'),
// and the port read under way when it passes.
constexpr std::uint64_t kLongestReplyWaitMs = 3000 + 1000;

// An NV download against a printer that hangs up after every possible
// number of received bytes in turn.
class NvConnectionLossTest : public NvPrinterTest {
protected:
    struct Run {
        bool succeeded = false;
        std::string message;
        std::uint64_t elapsedMs = 0;  // on the device's clock
        bool portOpen = false;
    };

    Run Download() {
        m_device.m_Port.Close();
        m_list.m_bIdentified = 0;
        CNvOperationSequence sequence(m_list, NvStartDownload);
        for (const CNvDownloadRecord& record : m_records) {
            sequence.m_Records.push_back(&record);
        }
        const std::uint64_t start = m_clock.TickCount();
        Run run;
        run.succeeded = sequence.Run();
        run.message = sequence.m_strResult;
        run.elapsedMs = m_clock.TickCount() - start;
        run.portOpen = m_device.m_Port.m_bOpen != 0;
        return run;
    }

    const CNvDownloadRecord m_records[2] = {FilledRecord("one", 24), FilledRecord("two", 16)};
};

TEST_F(NvConnectionLossTest, HangUpAtAnyByteOfADownloadIsAFailure) {
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "indexed family" : "key-code family");
        if (indexed) {
            UseIndexedPrinter();
        }
        SetFault(vp::Fault{});
        ClearReceived();
        const Run sound = Download();
        ASSERT_TRUE(sound.succeeded) << sound.message;
        const std::size_t exchange = Received().size();
        const std::string storeBefore = ReadWholeFile(m_files.StorePath());

        for (std::size_t handled = 0; handled < exchange; ++handled) {
            SetFault(vp::Fault{vp::Fault::Kind::CloseAfter, static_cast<unsigned>(handled + 1)});
            const Run run = Download();
            ASSERT_FALSE(run.succeeded) << "hang-up after " << handled << " bytes";
            EXPECT_FALSE(run.message.empty()) << handled;
            EXPECT_FALSE(run.portOpen) << handled;
            EXPECT_EQ(ReadWholeFile(m_files.StorePath()), storeBefore) << handled;
            EXPECT_LE(run.elapsedMs, sound.elapsedMs + kLongestReplyWaitMs) << handled;
        }
    }
}

}  // namespace
}  // namespace printdeck::test
