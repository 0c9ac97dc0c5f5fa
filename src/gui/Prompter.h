#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace printdeck {

// Every message box and file dialog of the windows goes through here, so
// tests answer them instead of a person. Called on the user-interface thread.
class IPrompter {
public:
    enum class Icon { None, Information, Exclamation, Question, Error };

    virtual ~IPrompter() = default;

    // A message with an OK button.
    virtual void Message(QWidget* parent, const QString& text, const QString& caption,
                         Icon icon = Icon::None) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // File dialogs; an empty answer (or list) means the user cancelled.
    // `filter` is in the "Text(*.ext)|*.ext||" form the windows are given.
    virtual QString OpenFile(QWidget* parent, const QString& filter,
                             const QString& initialPath) = 0;
    virtual QStringList OpenFiles(QWidget* parent, const QString& filter) = 0;
    // Asks before it overwrites a file; `suffix` is added to a name without one.
    virtual QString SaveFile(QWidget* parent, const QString& filter, const QString& suffix) = 0;
};

// The filter "Text(*.ext)|*.ext||" in the form of Qt's file dialogs.
QString ToQtFileFilter(const QString& filter);

// The prompter of the running program: Qt's message boxes and file dialogs.
class CDialogPrompter : public IPrompter {
public:
    void Message(QWidget* parent, const QString& text, const QString& caption, Icon icon) override;
    bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    QString OpenFile(QWidget* parent, const QString& filter, const QString& initialPath) override;
    QStringList OpenFiles(QWidget* parent, const QString& filter) override;
    QString SaveFile(QWidget* parent, const QString& filter, const QString& suffix) override;
};

}  // namespace printdeck
