#include <CLI/CLI.hpp>
#include <cstdio>

#include "Commands.h"
#include "Output.h"
#include "app/StringTable.h"

namespace printdeck::cli {
namespace {

struct IdentifyCheck {
    int mode;
    int failureMessage;
    int replyLimitMs;
};

// The four questions in the order the managers ask them.
constexpr IdentifyCheck kChecks[] = {
    {CheckModel, IDS_MODEL_NOT_MATCHED, kTextReplyLimitMs},
    {CheckVersion, IDS_FAILED_TO_GET_VERSION, kTextReplyLimitMs},
    {CheckCodePage, IDS_FAILED_TO_GET_CODE_PAGE, kTextReplyLimitMs},
    {CheckMsr, IDS_FAILED_TO_GET_MSR_MODE, kMsrReplyLimitMs},
};

std::string ByteText(std::uint8_t value) {
    char text[16];
    if (value >= 0x20 && value < 0x7F) {
        std::snprintf(text, sizeof text, "0x%02X '%c'", value, value);
    } else {
        std::snprintf(text, sizeof text, "0x%02X", value);
    }
    return text;
}

void PrintIdentity(std::ostream& out, const CPrinterDevice& device) {
    out << "Model:        " << device.g_Model << " (" << device.m_strModelName << ")\n"
        << "Firmware:     " << device.g_Getver << " (" << device.m_strVersion << ")\n"
        << "Dialect:      " << (UsesSwDialect(device.g_Getver) ? "SW" : "MSW") << "\n"
        << "Code page:    " << device.m_strCodePage << "\n"
        << "Card reader:  " << ByteText(device.m_nMsrSetting) << "\n";
}

int RunIdentify(const CliContext& context) {
    CPrinterDevice device;
    context.ConfigureDevice(device);
    context.Out() << "Port:         " << DescribePort(device.m_Port) << "\n";
    if (!device.m_Port.Open()) {
        ReportFailure(context, LoadString(IDS_PORT_OPEN_ERROR), std::nullopt);
        ReportOpenError(context, device.m_Port);
        return kExitFailure;
    }
    for (const IdentifyCheck& check : kChecks) {
        int result = device.chk_OpenCheck(check.mode);
        if (result != RC_OK) {
            device.m_Port.Close();
            ReportFailure(context, LoadString(check.failureMessage), result);
            if (result == RC_NO_REPLY) {
                context.Err() << "no reply from " << DescribePort(device.m_Port) << " within "
                              << check.replyLimitMs / 1000 << " s\n";
            }
            return kExitFailure;
        }
    }
    device.m_Port.Close();
    PrintIdentity(context.Out(), device);
    return kExitOk;
}

}  // namespace

void AddIdentifyCommand(CLI::App& app, CliContext& context) {
    CLI::App* command = app.add_subcommand(
        "identify",
        "Ask the printer for its model, firmware version, code page and card-reader setting");
    command->callback([&context] { context.SetExitCode(RunIdentify(context)); });
}

}  // namespace printdeck::cli
