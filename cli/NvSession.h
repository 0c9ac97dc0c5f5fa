#pragma once

#include <string>
#include <vector>

#include "CliContext.h"
#include "nvimage/NvDownloadFlow.h"
#include "nvimage/NvImageList.h"
#include "nvimage/NvOperationSequence.h"
#include "nvimage/QtBmpLoader.h"

namespace printdeck::cli {

// What an nv command was given besides the connection.
struct NvRequest {
    std::vector<std::string> images;
    int brightness = 0;  // as the window's slider starts
    std::vector<std::string> addresses;
    bool autoAddress = false;
    bool dryRun = false;  // download to a stand-in and print its commands
};

// One use of the NV image manager from the terminal: the printer, the image
// list and the operations run on them, each with a progress line. The port
// opened by the first operation stays open until the session ends.
class NvSession {
public:
    explicit NvSession(const CliContext& context);
    ~NvSession();
    NvSession(const NvSession&) = delete;
    NvSession& operator=(const NvSession&) = delete;

    // Runs one operation with its progress line; true when it finished.
    bool Drive(CNvOperationSequence& sequence);
    // As Drive, and on failure prints the operation's message.
    bool Run(CNvOperationSequence& sequence);
    bool Run(int operation);
    // Reads the printer's NV addresses afresh, as the manager does when it
    // opens and after a change.
    bool ReadAddresses();

    // Puts the images into the working list and checks the addresses given
    // for them. Returns the exit status of a refusal, after printing why, or
    // kExitOk.
    int Prepare(const NvRequest& request);
    // The download or save of the working list, answering the address
    // questions from the request in order.
    CNvDownloadFlow Flow(const NvRequest& request);

    // kExitOk for an address of two characters, as the address window takes
    // them; kExitUsage after saying so otherwise.
    int CheckAddress(const std::string& address) const;
    // Prints the result's message; kExitOk when there is none.
    int Report(const CNvResult& result) const;

    // Prints the printer's NV addresses, one a line.
    void PrintAddresses() const;

    CNvImageList& List() { return m_list; }
    CPrinterDevice& Device() { return m_device; }
    const CliContext& Context() const { return m_context; }

private:
    int AddImages(const NvRequest& request);
    int CheckAddresses(const NvRequest& request) const;
    int Refuse(const std::string& message, int exitCode) const;

    const CliContext& m_context;
    CPrinterDevice m_device;
    CQtBmpLoader m_loader;
    CNvImageList m_list;
};

}  // namespace printdeck::cli
