#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <string>

namespace printdeck {

class IPrompter;

// The application: chooses the language of the windows, then runs the main
// window until it closes.
class CPrintdeckApp {
public:
    CPrintdeckApp() = default;
    ~CPrintdeckApp();
    CPrintdeckApp(const CPrintdeckApp&) = delete;
    CPrintdeckApp& operator=(const CPrintdeckApp&) = delete;

    // Installs the catalogue of the language the locale names (LC_ALL,
    // LC_MESSAGES, LANG). False, silently, when English stays: no language
    // for the locale, or no catalogue that loads.
    bool InstallLanguage();
    // The same for a catalogue stem ("German") and a locale name, searching
    // `folders` in order.
    bool InstallLanguage(const std::string& stem, const QString& locale,
                         const QStringList& folders);

    // Runs the main window modally; the process ends when it closes.
    int Run(IPrompter& prompter);

    // Where catalogues are looked for: the installed data folder, then
    // beside the program.
    static QStringList CatalogueFolders();

private:
    QTranslator m_catalogue;
    QTranslator m_qtCatalogue;
    bool m_installed = false;
};

}  // namespace printdeck
