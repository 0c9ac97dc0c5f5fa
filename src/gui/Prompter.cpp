#include "gui/Prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace printdeck {
namespace {

QMessageBox::Icon ToBoxIcon(IPrompter::Icon icon) {
    switch (icon) {
        case IPrompter::Icon::Information:
            return QMessageBox::Information;
        case IPrompter::Icon::Exclamation:
            return QMessageBox::Warning;
        case IPrompter::Icon::Question:
            return QMessageBox::Question;
        case IPrompter::Icon::Error:
            return QMessageBox::Critical;
        case IPrompter::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Message texts carry "\r\n" line breaks; a lone carriage return would show
// as a box on some platforms.
QString WithLineFeeds(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

QString ToQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QString patterns = parts[i + 1];
        const QString listed = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (text.contains(listed) ? text : text + QLatin1Char(' ') + listed);
    }
    return filters.join(QStringLiteral(";;"));
}

void CDialogPrompter::Message(QWidget* parent, const QString& text, const QString& caption,
                              Icon icon) {
    QMessageBox box(ToBoxIcon(icon), caption, WithLineFeeds(text), QMessageBox::Ok, parent);
    box.exec();
}

bool CDialogPrompter::AskYesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, WithLineFeeds(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString CDialogPrompter::OpenFile(QWidget* parent, const QString& filter,
                                  const QString& initialPath) {
    return QFileDialog::getOpenFileName(parent, QString(), initialPath, ToQtFileFilter(filter));
}

QStringList CDialogPrompter::OpenFiles(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), ToQtFileFilter(filter));
}

QString CDialogPrompter::SaveFile(QWidget* parent, const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), QString(), ToQtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace printdeck
