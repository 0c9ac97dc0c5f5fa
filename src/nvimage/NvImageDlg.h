#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "nvimage/NvDownloadFlow.h"

namespace Ui {
class CNvImageDlg;
}

namespace printdeck {

class CNvImageList;
class CNvOperationSequence;
class IPrompter;

// The NV image manager: the working list of BMP images with its preview and
// brightness, their download (or print file), and the NV images the printer
// holds. Every printer exchange runs in a progress window; the working list
// is loaded from the store when the window opens and stored when it closes.
class CNvImageDlg : public QDialog {
    Q_OBJECT

public:
    // Width of the preview frame's inside, in pixels.
    static constexpr int kPreviewWidth = 204;
    // How often the brightness slider is looked at.
    static constexpr int kSliderPollMs = 200;

    CNvImageDlg(IPrompter& prompter, CNvImageList& list, QWidget* parent = nullptr);
    ~CNvImageDlg() override;

    // Path of the image in the preview; empty when none is shown.
    const std::string& PreviewPath() const { return m_strPreviewPath; }
    // Number of the working-list entry the slider belongs to; -1 for none.
    int Selected() const { return m_nSelected; }

public slots:
    void done(int result) override;

private slots:
    void OnPollSlider();
    void OnImageSelectionChanged();
    void OnAddImage();
    void OnRemoveImages();
    void OnReset();
    void OnDownload();
    void OnSaveAs();
    void OnRefresh();
    void OnPrintAll();
    void OnPrint();
    void OnRemoveAddress();
    void OnRemoveAll();
    void UpdatePreview();

private:
    void ConnectSignals();
    void SetUpImageTable();
    // Reads the slider once, as its poll does.
    void ApplySlider();
    void RefillImages();
    void RefillAddresses();
    void UpdateStatus();

    CNvDownloadFlow MakeFlow();
    bool AskAddress(const std::vector<std::string>& taken, std::string& address);
    // Runs a printer operation in a progress window; shows why it failed.
    bool RunOperation(CNvOperationSequence& sequence);
    bool RunOperation(int operation);
    // The address list's selected row with its text; false after asking the
    // user to select one.
    bool SelectedAddress(int& row, std::string& address);

    void ShowMessage(const QString& text, bool warning = false);
    void ShowResult(const CNvResult& result);

    std::unique_ptr<Ui::CNvImageDlg> m_ui;
    IPrompter& m_prompter;
    CNvImageList& m_list;
    QTimer m_sliderPoll;
    std::string m_strPreviewPath;
    int m_nSelected = -1;
    int m_nSliderValue = 0;
};

}  // namespace printdeck
