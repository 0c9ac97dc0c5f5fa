#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "gui/DemoPrinter.h"
#include "gui/Prompter.h"

namespace printdeck::screenshots {

// A prompter that answers nothing, so a window opens without a person.
class CSilentPrompter : public IPrompter {
public:
    void Message(QWidget*, const QString&, const QString&, Icon) override {}
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString OpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QStringList OpenFiles(QWidget*, const QString&) override { return {}; }
    QString SaveFile(QWidget*, const QString&, const QString&) override { return {}; }
};

// What the scenes share: the prompter and a demo printer started on demand.
class CScreenshotSession {
public:
    IPrompter& Prompter() { return m_prompter; }
    // The demo printer of the given identity; its store is a temporary one.
    CDemoPrinter& Demo(const CDemoPrinter::Identity& identity = {});

private:
    CSilentPrompter m_prompter;
    std::vector<std::unique_ptr<CDemoPrinter>> m_demos;
};

// One window in the state it is shown in, named after the window.
struct Scene {
    QString name;
    std::function<std::unique_ptr<QWidget>(CScreenshotSession&)> open;
};

std::vector<Scene> Scenes();

}  // namespace printdeck::screenshots
