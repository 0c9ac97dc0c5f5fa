#pragma once

#include <string>

#include "CliContext.h"
#include "ProgressLine.h"
#include "firmware/FirmwareSender.h"

namespace printdeck::cli {

// A send loop's progress on the terminal as "LABEL : N %"; the sender's own
// texts are left to a listener that derives from this one.
class SendProgress : public IFirmwareListener {
public:
    SendProgress(const CliContext& context, std::string label)
        : m_progress(context.NewProgressLine()), m_label(std::move(label)) {}

    void OnProgress(const FirmwareProgress& progress) override {
        m_progress.Show(m_label + " : " + std::to_string(progress.percent) + " %");
    }
    void OnSending(bool active) override {
        if (!active) {
            m_progress.End();
        }
    }

private:
    ProgressLine m_progress;
    std::string m_label;
};

}  // namespace printdeck::cli
