#include "nvimage/NvImageDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <sstream>

#include "GuiTestSupport.h"
#include "ScriptedPrompter.h"
#include "app/MainDlg.h"
#include "cli/CliRun.h"
#include "gui/DemoPrinter.h"
#include "nvimage/NvAddressDlg.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/NvPrinterFixture.h"
#include "nvimage/NvProgressDlg.h"
#include "nvimage/QtBmpLoader.h"
#include "support/TempDir.h"

namespace printdeck::test {
namespace {

void Click(QWidget& window, const char* button) {
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

// A BMP with a diagonal pattern in `ink` on white.
QString WriteBmp(const TempDir& dir, const std::string& name, int width, int height,
                 QColor ink = Qt::black) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::white);
    for (int y = 0; y < height; ++y) {
        for (int x = y % 3; x < width; x += 3) {
            image.setPixelColor(x, y, ink);
        }
    }
    const QString path = QString::fromStdString((dir / name).string());
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
}

QStringList Addresses(QWidget& window) {
    QStringList texts;
    auto* list = Child<QListWidget>(window, "addressList");
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

// The window as the user meets it: `printdeck --demo`, the main window's
// "NV Image Manager" button, two BMPs added and downloaded with automatic
// addresses, one printed, all deleted.
TEST(NvImageDlgDemoTest, DownloadPrintAndDeleteOnTheDemoPrinter) {
    TempDir files;
    ScopedEnv store("PRINTDECK_STORE", (files / "user.reg").string());
    CDemoPrinter demo;
    QString error;
    ASSERT_TRUE(demo.Start({}, error)) << error.toStdString();
    ScriptedPrompter prompter;
    prompter.openFileLists.push_back(
        {WriteBmp(files, "logo.bmp", 40, 20), WriteBmp(files, "stamp.bmp", 17, 9)});
    CMainDlg mainWindow(prompter);
    mainWindow.show();
    QStringList afterDownload;
    QString status;
    WhenModalShown<CNvImageDlg>([&](CNvImageDlg& manager) {
        // Print All on a printer holding nothing says so.
        Click(manager, "printAllButton");
        Click(manager, "addImageButton");
        Child<QCheckBox>(manager, "autoAddressingCheckBox")->setChecked(true);
        Click(manager, "downloadButton");
        afterDownload = Addresses(manager);
        status = Child<QLabel>(manager, "statusLabel")->text();
        Child<QListWidget>(manager, "addressList")->setCurrentRow(1);
        Click(manager, "printButton");
        Click(manager, "removeAllButton");
        EXPECT_TRUE(Addresses(manager).isEmpty());
        Click(manager, "exitButton");
    });

    QTest::mouseClick(mainWindow.findChild<QPushButton*>("nvImageManagerButton"), Qt::LeftButton);

    EXPECT_EQ(prompter.MessageTexts(), QStringList{"The printer holds no NV image."});
    EXPECT_EQ(prompter.messages.at(0).caption, "NV Image Manager");
    EXPECT_EQ(afterDownload, (QStringList{"10", "11"}));
    EXPECT_EQ(status, "<Images: 2/2 - Memory: 127/262144 (Byte)>");
    const vp::NvMemory nv = demo.Printer().State().nv.Get();
    EXPECT_EQ(nv.keyCodePrints, (std::map<std::string, int>{{"11", 1}}));
    EXPECT_TRUE(nv.keyCodeGraphics.empty());
    EXPECT_FALSE(mainWindow.Printer().m_Port.m_bOpen);
}

// The manager over an image list whose printer is a virtual one, opened as
// the main window opens it: after reading the printer's NV addresses.
class NvImageDlgTest : public NvPrinterTest {
protected:
    NvImageDlgTest() { m_list.SetBitmapLoader(&m_loader); }

    QString WriteBmp(const std::string& name, int width, int height, QColor ink = Qt::black) {
        return test::WriteBmp(m_files.Dir(), name, width, height, ink);
    }

    std::unique_ptr<CNvImageDlg> Open() {
        CNvOperationSequence read(m_list, NvReadAddresses);
        EXPECT_TRUE(read.Run()) << read.m_strResult;
        auto window = std::make_unique<CNvImageDlg>(m_prompter, m_list);
        window->show();
        return window;
    }

    void AddImages(CNvImageDlg& window, const QStringList& files) {
        m_prompter.openFileLists.push_back(files);
        Click(window, "addImageButton");
    }
    void SelectImageRows(CNvImageDlg& window, std::initializer_list<int> rows) {
        auto* table = Child<QTableWidget>(window, "imageTable");
        table->clearSelection();
        for (int row : rows) {
            table->setCurrentCell(row, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // Moves the slider and waits for the window's poll to see it.
    void MoveSlider(CNvImageDlg& window, int value) {
        Child<QSlider>(window, "brightnessSlider")->setValue(value);
        QTest::qWait(CNvImageDlg::kSliderPollMs * 2);
    }
    QImage Preview(CNvImageDlg& window) {
        return Child<QLabel>(window, "previewFrame")->pixmap().toImage();
    }

    CQtBmpLoader m_loader;
    ScriptedPrompter m_prompter;
};

TEST_F(NvImageDlgTest, IndexedPrinterNeedsNoAddresses) {
    SetFirmware(kIndexedFirmware);
    auto window = Open();
    for (const char* name : {"autoAddressingCheckBox", "refreshButton", "removeAddressButton"}) {
        EXPECT_FALSE(Child<QWidget>(*window, name)->isEnabled()) << name;
    }
    AddImages(*window, {WriteBmp("logo.bmp", 500, 20), WriteBmp("stamp.bmp", 17, 9)});
    ClearReceived();

    Click(*window, "downloadButton");
    const vp::NvMemory nv =
        NvOnce([](const vp::NvMemory& memory) { return memory.indexedGraphics.size() == 2; });
    ASSERT_EQ(nv.indexedGraphics.size(), 2u);
    EXPECT_EQ(nv.indexedGraphics[0].width, 384);
    const vp::Bytes sent = ImageCommands(Events());
    ASSERT_GE(sent.size(), 9u);
    EXPECT_EQ(vp::Bytes(sent.begin(), sent.begin() + 3), (vp::Bytes{0x08, 0x5E, 0x37}));
    EXPECT_EQ(Addresses(*window), (QStringList{"00", "01"}));
    EXPECT_TRUE(m_prompter.messages.empty()) << m_prompter.MessageTexts().join('|').toStdString();
}

TEST_F(NvImageDlgTest, ImageWithoutRowsIsRefusedNamingItsFile) {
    auto window = Open();
    // 2000 x 1 keeps no row at the printer's width.
    AddImages(*window, {WriteBmp("logo.bmp", 40, 20), WriteBmp("flat.bmp", 2000, 1)});
    Child<QCheckBox>(*window, "autoAddressingCheckBox")->setChecked(true);
    ClearReceived();

    Click(*window, "downloadButton");
    ASSERT_EQ(m_prompter.messages.size(), 1u);
    EXPECT_TRUE(m_prompter.messages[0].text.endsWith("\nflat.bmp"))
        << m_prompter.messages[0].text.toStdString();
    EXPECT_TRUE(Received().empty());
}

TEST_F(NvImageDlgTest, SliderFollowsTheSelectedImage) {
    auto window = Open();
    // Nothing selected: the slider changes no image.
    AddImages(*window, {WriteBmp("a.bmp", 20, 20)});
    MoveSlider(*window, 40);
    EXPECT_EQ(m_list.m_Images.at(0).m_nBrightness, 0);
    EXPECT_EQ(window->Selected(), -1);

    // A new file takes the slider's value, whatever is selected.
    SelectImageRows(*window, {0});
    EXPECT_EQ(window->Selected(), 1);
    EXPECT_EQ(Child<QSlider>(*window, "brightnessSlider")->value(), 0);
    MoveSlider(*window, 30);
    AddImages(*window, {WriteBmp("b.bmp", 20, 20)});
    EXPECT_EQ(m_list.m_Images.at(0).m_nBrightness, 30);
    EXPECT_EQ(m_list.m_Images.at(1).m_nBrightness, 30);
}

TEST_F(NvImageDlgTest, RemovingRowsAndThePreview) {
    auto window = Open();
    AddImages(*window, {WriteBmp("a.bmp", 20, 20), WriteBmp("b.bmp", 20, 20),
                        WriteBmp("c.bmp", 20, 20), WriteBmp("d.bmp", 20, 20)});
    Click(*window, "removeImageButton");
    EXPECT_EQ(m_prompter.MessageTexts(), QStringList{"Without a BMP file being selected."});
    EXPECT_EQ(m_prompter.messages.at(0).icon, IPrompter::Icon::Exclamation);

    SelectImageRows(*window, {1});
    EXPECT_NE(window->PreviewPath(), "");
    m_prompter.answers.push_back(true);
    Click(*window, "removeImageButton");
    EXPECT_EQ(window->PreviewPath(), "");
    EXPECT_EQ(Child<QLabel>(*window, "previewFrame")->pixmap().isNull(), true);

    SelectImageRows(*window, {0, 1, 2});
    const std::string shown = window->PreviewPath();
    m_prompter.answers.push_back(true);
    Click(*window, "removeImageButton");
    EXPECT_EQ(window->PreviewPath(), shown);
    EXPECT_TRUE(m_list.m_Images.empty());
    EXPECT_EQ(Child<QTableWidget>(*window, "imageTable")->rowCount(), 0);
}

TEST_F(NvImageDlgTest, PreviewFillsTheFrameOrItsShareOfThePaper) {
    auto window = Open();
    // Pale grey prints nothing: the printed dots of it are white paper.
    const QColor pale(230, 230, 230);
    AddImages(*window,
              {WriteBmp("wide.bmp", 300, 60, pale), WriteBmp("narrow.bmp", 150, 60, pale)});
    const struct {
        int row;
        bool dots;
        int width;
    } rows[] = {
        {0, false, 204},
        {1, false, 79},
        {1, true, 79},
        {0, true, 204},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.row) + (row.dots ? " dots" : " colour"));
        Child<QCheckBox>(*window, "printedDotsCheckBox")->setChecked(row.dots);
        SelectImageRows(*window, {row.row});
        const QImage preview = Preview(*window);
        EXPECT_EQ(preview.width(), row.width);
        int darkest = 255;
        for (int y = 0; y < preview.height(); ++y) {
            for (int x = 0; x < preview.width(); ++x) {
                darkest = std::min(darkest, qGray(preview.pixel(x, y)));
            }
        }
        if (row.dots) {
            EXPECT_GE(darkest, 250);
        } else {
            EXPECT_EQ(darkest, 230);
        }
    }
}

TEST_F(NvImageDlgTest, SaveRefusesAnAddressTypedTwice) {
    auto window = Open();
    AddImages(*window, {WriteBmp("a.bmp", 20, 20), WriteBmp("b.bmp", 20, 20)});
    const auto file = m_files.Dir() / "logos.prn";
    m_prompter.saveFiles.push_back(QString::fromStdString(file.string()));
    QStringList typed;
    const auto answer = [&](CNvAddressDlg& dialog, const QString& code) {
        auto* edit = Child<QLineEdit>(dialog, "addressEdit");
        edit->setText(code);
        typed << code;
        Click(dialog, "okButton");
    };
    WhenModalShown<CNvAddressDlg>([&](CNvAddressDlg& first) {
        WhenModalShown<CNvAddressDlg>([&](CNvAddressDlg& second) {
            answer(second, "10");
            EXPECT_TRUE(second.isVisible());
            answer(second, "11");
        });
        answer(first, "10");
    });

    Click(*window, "saveAsButton");
    EXPECT_EQ(typed, (QStringList{"10", "10", "11"}));
    EXPECT_EQ(m_prompter.MessageTexts(),
              (QStringList{"Exists address!", "Saving print files are finished."}));
    EXPECT_TRUE(std::filesystem::exists(file));
}

// A slow printer: the window keeps running its event loop, and closing it
// stops the operation once the step under way has ended.
TEST_F(NvImageDlgTest, ProgressWindowRespondsAndClosesBetweenSteps) {
    CPrinterDevice device;  // with the real clock: replies take their time
    Connect(device);
    m_list.m_pDevice = &device;
    SetFault("slow=300");
    CNvOperationSequence read(m_list, NvReadAddresses);
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(20);
    bool openAfterClosing = false;
    // Closed once the port is open, while the identification waits for the
    // printer.
    WhenModalShown<CNvProgressDlg>([&](CNvProgressDlg& window) {
        QObject::connect(Child<QProgressBar>(window, "progressBar"), &QProgressBar::valueChanged,
                         &window, [&](int value) {
                             if (value == 5) {
                                 window.close();
                                 openAfterClosing = window.isVisible();
                             }
                         });
    });

    EXPECT_FALSE(CNvProgressDlg::Run(read, nullptr));

    EXPECT_TRUE(openAfterClosing);
    EXPECT_GT(ticks, 10) << "two replies of 300 ms each";
    EXPECT_EQ(read.m_strResult, "Download process is stoped...");
    EXPECT_EQ(m_list.m_bIdentified, 1) << "the identification step ran to its end";
    const auto events = Events();
    EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const vp::CommandEvent& event) {
        return event.handler == "nv-key-code";
    })) << "no step after it";
    device.m_Port.Close();
    m_list.m_pDevice = &m_device;
}

// The window and printdeck-cli send the same bytes for the same images,
// addresses and brightness.
TEST_F(NvImageDlgTest, WindowAndCommandLineDownloadTheSameBytes) {
    const QString logo = WriteBmp("logo.bmp", 700, 30);
    const QString stamp = WriteBmp("stamp.bmp", 17, 9);
    auto window = Open();
    MoveSlider(*window, 40);
    AddImages(*window, {logo, stamp});
    Child<QCheckBox>(*window, "autoAddressingCheckBox")->setChecked(true);
    ClearReceived();
    Click(*window, "downloadButton");
    const vp::Bytes fromWindow = ImageCommands(Events());
    window.reset();
    // The printer serves one connection at a time.
    m_device.m_Port.Close();

    Printer().State().nv.Set({});
    ClearReceived();
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunCliWith(OnPrinter(*this, {"nv", "download", logo.toStdString(),
                                           stamp.toStdString(), "--auto", "--brightness", "40"}),
                         out, err),
              0)
        << err.str();
    const vp::Bytes fromCli = ImageCommands(Events());
    ASSERT_FALSE(fromWindow.empty());
    EXPECT_EQ(fromWindow, fromCli);
}

}  // namespace
}  // namespace printdeck::test
