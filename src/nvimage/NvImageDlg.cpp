#include "nvimage/NvImageDlg.h"

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPixmap>
#include <QSignalBlocker>
#include <algorithm>
#include <cstring>

#include "app/StringTable.h"
#include "gui/GuiText.h"
#include "gui/Prompter.h"
#include "nvimage/NvAddressDlg.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/NvPreview.h"
#include "nvimage/NvProgressDlg.h"
#include "ui_NvImageDlg.h"

namespace printdeck {

namespace {

const char* const kImageFilter = "Image Files(*.bmp)|*.bmp||";
const char* const kPrintFileFilter = "Print Files(*.prn)|*.prn||";

enum ImageColumn { ColumnNumber, ColumnName, ColumnSize, ColumnCount };
// "%1 Bytes" needs more room in this system's fonts than the classic 55.
constexpr int kColumnWidths[ColumnCount] = {42, 115, 85};

QImage ToQImage(const CBitmap& bitmap) {
    if (bitmap.m_nWidth <= 0 || bitmap.m_nHeight <= 0) {
        return {};
    }
    QImage image(bitmap.m_nWidth, bitmap.m_nHeight, QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(bitmap.m_nWidth) * 3;
    for (int y = 0; y < bitmap.m_nHeight; ++y) {
        std::memcpy(image.scanLine(y), bitmap.Pixel(0, y), rowBytes);
    }
    return image;
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QTableWidgetItem* CentredItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

}  // namespace

CNvImageDlg::CNvImageDlg(IPrompter& prompter, CNvImageList& list, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CNvImageDlg>()),
      m_prompter(prompter),
      m_list(list) {
    m_ui->setupUi(this);
    SetUpImageTable();
    m_ui->brightnessSlider->setRange(0, 100);
    m_ui->brightnessSlider->setValue(0);
    // The indexed family replaces all images at once and cannot list them.
    const bool keyCodes = !m_list.IsIndexedNvPrinter();
    m_ui->autoAddressingCheckBox->setEnabled(keyCodes);
    m_ui->refreshButton->setEnabled(keyCodes);
    m_ui->removeAddressButton->setEnabled(keyCodes);
    ConnectSignals();
    m_sliderPoll.start(kSliderPollMs);
    for (const CNvResult& refused : m_list.LoadImagesFromStore()) {
        ShowResult(refused);
    }
    RefillAddresses();
    RefillImages();
    UpdateStatus();
    UpdatePreview();
}

CNvImageDlg::~CNvImageDlg() = default;

void CNvImageDlg::ConnectSignals() {
    connect(&m_sliderPoll, &QTimer::timeout, this, &CNvImageDlg::OnPollSlider);
    connect(m_ui->imageTable, &QTableWidget::itemSelectionChanged, this,
            &CNvImageDlg::OnImageSelectionChanged);
    connect(m_ui->printedDotsCheckBox, &QCheckBox::toggled, this, &CNvImageDlg::UpdatePreview);
    connect(m_ui->addImageButton, &QPushButton::clicked, this, &CNvImageDlg::OnAddImage);
    connect(m_ui->removeImageButton, &QPushButton::clicked, this, &CNvImageDlg::OnRemoveImages);
    connect(m_ui->resetButton, &QPushButton::clicked, this, &CNvImageDlg::OnReset);
    connect(m_ui->downloadButton, &QPushButton::clicked, this, &CNvImageDlg::OnDownload);
    connect(m_ui->saveAsButton, &QPushButton::clicked, this, &CNvImageDlg::OnSaveAs);
    connect(m_ui->refreshButton, &QPushButton::clicked, this, &CNvImageDlg::OnRefresh);
    connect(m_ui->printAllButton, &QPushButton::clicked, this, &CNvImageDlg::OnPrintAll);
    connect(m_ui->printButton, &QPushButton::clicked, this, &CNvImageDlg::OnPrint);
    connect(m_ui->removeAddressButton, &QPushButton::clicked, this, &CNvImageDlg::OnRemoveAddress);
    connect(m_ui->removeAllButton, &QPushButton::clicked, this, &CNvImageDlg::OnRemoveAll);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &CNvImageDlg::accept);
}

void CNvImageDlg::SetUpImageTable() {
    QTableWidget& table = *m_ui->imageTable;
    table.setColumnCount(ColumnCount);
    table.setHorizontalHeaderLabels(
        {GuiString(IDS_COLUMN_NO), GuiString(IDS_COLUMN_NAME), GuiString(IDS_COLUMN_SIZE)});
    for (int column = 0; column < ColumnCount; ++column) {
        table.setColumnWidth(column, kColumnWidths[column]);
    }
    table.setWordWrap(false);
}

void CNvImageDlg::done(int result) {
    m_sliderPoll.stop();
    m_list.SaveImagesToStore();
    QDialog::done(result);
}

void CNvImageDlg::OnPollSlider() {
    ApplySlider();
}

void CNvImageDlg::ApplySlider() {
    const int value = m_ui->brightnessSlider->value();
    if (value == m_nSliderValue) {
        return;
    }
    m_nSliderValue = value;
    for (CNvImage& image : m_list.m_Images) {
        if (image.m_nNumber == m_nSelected) {
            image.m_nBrightness = value;
        }
    }
    UpdatePreview();
}

void CNvImageDlg::OnImageSelectionChanged() {
    const int row = m_ui->imageTable->currentRow();
    const QTableWidgetItem* numberItem =
        row >= 0 ? m_ui->imageTable->item(row, ColumnNumber) : nullptr;
    if (numberItem == nullptr) {
        return;
    }
    const int number = numberItem->text().toInt();
    const auto found =
        std::find_if(m_list.m_Images.begin(), m_list.m_Images.end(),
                     [number](const CNvImage& image) { return image.m_nNumber == number; });
    if (found == m_list.m_Images.end() || number == m_nSelected) {
        return;
    }
    m_nSelected = number;
    m_strPreviewPath = found->m_strPath;
    m_ui->brightnessSlider->setValue(found->m_nBrightness);
    UpdatePreview();
}

void CNvImageDlg::OnAddImage() {
    ApplySlider();
    const QStringList files = m_prompter.OpenFiles(this, FixedText(kImageFilter));
    for (const QString& file : files) {
        CNvImage entry;
        const auto number = static_cast<std::uint8_t>(m_list.m_Images.size() + 1);
        if (!m_list.LoadEntry(number, LocalPath(file), m_nSliderValue, entry).Ok()) {
            ShowMessage(GuiString(IDS_FAILED_TO_LOAD_IMAGE));
            continue;
        }
        std::string name = entry.m_strName;
        if (const int result = m_list.AddEntry(std::move(entry)); result != RC_OK) {
            ShowResult({result, name});
        }
    }
    RefillImages();
    UpdateStatus();
}

void CNvImageDlg::OnRemoveImages() {
    QModelIndexList selected = m_ui->imageTable->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        ShowMessage(GuiString(IDS_NO_BMP_SELECTED), true);
        return;
    }
    if (m_prompter.AskYesNo(this, GuiString(IDS_CONFIRM_REMOVE_SELECTION),
                            GuiString(IDS_NV_MANAGER_TITLE))) {
        if (selected.size() == 1) {
            m_strPreviewPath.clear();
        }
        // From the last row up, so that the numbers still to remove stay put.
        std::sort(selected.begin(), selected.end(),
                  [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
        for (const QModelIndex& index : selected) {
            m_list.RemoveEntry(static_cast<std::uint8_t>(index.row() + 1));
        }
    }
    RefillImages();
    UpdateStatus();
    UpdatePreview();
}

void CNvImageDlg::OnReset() {
    m_strPreviewPath.clear();
    m_nSelected = -1;
    m_list.RemoveAllEntries();
    RefillImages();
    UpdateStatus();
    UpdatePreview();
}

CNvDownloadFlow CNvImageDlg::MakeFlow() {
    CNvDownloadFlow flow(m_list, [this](CNvOperationSequence& sequence) {
        return CNvProgressDlg::Run(sequence, this);
    });
    flow.m_bAutoAddressing =
        m_ui->autoAddressingCheckBox->isEnabled() && m_ui->autoAddressingCheckBox->isChecked();
    flow.m_AskAddress = [this](const CNvImage&, const std::vector<std::string>& taken,
                               std::string& address) { return AskAddress(taken, address); };
    return flow;
}

bool CNvImageDlg::AskAddress(const std::vector<std::string>& taken, std::string& address) {
    CNvAddressDlg dialog(m_prompter, taken, this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    address = dialog.Code();
    return true;
}

void CNvImageDlg::OnDownload() {
    const CNvResult result = MakeFlow().Download();
    RefillAddresses();
    UpdateStatus();
    if (!result.Ok()) {
        ShowResult(result);
    }
}

void CNvImageDlg::OnSaveAs() {
    CNvDownloadFlow flow = MakeFlow();
    if (const CNvResult check = flow.CheckHasImages(); !check.Ok()) {
        ShowResult(check);
        return;
    }
    const QString path =
        m_prompter.SaveFile(this, FixedText(kPrintFileFilter), QStringLiteral("prn"));
    if (path.isEmpty()) {
        return;
    }
    const CNvResult result = flow.Save(LocalPath(path));
    if (!result.Ok()) {
        ShowResult(result);
        return;
    }
    ShowMessage(GuiString(IDS_PRINT_FILES_SAVED), true);
}

bool CNvImageDlg::RunOperation(CNvOperationSequence& sequence) {
    if (CNvProgressDlg::Run(sequence, this)) {
        return true;
    }
    ShowMessage(FixedText(sequence.m_strResult.c_str()));
    return false;
}

bool CNvImageDlg::RunOperation(int operation) {
    CNvOperationSequence sequence(m_list, operation);
    return RunOperation(sequence);
}

void CNvImageDlg::OnRefresh() {
    m_list.m_NvAddresses.clear();
    if (RunOperation(NvReadAddresses)) {
        RefillAddresses();
    }
    UpdateStatus();
}

void CNvImageDlg::OnPrintAll() {
    m_list.m_nStoredCount = m_ui->addressList->count();
    RunOperation(NvPrintAll);
}

bool CNvImageDlg::SelectedAddress(int& row, std::string& address) {
    row = m_ui->addressList->currentRow();
    if (row < 0 || m_ui->addressList->selectedItems().isEmpty() ||
        static_cast<std::size_t>(row) >= m_list.m_NvAddresses.size()) {
        ShowMessage(GuiString(IDS_SELECT_ADDRESS));
        return false;
    }
    address = m_list.m_NvAddresses[static_cast<std::size_t>(row)];
    return true;
}

void CNvImageDlg::OnPrint() {
    CNvOperationSequence print(m_list, NvPrintSelected);
    if (SelectedAddress(print.m_nIndex, print.m_strAddress)) {
        RunOperation(print);
    }
}

void CNvImageDlg::OnRemoveAddress() {
    CNvOperationSequence remove(m_list, NvDeleteSelected);
    if (SelectedAddress(remove.m_nIndex, remove.m_strAddress) && RunOperation(remove)) {
        RefillAddresses();
        UpdateStatus();
    }
}

void CNvImageDlg::OnRemoveAll() {
    if (RunOperation(NvDeleteAll)) {
        RefillAddresses();
        UpdateStatus();
    }
}

void CNvImageDlg::RefillImages() {
    // Refilling is no choice of the user's: the preview and slider stay.
    const QSignalBlocker blocker(m_ui->imageTable);
    QTableWidget& table = *m_ui->imageTable;
    table.clearContents();
    table.setRowCount(static_cast<int>(m_list.m_Images.size()));
    int row = 0;
    for (const CNvImage& image : m_list.m_Images) {
        table.setItem(row, ColumnNumber, CentredItem(QString::number(image.m_nNumber)));
        table.setItem(row, ColumnName, CentredItem(QString::fromStdString(image.m_strName)));
        table.setItem(row, ColumnSize, CentredItem(tr("%1 Bytes").arg(image.m_nSize)));
        ++row;
    }
}

void CNvImageDlg::RefillAddresses() {
    m_ui->addressList->clear();
    for (const std::string& address : m_list.m_NvAddresses) {
        m_ui->addressList->addItem(
            QString::fromLatin1(address.data(), static_cast<qsizetype>(address.size())));
    }
}

void CNvImageDlg::UpdateStatus() {
    m_ui->statusLabel->setText(tr("<Images: %1/%2 - Memory: %3/%4 (Byte)>")
                                   .arg(m_list.m_Images.size())
                                   .arg(m_list.m_NvAddresses.size())
                                   .arg(m_list.TotalSize())
                                   .arg(kNvAreaBytes));
}

void CNvImageDlg::UpdatePreview() {
    QImage image;
    if (!m_strPreviewPath.empty() && m_ui->printedDotsCheckBox->isChecked()) {
        // What the download would send, at the brightness the slider shows.
        CNvImage entry;
        entry.m_strPath = m_strPreviewPath;
        entry.m_nBrightness = m_nSliderValue;
        CRaster raster;
        if (m_list.ConvertImage(entry, m_list.DownloadWidth(), raster).Ok()) {
            const CImageSize size = PreviewSize(kPreviewWidth, raster.m_nWidth, raster.m_nHeight);
            image = ToQImage(RasterBitmap(raster))
                        .scaled(size.m_nWidth, size.m_nHeight, Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
        }
    } else if (CPicture picture;
               !m_strPreviewPath.empty() && m_list.LoadBitmap(m_strPreviewPath, picture).Ok()) {
        image = ToQImage(ColourPreview(picture.m_Rows, kPreviewWidth, m_nSliderValue));
    }
    m_ui->previewFrame->setPixmap(QPixmap::fromImage(image));
}

void CNvImageDlg::ShowMessage(const QString& text, bool warning) {
    m_prompter.Message(this, text, GuiString(IDS_NV_MANAGER_TITLE),
                       warning ? IPrompter::Icon::Exclamation : IPrompter::Icon::None);
}

void CNvImageDlg::ShowResult(const CNvResult& result) {
    QString text = FixedText(result.Text().c_str());
    if (const int id = result.StringId(); id != 0) {
        text = GuiString(id);
        if (!result.m_strSubject.empty()) {
            text += QLatin1Char('\n') + QString::fromStdString(result.m_strSubject);
        }
    }
    ShowMessage(text, result.IsNotice());
}

}  // namespace printdeck
