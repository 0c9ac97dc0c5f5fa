#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "Commands.h"
#include "DryRun.h"
#include "Interrupts.h"
#include "Output.h"
#include "ProgressLine.h"
#include "SettingsFields.h"
#include "settings/PrinterSettings.h"
#include "settings/SettingsFrames.h"
#include "settings_editor/EditorChoices.h"
#include "settings_editor/EditorValues.h"
#include "settings_editor/SettingsCycle.h"

namespace printdeck::cli {
namespace {

struct SettingsOptions {
    std::vector<std::string> assignments;
    std::string fromFile;
    bool verify = false;
    bool dryRun = false;
};

struct Change {
    const SettingsField* field;
    FieldValue value;
};

constexpr const char* kNothingToChange =
    "Nothing to change: the printer holds these values already; nothing was written.";

// No settings file comes near this; a larger one is not one.
constexpr std::size_t kMaxSettingsFileBytes = 1024 * 1024;

// Refuses a second mention of a setting, so that no value silently wins.
bool AddChange(std::vector<Change>& changes, const SettingsField& field, FieldValue value,
               std::string& error) {
    for (const Change& change : changes) {
        if (change.field == &field) {
            error = "Setting " + std::string(field.name) + " is named twice";
            return false;
        }
    }
    changes.push_back({&field, std::move(value)});
    return true;
}

// Fills `changes` from NAME=VALUE words; false with `error` on the first bad one.
bool ParseAssignments(const std::vector<std::string>& words, std::vector<Change>& changes,
                      std::string& error) {
    for (const std::string& word : words) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            error = "Expected NAME=VALUE, got \"" + Excerpt(word) + "\"";
            return false;
        }
        const std::string name = word.substr(0, equals);
        const SettingsField* field = FindField(name);
        if (field == nullptr) {
            error =
                "Unknown setting \"" + Excerpt(name) + "\" (settings set --help lists the names)";
            return false;
        }
        std::string reason;
        std::optional<FieldValue> value = ParseFieldValue(*field, word.substr(equals + 1), reason);
        if (!value) {
            error = "Invalid value for " + std::string(field->name) + ": " + reason;
            return false;
        }
        if (!AddChange(changes, *field, std::move(*value), error)) {
            return false;
        }
    }
    return true;
}

// The file's text, refusing one over the size limit; false with `error`.
bool ReadSettingsFile(const std::string& path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = Excerpt(path) + ": cannot be read";
        return false;
    }
    text.resize(kMaxSettingsFileBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > kMaxSettingsFileBytes) {
        error = Excerpt(path) + ": larger than 1 MiB, so no settings file";
        return false;
    }
    return true;
}

// The JSON value of the text; nullopt with `error` when it is no JSON or an
// object names a key twice (the parser would keep only the last).
std::optional<nlohmann::json> ParseSettingsJson(const std::string& text, std::string& error) {
    std::vector<std::string> keys;
    std::string duplicate;
    const nlohmann::json::parser_callback_t noteKeys =
        [&](int depth, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
            if (depth == 1 && event == nlohmann::json::parse_event_t::key) {
                const std::string key = parsed.get<std::string>();
                if (std::find(keys.begin(), keys.end(), key) != keys.end() && duplicate.empty()) {
                    duplicate = key;
                }
                keys.push_back(key);
            }
            return true;
        };
    try {
        nlohmann::json json = nlohmann::json::parse(text, noteKeys);
        if (duplicate.empty()) {
            return json;
        }
        error = "setting \"" + Excerpt(duplicate) + "\" is named twice";
    } catch (const nlohmann::json::parse_error& e) {
        error = e.what();
    }
    return std::nullopt;
}

// Fills `changes` from a JSON object as settings get --json prints it.
bool ReadChangesFromFile(const std::string& path, std::vector<Change>& changes,
                         std::string& error) {
    std::string text;
    if (!ReadSettingsFile(path, text, error)) {
        return false;
    }
    std::string reason;
    const std::optional<nlohmann::json> json = ParseSettingsJson(text, reason);
    if (!json || !json->is_object()) {
        error = Excerpt(path) + ": " + (json ? "expected one JSON object of settings" : reason);
        return false;
    }
    for (const auto& [name, item] : json->items()) {
        const SettingsField* field = FindField(name);
        if (field == nullptr) {
            error = Excerpt(path) + ": unknown setting \"" + Excerpt(name) + "\"";
            return false;
        }
        std::optional<FieldValue> value = FieldValueFromJson(*field, item, reason);
        if (!value) {
            error = Excerpt(path) + ": invalid value for " + std::string(field->name) + ": " +
                    reason + " (" + Excerpt(item.dump()) + ")";
            return false;
        }
        if (!AddChange(changes, *field, std::move(*value), reason)) {
            error = Excerpt(path) + ": " + reason;
            return false;
        }
    }
    return true;
}

// The record as the editor holds it when it opens: Bluetooth settings left
// alone unless asked for, and the editor's Bluetooth values on firmware
// that does not report them.
void PrepareForEditing(CPrinterSettings& settings) {
    BluetoothValues bluetooth = BluetoothShownFor(settings);
    settings.m_nBtSecurity = bluetooth.security;
    settings.m_nBtConnMode = bluetooth.connMode;
    settings.m_strBtPin = std::move(bluetooth.pin);
    settings.m_strBtName = std::move(bluetooth.name);
    settings.m_bBluetoothOff = 1;
}

// The editor's values as if the user had chosen the record's values in the
// window, the Bluetooth settings enabled when the changes asked for them.
CEditorValues ChosenInEditor(const CPrinterSettings& settings) {
    CEditorValues values = CEditorValues::Load(settings);
    if (settings.m_bBluetoothOff == 0) {
        values.ToggleBluetooth();
        values.m_nBtSecurity = settings.m_nBtSecurity;
        values.m_nBtConnMode = settings.m_nBtConnMode;
        values.m_strBtPin = settings.m_strBtPin;
        values.m_strBtName = settings.m_strBtName;
    }
    return values;
}

// Takes the record through the editor as "Save" does, so the write sends
// what the window would send; false with `error` for a value the window
// would refuse.
bool SaveAsEditor(CPrinterSettings& settings, std::string& error) {
    const CEditorValues values = ChosenInEditor(settings);
    if (const std::optional<CEditorValues::Refusal> refusal = values.FirstRefusal()) {
        error = "Invalid value for " + std::string(refusal->field) + ": " +
                DescribeProblem(refusal->problem);
        return false;
    }
    values.Store(settings, true);
    return true;
}

// True when a change names a value the record does not hold already.
bool ChangesAnything(const std::vector<Change>& changes, const CPrinterSettings& settings) {
    return std::any_of(changes.begin(), changes.end(), [&](const Change& change) {
        return !SameSetting(*change.field, GetField(*change.field, settings), change.value);
    });
}

// Checks every change against this printer, then applies them all; false
// with `error` when one is not offered, and then nothing is applied.
bool ApplyChanges(const std::vector<Change>& changes, CPrinterSettings& settings,
                  std::string& error) {
    for (const Change& change : changes) {
        const std::string reason = CheckForPrinter(*change.field, change.value, settings);
        if (!reason.empty()) {
            error = "Invalid value for " + std::string(change.field->name) + ": " + reason;
            return false;
        }
    }
    bool namesBluetooth = false;
    bool namesBluetoothOff = false;
    for (const Change& change : changes) {
        // A value the record holds already keeps the record's own form.
        if (!SameSetting(*change.field, GetField(*change.field, settings), change.value)) {
            SetField(*change.field, change.value, settings);
        }
        namesBluetooth = namesBluetooth || IsBluetoothField(*change.field);
        namesBluetoothOff =
            namesBluetoothOff || change.field->number == &CPrinterSettings::m_bBluetoothOff;
    }
    if (namesBluetooth && !namesBluetoothOff) {
        settings.m_bBluetoothOff = 0;
    }
    return true;
}

void PrintPrinter(std::ostream& out, const CPrinterDevice& device) {
    out << "Printer:         " << device.m_strModelName << ", firmware " << device.m_strVersion
        << " (" << device.g_Getver << "), " << (UsesSwDialect(device.g_Getver) ? "SW" : "MSW")
        << " dialect\n";
}

// Runs the settings cycle with the progress on the error stream; the edit
// step decides what happens between the read and the write run, and may set
// the exit status of a cancelled edit, which is read after it ran. With a
// stand-in, the write run goes to it and its commands are printed instead.
int RunCycle(const CliContext& context, const CSettingsCycle::EditStep& edit,
             const int& exitWhenCancelled, StandInPrinter* standIn = nullptr) {
    CPrinterDevice device;
    context.ConfigureDevice(device);
    CPrinterSettings settings;
    CSettingsCycle cycle(settings, device);
    ProgressLine progress = context.NewProgressLine();
    CSettingsTransfer& transfer = cycle.Transfer();
    transfer.SetProgressCallback([&progress, &transfer](int, const std::string& text) {
        if (Interrupts::Requested()) {
            transfer.RequestCancel();
        }
        progress.Show(text);
    });
    cycle.SetTransferRunner([&progress](CSettingsTransfer& running, int mode) {
        const StepMachineRunning stoppable;
        const bool accepted = running.Run(mode);
        progress.End();
        return accepted;
    });
    cycle.SetStoreSaving(standIn == nullptr);
    bool standInFailed = false;
    const CycleResult result = cycle.Run([&](CPrinterSettings& settings) {
        const EditChoice choice = edit(settings);
        std::string error;
        if (choice != EditChoice::Cancel && standIn != nullptr &&
            !standIn->TakeOver(device, error)) {
            ReportFailure(context, "Dry run: " + error, std::nullopt);
            standInFailed = true;
            return EditChoice::Cancel;
        }
        return choice;
    });
    context.NoteIdentity(device);
    if (standInFailed) {
        return kExitFailure;
    }
    switch (result.outcome) {
        case CycleResult::Outcome::Saved:
            if (standIn != nullptr) {
                context.Out() << "Dry run: nothing was written. The write run would send:\n";
                PrintCommands(context.Out(), standIn->Commands());
                return kExitOk;
            }
            context.Out() << TerminalText(result.text) << "\n";
            return kExitOk;
        case CycleResult::Outcome::EditCancelled:
            return exitWhenCancelled;
        case CycleResult::Outcome::ReadFailed:
            ReportFailure(context, Interrupts::Requested() ? "Interrupted." : result.text,
                          std::nullopt);
            ReportPortProblem(context, device.m_Port);
            return kExitFailure;
        case CycleResult::Outcome::WriteFailed:
            ReportFailure(context, result.text, std::nullopt);
            ReportPortProblem(context, device.m_Port);
            if (standIn == nullptr) {
                ReportPartialWrite(context, "settings get");
            }
            return kExitFailure;
        default:
            ReportFailure(context, result.text, std::nullopt);
            return kExitFailure;
    }
}

int RunGet(const CliContext& context) {
    return RunCycle(
        context,
        [&](CPrinterSettings& settings) {
            PrepareForEditing(settings);
            if (context.JsonMode()) {
                context.Out() << SettingsToJson(settings).dump(2, ' ', true) << "\n";
            } else {
                PrintPrinter(context.Out(), *settings.m_pDevice);
                PrintSettings(context.Out(), settings);
            }
            return EditChoice::Cancel;
        },
        kExitOk);
}

// A setting the file names whose value the printer does not hold.
struct Difference {
    const SettingsField* field;
    FieldValue printer;
    FieldValue file;
};

struct Comparison {
    std::vector<Difference> differences;
    std::vector<std::string> notReported;  // named by the file, not reported by this printer
};

Comparison Compare(const std::vector<Change>& named, const CPrinterSettings& settings) {
    Comparison comparison;
    for (const Change& change : named) {
        if (!IsReported(*change.field, *settings.m_pDevice)) {
            comparison.notReported.emplace_back(change.field->name);
        } else if (FieldValue held = GetField(*change.field, settings);
                   !SameSetting(*change.field, held, change.value)) {
            comparison.differences.push_back({change.field, std::move(held), change.value});
        }
    }
    return comparison;
}

// Every setting of the record that the printer reports, as a profile of it;
// the editor's Bluetooth switch is no printer setting and is left out.
std::vector<Change> ProfileOf(const CPrinterSettings& settings) {
    std::vector<Change> profile;
    for (const SettingsField& field : SettingsFields()) {
        if (IsReported(field, *settings.m_pDevice) &&
            field.number != &CPrinterSettings::m_bBluetoothOff) {
            profile.push_back({&field, GetField(field, settings)});
        }
    }
    return profile;
}

// The setting's name after `heading`, then the printer's value and the other
// side's, each with its meaning, labelled "printer" and `other` (7 letters).
void PrintDifference(std::ostream& out, const std::string& heading, const Difference& difference,
                     const char* other, const CPrinterDevice& device) {
    out << heading << difference.field->name << "\n"
        << "  printer  " << ValueText(*difference.field, difference.printer, device) << "\n"
        << "  " << other << "  " << ValueText(*difference.field, difference.file, device) << "\n";
}

void PrintComparison(std::ostream& out, const std::string& path, const Comparison& comparison,
                     const CPrinterDevice& device) {
    const std::string file = TerminalText(Excerpt(path));
    for (const Difference& difference : comparison.differences) {
        PrintDifference(out, "", difference, "file   ", device);
    }
    for (const std::string& name : comparison.notReported) {
        out << name << ": not reported by this printer; left out\n";
    }
    if (comparison.differences.empty()) {
        out << "The printer holds every setting of " << file << ".\n";
    } else {
        out << comparison.differences.size() << " setting(s) differ from " << file << ".\n";
    }
}

nlohmann::ordered_json ComparisonJson(const std::string& path, const Comparison& comparison,
                                      const CPrinterDevice& device) {
    nlohmann::ordered_json differences = nlohmann::ordered_json::array();
    for (const Difference& difference : comparison.differences) {
        differences.push_back(
            {{"name", difference.field->name},
             {"printer", ValueJson(difference.printer)},
             {"file", ValueJson(difference.file)},
             {"printerText", ValueText(*difference.field, difference.printer, device)},
             {"fileText", ValueText(*difference.field, difference.file, device)}});
    }
    return {{"file", path},
            {"equal", comparison.differences.empty()},
            {"differences", differences},
            {"notReported", comparison.notReported}};
}

// How a verify names what it expected.
struct VerifyWords {
    const char* label;     // beside the expected value, 7 letters
    const char* verified;  // the line that confirms them all
};
constexpr VerifyWords kVerifyWrite{"written",
                                   "Verified: the printer reports every setting as written."};
constexpr VerifyWords kVerifyDefault{
    "factory", "Verified: the printer reports its factory defaults and kept the rest."};

// Reads the printer again after a write run and names every expected
// setting it does not report back; exit 1 if there is one.
int RunVerify(const CliContext& context, const std::vector<Change>& expected,
              const VerifyWords& words) {
    int exitWhenCompared = kExitOk;
    const int status = RunCycle(
        context,
        [&](CPrinterSettings& settings) {
            PrepareForEditing(settings);
            const Comparison comparison = Compare(expected, settings);
            for (const Difference& difference : comparison.differences) {
                PrintDifference(context.Out(), "Did not take: ", difference, words.label,
                                *settings.m_pDevice);
            }
            if (comparison.differences.empty()) {
                context.Out() << words.verified << "\n";
            } else {
                ReportFailure(
                    context,
                    std::to_string(comparison.differences.size()) + " setting(s) did not take.",
                    std::nullopt);
                exitWhenCompared = kExitFailure;
            }
            return EditChoice::Cancel;
        },
        exitWhenCompared);
    return status == kExitOk ? exitWhenCompared : status;
}

// After a write run that succeeded and changed the printer, the verify
// the options ask for; otherwise the write run's exit status.
int VerifyIfAsked(const CliContext& context, const SettingsOptions& options, int writeStatus,
                  const std::vector<Change>& expected, const VerifyWords& words) {
    if (writeStatus != kExitOk || !options.verify || options.dryRun || expected.empty()) {
        return writeStatus;
    }
    return RunVerify(context, expected, words);
}

int RunSet(const CliContext& context, const SettingsOptions& options) {
    std::vector<Change> changes;
    std::string error;
    if (options.assignments.empty() && options.fromFile.empty()) {
        error = "Name at least one NAME=VALUE or --from FILE.json";
    } else if (!options.fromFile.empty()) {
        ReadChangesFromFile(options.fromFile, changes, error);
    }
    if (error.empty()) {
        ParseAssignments(options.assignments, changes, error);
    }
    if (!error.empty()) {
        context.Err() << error << "\n";
        return kExitUsage;
    }
    if (changes.empty()) {
        context.Out() << kNothingToChange << "\n";
        return kExitOk;
    }
    int exitWhenCancelled = kExitUsage;
    std::vector<Change> written;
    StandInPrinter standIn;
    const int status = RunCycle(
        context,
        [&](CPrinterSettings& settings) {
            PrepareForEditing(settings);
            if (!ChangesAnything(changes, settings)) {
                context.Out() << kNothingToChange << "\n";
                exitWhenCancelled = kExitOk;
                return EditChoice::Cancel;
            }
            if (!ApplyChanges(changes, settings, error) || !SaveAsEditor(settings, error)) {
                context.Err() << error << "\n";
                return EditChoice::Cancel;
            }
            written = ProfileOf(settings);
            return EditChoice::Save;
        },
        exitWhenCancelled, options.dryRun ? &standIn : nullptr);
    return VerifyIfAsked(context, options, status, written, kVerifyWrite);
}

int RunDiff(const CliContext& context, const std::string& path) {
    std::vector<Change> named;
    std::string error;
    if (!ReadChangesFromFile(path, named, error)) {
        context.Err() << error << "\n";
        return kExitUsage;
    }
    int exitWhenCompared = kExitOk;
    return RunCycle(
        context,
        [&](CPrinterSettings& settings) {
            PrepareForEditing(settings);
            const Comparison comparison = Compare(named, settings);
            if (context.JsonMode()) {
                context.Out() << ComparisonJson(path, comparison, *settings.m_pDevice).dump(2)
                              << "\n";
            } else {
                PrintComparison(context.Out(), path, comparison, *settings.m_pDevice);
            }
            exitWhenCompared = comparison.differences.empty() ? kExitOk : kExitFailure;
            context.NoteOutcome(comparison.differences.empty()
                                    ? "equal"
                                    : std::to_string(comparison.differences.size()) +
                                          " setting(s) differ");
            return EditChoice::Cancel;
        },
        exitWhenCompared);
}

int RunDefault(const CliContext& context, const SettingsOptions& options) {
    StandInPrinter standIn;
    std::vector<Change> expected;
    const int status = RunCycle(
        context,
        [&](CPrinterSettings& settings) {
            // "Default" takes the editor's values but not its lists.
            CEditorValues::Load(settings).Store(settings, false);
            CPrinterSettings restored = settings;
            const CPrinterDevice& device = *settings.m_pDevice;
            if (settings::ApplyFactoryDefaults(device.g_Model, device.g_Getver,
                                               device.m_nMsrSetting, restored)) {
                expected = ProfileOf(restored);
            }
            return EditChoice::Default;
        },
        kExitOk, options.dryRun ? &standIn : nullptr);
    return VerifyIfAsked(context, options, status, expected, kVerifyDefault);
}

}  // namespace

void AddSettingsCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SettingsOptions>();
    CLI::App* settings = app.add_subcommand(
        "settings",
        "Read, change or reset the printer's configuration (its memory switches and its serial, "
        "card-reader, RF and Bluetooth settings)");
    settings->require_subcommand(1);

    CLI::App* get = settings->add_subcommand(
        "get", "Read every setting from the printer and print it with its meaning");
    context.AddJsonFlag(*get, "Print one JSON object keyed by the field names below instead");
    get->footer(FieldsHelp());
    get->callback([&context] { context.RunOnPrinters(RunGet); });

    CLI::App* set = settings->add_subcommand(
        "set",
        "Read the printer's settings, change the named ones, write them all back and store them "
        "as the last settings");
    set->add_option("assignments", options->assignments, "NAME=VALUE pairs");
    set->add_option("--from", options->fromFile,
                    "A JSON object of settings as settings get --json prints it");
    set->add_flag("--verify", options->verify,
                  "After the write, read the printer again and name every setting it does not "
                  "report as written (exit status 1). The printer applies new settings once it "
                  "is switched off and on; a verify right after the write reads what it reports "
                  "at that moment, which is the written value on printers that take settings at "
                  "once, the virtual printer among them in every dialect");
    constexpr const char* kDryRunHelp =
        "Read the printer as usual, then print the commands the write would send, one per line "
        "in hex with its meaning, and send none of them; the store is left as it is";
    set->add_flag("--dry-run", options->dryRun, kDryRunHelp);
    set->footer(FieldsHelp());
    set->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunSet(member, *options); });
    });

    CLI::App* diff = settings->add_subcommand(
        "diff",
        "Read the printer's settings and compare them with those a JSON file names (as settings "
        "get --json prints them, or any part of it). Exit status 0 when the printer holds every "
        "one, 1 when some differ");
    diff->add_option("file", options->fromFile, "The JSON file of settings")->required();
    context.AddJsonFlag(*diff,
                        "Print {\"file\", \"equal\", \"differences\": [{\"name\", "
                        "\"printer\", \"file\", \"printerText\", \"fileText\"}], "
                        "\"notReported\": [...]} instead");
    diff->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunDiff(member, options->fromFile); });
    });

    CLI::App* reset = settings->add_subcommand(
        "default", "Read the printer's settings, then restore its factory defaults");
    reset->add_flag("--dry-run", options->dryRun, kDryRunHelp);
    reset->add_flag("--verify", options->verify,
                    "After the reset, read the printer again and name every setting it does not "
                    "report at its factory value (exit status 1); what the reset leaves alone "
                    "must read as before. As for settings set --verify, a printer may apply the "
                    "reset only once it is switched off and on");
    reset->callback([&context, options] {
        context.RunOnPrinters(
            [options](const CliContext& member) { return RunDefault(member, *options); });
    });
}

}  // namespace printdeck::cli
