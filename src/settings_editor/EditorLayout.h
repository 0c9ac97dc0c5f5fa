#pragma once

#include <string>
#include <vector>

namespace printdeck {

class CPrinterSettings;

// How the settings editor adapts to the connected printer, as data: the
// entries of each list and which controls are enabled, hidden or
// relabelled. The window applies it when it opens.
struct EditorLayout {
    std::string title;
    std::vector<std::string> density;
    std::vector<std::string> speed;
    std::vector<std::string> codePage;
    std::vector<std::string> msrTrigger;
    std::vector<std::string> baudRate;
    std::vector<std::string> dataBits;
    std::vector<std::string> parity;
    std::vector<std::string> flowControl;
    std::vector<std::string> rfInterface;
    bool msrTriggerEnabled = true;
    bool advanceEnabled = true;
    bool blackMarkEnabled = true;
    bool rfInterfaceEnabled = true;
    bool barcodesEnabled = true;
    bool firstFontShown = true;
    // Labels of the second and third font radio; empty keeps the layout's.
    std::string secondFontLabel;
    std::string thirdFontLabel;
};

// The layout for the printer behind record.m_pDevice and the record as the
// read run left it (the black-mark position it gave).
EditorLayout EditorLayoutFor(const CPrinterSettings& record);

}  // namespace printdeck
