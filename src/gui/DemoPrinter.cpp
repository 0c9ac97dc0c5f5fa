#include "gui/DemoPrinter.h"

#include <stdlib.h>

#include "VirtualPrinter.h"
#include "app/CommSettings.h"

namespace printdeck {

CDemoPrinter::CDemoPrinter()
    : m_folder(QDir::tempPath() + QStringLiteral("/printdeck-demo-XXXXXX")) {}

CDemoPrinter::~CDemoPrinter() {
    if (m_printer) {
        m_printer->Stop();
    }
}

bool CDemoPrinter::Start(const Identity& identity, QString& error) {
    if (!m_folder.isValid()) {
        error = m_folder.errorString();
        return false;
    }
    m_identity = identity;
    vp::PrinterOptions options;
    options.listen = {"127.0.0.1", 0};
    options.identity.model = identity.model;
    options.identity.firmware = identity.firmware;
    m_printer = std::make_unique<vp::VirtualPrinter>(options);
    std::string reason;
    if (!m_printer->Start(&reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    ::setenv("PRINTDECK_STORE", m_folder.filePath(QStringLiteral("printdeck.reg")).toLocal8Bit(),
             1);
    ::setenv("PRINTDECK_LOG", m_folder.filePath(QStringLiteral("SbinLog.txt")).toLocal8Bit(), 1);
    CommSettings demo;
    demo.uPortType = PortTypeNetwork;
    demo.uPort = "NET127.0.0.1";
    demo.uBaudrate = m_printer->Port();
    if (!WriteCommSettings(demo)) {
        error = QStringLiteral("cannot write the demo store in %1").arg(Folder());
        return false;
    }
    return true;
}

std::uint16_t CDemoPrinter::Port() const {
    return m_printer ? m_printer->Port() : 0;
}

}  // namespace printdeck
