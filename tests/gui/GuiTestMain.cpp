#include <gtest/gtest.h>

#include <QApplication>

namespace {

// The offscreen platform says for every window that it cannot size it to its
// hints; that is not news.
QtMessageHandler g_standardHandler = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
        g_standardHandler(type, context, message);
    }
}

}  // namespace

// The windows need an application object; tests run on the offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    g_standardHandler = qInstallMessageHandler(QuietMessages);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
