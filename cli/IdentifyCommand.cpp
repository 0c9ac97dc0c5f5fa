#include <CLI/CLI.hpp>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "Commands.h"
#include "Output.h"
#include "app/StringTable.h"

namespace printdeck::cli {
namespace {

struct IdentifyCheck {
    int mode;
    int failureMessage;
};

// The four questions in the order the managers ask them.
constexpr IdentifyCheck kChecks[] = {
    {CheckModel, IDS_MODEL_NOT_MATCHED},
    {CheckVersion, IDS_FAILED_TO_GET_VERSION},
    {CheckCodePage, IDS_FAILED_TO_GET_CODE_PAGE},
    {CheckMsr, IDS_FAILED_TO_GET_MSR_MODE},
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

nlohmann::json IdentityJson(const CPrinterDevice& device) {
    return {{"port", device.m_Port.m_strPortName},
            {"connection", DescribePort(device.m_Port)},
            {"model", {{"code", device.g_Model}, {"name", device.m_strModelName}}},
            {"firmware", {{"number", device.g_Getver}, {"version", device.m_strVersion}}},
            {"dialect", UsesSwDialect(device.g_Getver) ? "SW" : "MSW"},
            {"codePage", device.m_strCodePage},
            {"cardReader", device.m_nMsrSetting}};
}

int RunIdentify(const CliContext& context) {
    CPrinterDevice device;
    context.ConfigureDevice(device);
    if (!context.JsonMode()) {
        context.Out() << "Port:         " << DescribePort(device.m_Port) << "\n";
    }
    if (!device.m_Port.Open()) {
        ReportFailure(context, LoadString(IDS_PORT_OPEN_ERROR), std::nullopt);
        ReportPortProblem(context, device.m_Port);
        return kExitFailure;
    }
    for (const IdentifyCheck& check : kChecks) {
        int result = device.chk_OpenCheck(check.mode);
        if (result != RC_OK) {
            device.m_Port.Close();
            ReportFailure(context, LoadString(check.failureMessage), result);
            ReportPortProblem(context, device.m_Port);
            return kExitFailure;
        }
    }
    device.m_Port.Close();
    context.NoteIdentity(device);
    if (context.JsonMode()) {
        context.Out() << IdentityJson(device).dump(2) << "\n";
    } else {
        PrintIdentity(context.Out(), device);
    }
    return kExitOk;
}

}  // namespace

void AddIdentifyCommand(CLI::App& app, CliContext& context) {
    CLI::App* command = app.add_subcommand(
        "identify",
        "Ask the printer for its model, firmware version, code page and card-reader setting");
    context.AddJsonFlag(*command,
                        "Print {\"port\", \"connection\", \"model\": {\"code\", \"name\"}, "
                        "\"firmware\": {\"number\", \"version\"}, \"dialect\", \"codePage\", "
                        "\"cardReader\"} instead");
    command->callback([&context] { context.RunOnPrinters(RunIdentify); });
}

}  // namespace printdeck::cli
