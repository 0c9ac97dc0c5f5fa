#include "TempDir.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace printdeck::test {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "printdeck-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : m_name(std::move(name)) {
    if (const char* previous = std::getenv(m_name.c_str())) {
        m_previous = previous;
    }
    setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (m_previous) {
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

IsolatedFiles::IsolatedFiles()
    : m_store("PRINTDECK_STORE", (m_dir / "printdeck.reg").string()),
      m_log("PRINTDECK_LOG", (m_dir / "SbinLog.txt").string()) {}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace printdeck::test
