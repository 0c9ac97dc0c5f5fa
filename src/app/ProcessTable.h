#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace printdeck {

// A running process: its id and its command name.
struct ProcessRef {
    pid_t pid = 0;
    std::string name;
};

// The processes of a /proc tree and the files they hold open, read once.
// Processes of other users hide their open files from anyone but root.
class CProcessTable {
public:
    explicit CProcessTable(const std::string& procRoot = "/proc");

    // The processes, other than this one, that hold the file open.
    std::vector<ProcessRef> Holding(const std::string& path) const;
    bool Runs(const std::string& name) const;
    // False when the open files of some process could not be read.
    bool SawEveryOpenFile() const { return m_sawEveryOpenFile; }

private:
    struct OpenFile {
        dev_t device;
        ino_t inode;
        dev_t special;  // the device number of a character device, else 0
        std::size_t process;
    };

    void ReadProcess(const std::string& folder, pid_t pid);

    std::vector<ProcessRef> m_processes;
    std::vector<OpenFile> m_openFiles;
    bool m_sawEveryOpenFile = true;
};

}  // namespace printdeck
