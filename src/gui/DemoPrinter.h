#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>

namespace printdeck {

namespace vp {
class VirtualPrinter;
}

// A printer inside the program for trying every window without hardware:
// the virtual printer on a free loopback port, with a store and traffic log
// of its own in a temporary folder, so the user's settings stay untouched.
class CDemoPrinter {
public:
    struct Identity {
        std::string model = "_MRQ-T200";
        std::string firmware = "_VER V1.23";
        bool operator==(const Identity&) const = default;
    };

    CDemoPrinter();
    ~CDemoPrinter();
    CDemoPrinter(const CDemoPrinter&) = delete;
    CDemoPrinter& operator=(const CDemoPrinter&) = delete;

    // Starts the printer and points the store and the log at the temporary
    // folder, with the TCP/IP connection to the printer stored. False with
    // `error` filled when it could not start.
    bool Start(const Identity& identity, QString& error);

    std::uint16_t Port() const;
    const Identity& GetIdentity() const { return m_identity; }
    vp::VirtualPrinter& Printer() { return *m_printer; }
    QString Folder() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    Identity m_identity;
    std::unique_ptr<vp::VirtualPrinter> m_printer;
};

}  // namespace printdeck
