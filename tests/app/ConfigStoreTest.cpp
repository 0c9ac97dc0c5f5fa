#include "app/ConfigStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "app/DebugTraceSink.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

namespace printdeck {
namespace {

namespace fs = std::filesystem;
using test::IsolatedFiles;
using test::ReadWholeFile;
using test::ScopedEnv;

class ConfigStoreTest : public ::testing::Test {
protected:
    void WriteStore(const std::string& text) const {
        std::ofstream(files.StorePath(), std::ios::binary) << text;
    }
    std::string StoreText() const { return ReadWholeFile(files.StorePath()); }

    IsolatedFiles files;
};

TEST_F(ConfigStoreTest, ReadsAcceptOnlyTheirOwnKind) {
    WriteStore(
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\n"
        "\"Text\"=\"abc\"\n"
        "\"OnlyNul\"=\"\"\n"
        "\"ZeroBytes\"=hex(1):\n"
        "\"NulInside\"=hex(1):61,00,62,00\n"
        "\"Number\"=dword:0000001a\n"
        "\"HexDword\"=hex(4):1a,00,00,00\n"
        "\"TwoBytes\"=hex(4):1a,00\n"
        "\"Binary\"=hex:1a,00,00,00\n"
        "\"Expand\"=hex(2):61,00\n");
    const struct {
        const char* name;
        bool textRead;
        const char* text;  // what the caller's text holds afterwards
        bool numberRead;
        std::uint32_t number;
    } rows[] = {
        {"Text", true, "abc", false, 0},         {"OnlyNul", true, "", false, 0},
        {"ZeroBytes", false, "", false, 0},      {"NulInside", true, "a", false, 0},
        {"Number", false, "before", true, 26},   {"HexDword", false, "before", true, 26},
        {"TwoBytes", false, "before", false, 0}, {"Binary", false, "before", false, 0},
        {"Expand", false, "before", false, 0},   {"Missing", false, "before", false, 0},
        {"TEXT", true, "abc", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text = "before";
        std::uint32_t number = 99;
        EXPECT_EQ(CConfigStore::ReadStringValue(kProgramKey, row.name, text), row.textRead);
        EXPECT_EQ(text, row.text);
        EXPECT_EQ(CConfigStore::ReadDwordValue(kProgramKey, row.name, number), row.numberRead);
        EXPECT_EQ(number, row.number);
    }
}

TEST_F(ConfigStoreTest, ReadsOfMissingKeysFailWithoutCreatingAnything) {
    std::string text = "keep";
    std::uint32_t number = 7;
    EXPECT_FALSE(CConfigStore::ReadStringValue(kNvKey, "image001", text));
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kNvKey, "Count", number));
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(number, 0u);
    EXPECT_FALSE(fs::exists(files.StorePath()));

    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uBaudrate", 9600));
    EXPECT_FALSE(CConfigStore::ReadStringValue(kNvKey, "image001", text));
    EXPECT_FALSE(CConfigStore::ReadDwordValue("Software\\Other", "uBaudrate", number));
    EXPECT_EQ(number, 0u);
}

TEST_F(ConfigStoreTest, WritesTheExportSyntaxCreatingTheWholeKeyPath) {
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uPortType", 2));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "NET127.0.0.1"));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "Empty", ""));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "Path", "C:\\dir\\\"q\""));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "Lines", "a\r\n"));
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kNvKey, "Count", 0xffffffff));
    EXPECT_EQ(StoreText(),
              "REGEDIT4\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\n"
              "\"uPortType\"=dword:00000002\n"
              "\"uPort\"=\"NET127.0.0.1\"\n"
              "\"Empty\"=\"\"\n"
              "\"Path\"=\"C:\\\\dir\\\\\\\"q\\\"\"\n"
              "\"Lines\"=hex(1):61,0d,0a,00\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck\\NV]\n"
              "\"Count\"=dword:ffffffff\n");
}

TEST_F(ConfigStoreTest, TextsRoundTrip) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    const struct {
        const char* name;
        std::string text;
    } rows[] = {
        {"empty", ""},
        {"plain", "/home/user/logo.bmp,050"},
        {"backslashes", "\\\\server\\share\\"},
        {"quotes", "\"quoted\" \"\""},
        {"escape lookalikes", "\\\" \\\\\" \\n"},
        {"high bytes", "J\xc3\xbcrgen \xe4\xf6\xfc\xff"},
        {"line breaks", "one\r\ntwo\nthree\r"},
        {"every byte but NUL", everyByte},
        {"long", std::string(1000, 'x') + "\t"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(CConfigStore::WriteStringValue(kNvKey, row.name, row.text));
    }
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text = "before";
        EXPECT_TRUE(CConfigStore::ReadStringValue(kNvKey, row.name, text));
        EXPECT_EQ(text, row.text);
    }
}

TEST_F(ConfigStoreTest, NumbersRoundTrip) {
    for (std::uint32_t value : {0u, 1u, 0x1au, 0x80000000u, 0xffffffffu}) {
        std::uint32_t number = 12345;
        ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "Speed", value));
        EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Speed", number));
        EXPECT_EQ(number, value);
    }
}

TEST_F(ConfigStoreTest, AWriteReplacesKindAndKeepsTheFirstSpelling) {
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "Fwver", "1.0"));
    ASSERT_TRUE(CConfigStore::WriteDwordValue("SOFTWARE\\tarmeko\\PRINTDECK", "FWVER", 3));
    std::string text = "before";
    std::uint32_t number = 0;
    EXPECT_FALSE(CConfigStore::ReadStringValue(kProgramKey, "Fwver", text));
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "fwver", number));
    EXPECT_EQ(number, 3u);
    const std::string file = StoreText();
    EXPECT_NE(file.find("[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\n\"Fwver\"=dword:"),
              std::string::npos)
        << file;
    EXPECT_EQ(file.find("FWVER"), std::string::npos) << file;
    EXPECT_EQ(file.find("SOFTWARE"), std::string::npos) << file;
}

TEST_F(ConfigStoreTest, OtherKindsAndFormattingSurviveAWriteVerbatim) {
    const std::string kept =
        "[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\n"
        "\"Multi\"=hex(7):61,00,62,00,00,\\\n"
        "  00\n"
        "\"Expand\"=hex(2):25,00\n"
        "\"Odd\"=dword:1A\n"
        "\"Blob\"=hex:\n"
        "\n[HKEY_CURRENT_USER\\Elsewhere]\n"
        "@=\"default\"\n";
    WriteStore("REGEDIT4\n\n" + kept);
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kNvKey, "Count", 1));
    EXPECT_EQ(StoreText(), "REGEDIT4\n\n" + kept +
                               "\n[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck\\NV]\n"
                               "\"Count\"=dword:00000001\n");
}

TEST_F(ConfigStoreTest, DeleteRemovesOneValueOnly) {
    ASSERT_TRUE(CConfigStore::WriteStringValue(kNvKey, "image001", "a.bmp,050"));
    ASSERT_TRUE(CConfigStore::WriteStringValue(kNvKey, "image002", "b.bmp,050"));
    EXPECT_TRUE(CConfigStore::DeleteValue(kNvKey, "IMAGE001"));
    EXPECT_TRUE(CConfigStore::DeleteValue(kNvKey, "image001"));
    EXPECT_TRUE(CConfigStore::DeleteValue("Software\\Nowhere", "x"));
    std::string text;
    EXPECT_FALSE(CConfigStore::ReadStringValue(kNvKey, "image001", text));
    EXPECT_TRUE(CConfigStore::ReadStringValue(kNvKey, "image002", text));
    EXPECT_EQ(text, "b.bmp,050");
}

TEST_F(ConfigStoreTest, UnparsableFileReadsEmptyAndIsKeptAsideOnWrite) {
    const std::string first = "REGEDIT4\n[K]\n\"a\"=broken\n";
    const std::string second = "not a store at all";
    WriteStore(first);
    std::uint32_t number = 5;
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "a", number));
    EXPECT_EQ(StoreText(), first);  // reading never moves it

    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "Density", 3));
    WriteStore(second);
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "Speed", 4));

    const fs::path store = files.StorePath();
    EXPECT_EQ(ReadWholeFile(store.string() + ".corrupt"), first);
    EXPECT_EQ(ReadWholeFile(store.string() + ".corrupt.1"), second);
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Density", number));
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Speed", number));
    EXPECT_EQ(number, 4u);
}

TEST_F(ConfigStoreTest, AStoreThatCannotBeReadIsNeverReplaced) {
    fs::create_directory(files.StorePath());
    fs::path inside = files.StorePath() / "keep";
    std::ofstream(inside) << "x";
    std::string text = "before";
    EXPECT_FALSE(CConfigStore::ReadStringValue(kProgramKey, "uPort", text));
    EXPECT_FALSE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM1"));
    EXPECT_TRUE(fs::exists(inside));
}

// A device, FIFO, socket or directory where the store belongs is never read
// (a FIFO would block, a device never end), moved aside or replaced.
TEST_F(ConfigStoreTest, OnlyARegularFileServesAsTheStore) {
    test::PseudoTerminal terminal;
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* kind;
        fs::file_type type;
    } rows[] = {
        {"character device",
         [&](const fs::path& path) { fs::create_symlink(terminal.SlavePath(), path); },
         "a character device", fs::file_type::character},
        {"fifo", [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
         "a named pipe (FIFO)", fs::file_type::fifo},
        {"directory", [](const fs::path& path) { fs::create_directory(path); }, "a directory",
         fs::file_type::directory},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path store = files.Dir() / row.name;
        row.make(store);
        ScopedEnv env("PRINTDECK_STORE", store.string());

        EXPECT_EQ(CConfigStore::StoreProblem(),
                  store.string() + ": the store is " + row.kind +
                      ", not a regular file; point PRINTDECK_STORE at a file");
        std::string text = "before";
        EXPECT_FALSE(CConfigStore::ReadStringValue(kProgramKey, "uPort", text));
        EXPECT_FALSE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM1"));
        EXPECT_FALSE(CConfigStore::WriteDwordValue(kProgramKey, "Density", 1));
        EXPECT_EQ(fs::status(store).type(), row.type);
        EXPECT_FALSE(fs::exists(store.string() + ".corrupt"));
        EXPECT_FALSE(fs::exists(store.string() + ".lock"));
    }
    EXPECT_EQ(CConfigStore::StoreProblem(), "") << "a missing store is no problem";
}

TEST_F(ConfigStoreTest, LeftoversOfAKilledWriterDoNotDisturb) {
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM1"));
    const fs::path temporary = files.StorePath().string() + ".tmp";
    std::ofstream(temporary) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Tarma";
    std::string text;
    EXPECT_TRUE(CConfigStore::ReadStringValue(kProgramKey, "uPort", text));
    EXPECT_EQ(text, "COM1");
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM2"));
    EXPECT_TRUE(CConfigStore::ReadStringValue(kProgramKey, "uPort", text));
    EXPECT_EQ(text, "COM2");
    EXPECT_FALSE(fs::exists(temporary));
}

// A writer killed at any moment leaves the old or the new file, and its lock
// goes with it.
TEST_F(ConfigStoreTest, AWriterKilledMidWriteLeavesAReadableStore) {
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM1"));
    for (int round = 0; round < 5; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (std::uint32_t i = 0;; ++i) {
                CConfigStore::WriteDwordValue(kNvKey, "v" + std::to_string(i % 50), i);
            }
        }
        usleep(20000 + 7000 * round);
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);

        std::string text;
        EXPECT_TRUE(CConfigStore::ReadStringValue(kProgramKey, "uPort", text)) << round;
        EXPECT_EQ(text, "COM1");
        EXPECT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "round", round)) << round;
    }
    EXPECT_FALSE(fs::exists(files.StorePath().string() + ".corrupt"));
}

TEST_F(ConfigStoreTest, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kValuesEach = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kValuesEach; ++i) {
                const std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
                failures += !CConfigStore::WriteDwordValue(kNvKey, name, w * 1000 + i);
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValuesEach; ++i) {
            std::uint32_t number = 0;
            const std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
            EXPECT_TRUE(CConfigStore::ReadDwordValue(kNvKey, name, number)) << name;
            EXPECT_EQ(number, static_cast<std::uint32_t>(w * 1000 + i)) << name;
        }
    }
}

TEST_F(ConfigStoreTest, CreatesTheFolderAndKeepsASymbolicLink) {
    const fs::path nested = files.Dir() / "a" / "b" / "printdeck.reg";
    {
        ScopedEnv store("PRINTDECK_STORE", nested.string());
        ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uDatabit", 8));
    }
    fs::remove(files.StorePath());
    fs::create_symlink(nested, files.StorePath());
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uStopbit", 1));
    EXPECT_TRUE(fs::is_symlink(files.StorePath()));
    EXPECT_NE(ReadWholeFile(nested).find("\"uStopbit\"=dword:00000001"), std::string::npos);
}

TEST_F(ConfigStoreTest, UnstorableNamesAreRefused) {
    const struct {
        const char* name;
        std::string keyPath;
        std::string valueName;
    } rows[] = {
        {"empty component", "Software\\\\Tarmeko", "v"}, {"leading separator", "\\Software", "v"},
        {"trailing separator", "Software\\", "v"},       {"line break in key", "Soft\nware", "v"},
        {"line break in name", kProgramKey, "a\nb"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(CConfigStore::WriteDwordValue(row.keyPath, row.valueName, 1));
        std::uint32_t number = 1;
        EXPECT_FALSE(CConfigStore::ReadDwordValue(row.keyPath, row.valueName, number));
    }
    EXPECT_EQ(StoreText().find('v'), std::string::npos);
}

class ConfigStoreTraceTest : public ConfigStoreTest {
protected:
    void SetUp() override {
        SetDebugTraceSink([this](const std::string& message) { traces.push_back(message); });
    }
    void TearDown() override { SetDebugTraceSink({}); }

    std::vector<std::string> traces;
};

TEST_F(ConfigStoreTraceTest, WritesTraceTheLengthAndEveryFailure) {
    ASSERT_TRUE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM12"));
    ASSERT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "uPortType", 1));
    EXPECT_EQ(traces, std::vector<std::string>{"strValue Length = 5"});

    traces.clear();
    {
        ScopedEnv store("PRINTDECK_STORE", (files.StorePath() / "below-a-file.reg").string());
        EXPECT_FALSE(CConfigStore::WriteStringValue(kProgramKey, "uPort", "COM1"));
    }
    ASSERT_EQ(traces.size(), 2u);
    EXPECT_EQ(traces[0].rfind("*Error RegCreateKeyEx = ", 0), 0u) << traces[0];
    EXPECT_EQ(traces[1].rfind("*Error GetLastError = ", 0), 0u) << traces[1];

    traces.clear();
    EXPECT_FALSE(CConfigStore::WriteStringValue(kProgramKey, "bad\nname", "x"));
    ASSERT_EQ(traces.size(), 3u);
    EXPECT_EQ(traces[0], "strValue Length = 1");
    EXPECT_EQ(traces[1].rfind("*Error RegSetValueEx = ", 0), 0u) << traces[1];
    EXPECT_EQ(traces[2].rfind("*Error GetLastError = ", 0), 0u) << traces[2];
}

TEST(ConfigStorePath, FollowsTheEnvironment) {
    test::TempDir home;
    ScopedEnv homeEnv("HOME", home.Path().string());
    const struct {
        const char* name;
        const char* store;
        const char* xdg;
        std::string expected;
    } rows[] = {
        {"explicit store", "/srv/p.reg", "/x", "/srv/p.reg"},
        {"xdg folder", "", "/x/cfg", "/x/cfg/printdeck/printdeck.reg"},
        {"relative xdg ignored", "", "cfg",
         home.Path().string() + "/.config/printdeck/printdeck.reg"},
        {"home default", "", "", home.Path().string() + "/.config/printdeck/printdeck.reg"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedEnv store("PRINTDECK_STORE", row.store);
        ScopedEnv xdg("XDG_CONFIG_HOME", row.xdg);
        EXPECT_EQ(CConfigStore::StoreFilePath(), row.expected);
    }
}

TEST_F(ConfigStoreTest, DeferredWritesStayOffTheFileUntilCommittedInOrder) {
    WriteStore(
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\n"
        "\"Kept\"=dword:00000001\n\"Gone\"=dword:00000002\n");
    const std::string before = StoreText();
    CStoreChanges first;
    CStoreChanges second;
    {
        const CDeferredStoreWrites deferred(first);
        EXPECT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "Density", 3));
        EXPECT_TRUE(CConfigStore::DeleteValue(kProgramKey, "gone"));
        EXPECT_FALSE(CConfigStore::WriteStringValue(kProgramKey, "Bad\nName", "x"));
        // The deferring thread reads its own changes; another reads the file.
        std::uint32_t number = 0;
        EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "DENSITY", number));
        EXPECT_EQ(number, 3u);
        EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Gone", number));
        std::thread([] {
            std::uint32_t seen = 0;
            EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Density", seen));
            EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Gone", seen));
        }).join();
    }
    {
        const CDeferredStoreWrites deferred(second);
        EXPECT_TRUE(CConfigStore::WriteDwordValue(kProgramKey, "Density", 5));
        EXPECT_TRUE(CConfigStore::WriteStringValue(kNvKey, "Count", "x"));
    }
    EXPECT_EQ(StoreText(), before);

    ASSERT_EQ(CStoreChanges::CommitAll({&first, &second}), 0);
    std::uint32_t number = 0;
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Kept", number));
    EXPECT_TRUE(CConfigStore::ReadDwordValue(kProgramKey, "Density", number));
    EXPECT_EQ(number, 5u) << "the later set wins";
    EXPECT_FALSE(CConfigStore::ReadDwordValue(kProgramKey, "Gone", number));
    std::string text;
    EXPECT_TRUE(CConfigStore::ReadStringValue(kNvKey, "Count", text));
}

TEST_F(ConfigStoreTest, CommittingNothingLeavesNoFile) {
    CStoreChanges none;
    EXPECT_EQ(CStoreChanges::CommitAll({&none}), 0);
    EXPECT_FALSE(fs::exists(files.StorePath()));
}

}  // namespace
}  // namespace printdeck
