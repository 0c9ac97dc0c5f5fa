// Renders every window of the program, in the language the locale names, to
// PNG files, so a reviewer sees the windows without running them.
//   printdeck-screenshots OUTPUT_FOLDER SUFFIX
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "ScreenshotCatalogue.h"
#include "gui/PrintdeckApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: printdeck-screenshots OUTPUT_FOLDER SUFFIX\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QString suffix = QString::fromLocal8Bit(argv[2]);
    printdeck::CPrintdeckApp app;
    app.InstallLanguage();

    printdeck::screenshots::CScreenshotSession session;
    int failures = 0;
    for (const printdeck::screenshots::Scene& scene : printdeck::screenshots::Scenes()) {
        std::unique_ptr<QWidget> window = scene.open(session);
        window->show();
        window->adjustSize();
        QApplication::processEvents();
        const QString file = output.filePath(scene.name + QLatin1Char('-') + suffix + ".png");
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
        window->close();
    }
    return failures == 0 ? 0 : 1;
}
