#include "gui/PrintdeckApp.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <optional>

#include "app/LanguageChoice.h"
#include "app/MainDlg.h"
#include "app/StringTable.h"

namespace printdeck {
namespace {

// The string table's texts are filed in the catalogue under this context.
constexpr const char* kStringTableContext = "StringTable";

std::optional<std::string> TranslateTableText(int id) {
    const std::string english(BuiltInString(id));
    const QString translated = QCoreApplication::translate(kStringTableContext, english.c_str());
    if (translated.isEmpty() || translated.toStdString() == english) {
        return std::nullopt;
    }
    return translated.toStdString();
}

}  // namespace

CPrintdeckApp::~CPrintdeckApp() {
    if (m_installed) {
        SetStringTranslator({});
    }
}

QStringList CPrintdeckApp::CatalogueFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {QStringLiteral(PRINTDECK_TRANSLATIONS_DIR),
            programFolder + QStringLiteral("/../share/printdeck/translations"), programFolder};
}

bool CPrintdeckApp::InstallLanguage() {
    const std::string locale = MessagesLocaleFromEnvironment();
    return InstallLanguage(LanguageStemForLocale(locale), QString::fromStdString(locale),
                           CatalogueFolders());
}

bool CPrintdeckApp::InstallLanguage(const std::string& stem, const QString& locale,
                                    const QStringList& folders) {
    if (stem.empty()) {
        return false;
    }
    const QString name = QString::fromStdString(stem);
    bool loaded = false;
    for (const QString& folder : folders) {
        if (m_catalogue.load(name, folder)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) {
        return false;
    }
    QCoreApplication::installTranslator(&m_catalogue);
    // Qt's own texts (message box buttons, file dialogs) in the same language.
    if (m_qtCatalogue.load(QLocale(locale.section(QLatin1Char('.'), 0, 0)),
                           QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_qtCatalogue);
    }
    SetStringTranslator(TranslateTableText);
    m_installed = true;
    return true;
}

int CPrintdeckApp::Run(IPrompter& prompter) {
    CMainDlg mainWindow(prompter);
    mainWindow.exec();
    return 0;
}

}  // namespace printdeck
