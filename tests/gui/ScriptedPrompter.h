#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "gui/Prompter.h"

namespace printdeck::test {

// Answers the windows' prompts from a script and remembers every prompt.
// An unscripted file dialog is cancelled; an unscripted question is "No".
class ScriptedPrompter : public IPrompter {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon = Icon::None;
    };

    void Message(QWidget*, const QString& text, const QString& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
        if (onMessage) {
            onMessage(text);
        }
    }
    bool AskYesNo(QWidget*, const QString& text, const QString& caption) override {
        questions.push_back({text, caption, Icon::Question});
        return Next(answers, false);
    }
    QString OpenFile(QWidget*, const QString& filter, const QString& initialPath) override {
        fileFilters.push_back(filter);
        initialPaths.push_back(initialPath);
        return Next(openFiles, QString());
    }
    QStringList OpenFiles(QWidget*, const QString& filter) override {
        fileFilters.push_back(filter);
        return Next(openFileLists, QStringList());
    }
    QString SaveFile(QWidget*, const QString& filter, const QString&) override {
        fileFilters.push_back(filter);
        return Next(saveFiles, QString());
    }

    QStringList MessageTexts() const {
        QStringList texts;
        for (const Shown& shown : messages) {
            texts << shown.text;
        }
        return texts;
    }

    // Script.
    std::deque<bool> answers;
    std::deque<QString> openFiles;
    std::deque<QStringList> openFileLists;
    std::deque<QString> saveFiles;
    std::function<void(const QString&)> onMessage;

    // Record.
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    QStringList fileFilters;
    QStringList initialPaths;

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T next = queue.front();
        queue.pop_front();
        return next;
    }
};

}  // namespace printdeck::test
