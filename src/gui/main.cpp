#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "Identity.h"
#include "gui/DemoPrinter.h"
#include "gui/PrintdeckApp.h"
#include "gui/Prompter.h"

namespace {

constexpr int kExitUsage = 2;

int UsageError(const QString& message) {
    std::fprintf(stderr, "printdeck: %s\nTry 'printdeck --help'.\n", qPrintable(message));
    return kExitUsage;
}

const printdeck::vp::DialectPreset* FindDialect(const QString& name) {
    for (const printdeck::vp::DialectPreset& preset : printdeck::vp::kDialectPresets) {
        if (name == QLatin1String(preset.name)) {
            return &preset;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("printdeck"));
    QApplication::setApplicationVersion(QStringLiteral(PRINTDECK_VERSION));
    // Wayland desktops find the window's icon and name through its desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("org.printdeck.Printdeck"));
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Printdeck: configure portable receipt and label printers, put logos into their NV "
        "memory and send them firmware."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Try the program on a printer simulated inside it, with a store of its "
                       "own; your settings stay untouched."));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Model reply of the demo printer."),
                                   QStringLiteral("TEXT"), QStringLiteral("_MRQ-T200"));
    const QCommandLineOption firmware(QStringLiteral("firmware"),
                                      QStringLiteral("Firmware reply of the demo printer."),
                                      QStringLiteral("TEXT"), QStringLiteral("_VER V1.23"));
    const QCommandLineOption dialect(
        QStringLiteral("dialect"),
        QStringLiteral("Demo printer of one settings dialect: old-msw (MRQ-T200, firmware V1.23), "
                       "sw (MRQ-T200, V01.00) or new-msw (MRQ-T300, V01.05); --model and "
                       "--firmware override it."),
        QStringLiteral("NAME"), QStringLiteral("old-msw"));
    parser.addOptions({demo, model, firmware, dialect});
    // Help and version need no display, so they are answered before the
    // window system is asked for one.
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        const QString text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                       QApplication::applicationName());
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        parser.showVersion();
    }
    QApplication application(argc, argv);
    if (!parser.parse(QApplication::arguments())) {
        return UsageError(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return UsageError(QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
    }
    if ((parser.isSet(model) || parser.isSet(firmware) || parser.isSet(dialect)) &&
        !parser.isSet(demo)) {
        return UsageError(
            QStringLiteral("--model, --firmware and --dialect describe the --demo printer"));
    }
    const printdeck::vp::DialectPreset* preset = FindDialect(parser.value(dialect));
    if (preset == nullptr) {
        return UsageError(QStringLiteral("unknown dialect '%1'").arg(parser.value(dialect)));
    }

    printdeck::CDemoPrinter demoPrinter;
    if (parser.isSet(demo)) {
        QString error;
        const printdeck::CDemoPrinter::Identity identity{
            parser.isSet(model) ? parser.value(model).toStdString() : preset->model,
            parser.isSet(firmware) ? parser.value(firmware).toStdString() : preset->firmware};
        if (!demoPrinter.Start(identity, error)) {
            std::fprintf(stderr, "printdeck: the demo printer did not start: %s\n",
                         qPrintable(error));
            return 1;
        }
        std::fprintf(stderr,
                     "printdeck: demo printer on 127.0.0.1:%u; store and traffic log in %s\n",
                     demoPrinter.Port(), qPrintable(demoPrinter.Folder()));
    }

    printdeck::CPrintdeckApp printdeck;
    printdeck.InstallLanguage();
    printdeck::CDialogPrompter prompter;
    return printdeck.Run(prompter);
}
