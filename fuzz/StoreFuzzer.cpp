// The store file reader and writer: whatever a file holds, a document that
// reads is written back and read again as an equal document, and a value set
// under any storable key path and name reads back unchanged.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/RegDocument.h"

namespace {

using printdeck::CRegDocument;
using printdeck::RegData;

// Aborts unless the written document reads back with the same keys and values.
CRegDocument RoundTrip(const CRegDocument& document) {
    const std::string written = document.Serialize();
    printdeck::RegParseResult again = CRegDocument::Parse(written);
    if (!again.document || !again.document->SameContents(document) ||
        again.document->Serialize() != written) {
        std::abort();
    }
    return std::move(*again.document);
}

// The text's first lines, as a key path, a value name and a text to store.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    printdeck::RegParseResult parsed = CRegDocument::Parse(text);
    CRegDocument document = parsed.document ? RoundTrip(*parsed.document) : CRegDocument();

    std::string_view rest = text;
    const std::string keyPath = "HKEY_LOCAL_MACHINE\\" + std::string(NextLine(rest));
    const std::string name(NextLine(rest));
    if (!CRegDocument::IsStorableKeyPath(keyPath) || !CRegDocument::IsStorableValueName(name)) {
        return 0;
    }
    const RegData value = RegData::Text(NextLine(rest));
    document.Set(keyPath, name, value);
    document.Set(keyPath, name + "#", RegData::Dword(static_cast<std::uint32_t>(size)));
    const CRegDocument again = RoundTrip(document);
    const RegData* found = again.Find(keyPath, name);
    if (found == nullptr || found->kind != value.kind || found->bytes != value.bytes) {
        std::abort();
    }
    return 0;
}
