#include "app/RegDocument.h"

#include <gtest/gtest.h>

namespace printdeck {
namespace {

constexpr const char* kKey = "HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck";

TEST(RegDocument, RejectsMalformedFilesNamingTheLine) {
    const struct {
        const char* name;
        const char* text;
        int line;
    } rows[] = {
        {"missing header", "[HKEY_LOCAL_MACHINE\\A]\n", 1},
        {"other header", "Windows Registry Editor Version 5.00\n", 1},
        {"value before any key", "REGEDIT4\n\n\"a\"=\"b\"\n", 3},
        {"unclosed key line", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n", 2},
        {"key deletion", "REGEDIT4\n[-HKEY_LOCAL_MACHINE\\A]\n", 2},
        {"unclosed name", "REGEDIT4\n[K]\n\"a=\"b\"\n", 3},
        {"no equals sign", "REGEDIT4\n[K]\n\"a\" \"b\"\n", 3},
        {"unclosed text", "REGEDIT4\n[K]\n\"a\"=\"b\n", 3},
        {"text followed by junk", "REGEDIT4\n[K]\n\"a\"=\"b\"x\n", 3},
        {"nine-digit dword", "REGEDIT4\n[K]\n\"a\"=dword:000000001\n", 3},
        {"empty dword", "REGEDIT4\n[K]\n\"a\"=dword:\n", 3},
        {"bad hex byte", "REGEDIT4\n[K]\n\"a\"=hex:01,zz\n", 3},
        {"three-digit hex byte", "REGEDIT4\n[K]\n\"a\"=hex:100\n", 3},
        {"trailing comma", "REGEDIT4\n[K]\n\"a\"=hex:01,\n", 3},
        {"bad hex kind", "REGEDIT4\n[K]\n\"a\"=hex(q):01\n", 3},
        {"continued past the end", "REGEDIT4\n[K]\n\"ok\"=dword:1\n\"a\"=hex:01,\\\n", 4},
        {"unknown data form", "REGEDIT4\n[K]\n\"a\"=qword:1\n", 3},
    };
    for (const auto& row : rows) {
        const RegParseResult result = CRegDocument::Parse(row.text);
        EXPECT_FALSE(result.document) << row.name;
        EXPECT_EQ(result.error.line, row.line) << row.name;
        EXPECT_FALSE(result.error.message.empty()) << row.name;
    }
}

TEST(RegDocument, ReadsWhatOtherWritersProduce) {
    // Windows line ends, comments, upper-case hex, the default value, a name
    // given twice, a key given twice and hex data over several lines.
    const RegParseResult result = CRegDocument::Parse(
        "REGEDIT4\r\n\r\n; exported\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Tarmeko\\Printdeck]\r\n"
        "@=\"default\"\r\n"
        "\"Density\"=dword:0000001A\r\n"
        "\"Path\"=\"C:\\dir\\\\x\"  \r\n"
        "\"density\"=dword:2\r\n"
        "[hkey_local_machine\\software\\tarmeko\\printdeck]\r\n"
        "\"Blob\"=hex:01,02,\\\r\n  03,\\\r\n  FF\r\n");
    ASSERT_TRUE(result.document) << result.error.line << ": " << result.error.message;
    const CRegDocument& doc = *result.document;
    const auto text = [&](const char* name) {
        const RegData* data = doc.Find(kKey, name);
        return data ? data->bytes : std::string("<missing>");
    };
    EXPECT_EQ(text(""), std::string("default\0", 8));
    EXPECT_EQ(text("Path"), std::string("C:\\dir\\x\0", 9));
    ASSERT_NE(doc.Find(kKey, "DENSITY"), nullptr);
    EXPECT_EQ(doc.Find(kKey, "DENSITY")->AsDword(), 2u);
    ASSERT_NE(doc.Find(kKey, "Blob"), nullptr);
    EXPECT_EQ(doc.Find(kKey, "Blob")->kind, kRegBinary);
    EXPECT_EQ(text("Blob"), "\x01\x02\x03\xff");
}

TEST(RegDocument, EmptyTextIsAnEmptyStore) {
    const RegParseResult result = CRegDocument::Parse("");
    ASSERT_TRUE(result.document);
    EXPECT_EQ(result.document->Find(kKey, "a"), nullptr);
}

TEST(RegDocument, WrapsLongHexDataAndReadsItBack) {
    CRegDocument doc;
    const std::string text(100, '\n');
    doc.Set(kKey, "Lines", RegData::Text(text));
    const std::string file = doc.Serialize();
    for (std::size_t start = 0, end; (end = file.find('\n', start)) != std::string::npos;
         start = end + 1) {
        EXPECT_LE(end - start, 80u) << file.substr(start, end - start);
    }
    const RegParseResult again = CRegDocument::Parse(file);
    ASSERT_TRUE(again.document);
    ASSERT_NE(again.document->Find(kKey, "Lines"), nullptr);
    EXPECT_EQ(again.document->Find(kKey, "Lines")->bytes, text + '\0');
}

TEST(RegDocument, KeyPathsThatWouldNotReadBackAreNotStorable) {
    const struct {
        const char* path;
        bool storable;
    } rows[] = {
        {"HKEY_LOCAL_MACHINE\\Software", true},
        {"-HKEY_LOCAL_MACHINE\\Software", false},  // reads back as a deletion line
        {"-", false},
        {"HKEY_LOCAL_MACHINE\\-Software", true},
        {"", false},
        {"A\\\\B", false},
        {"A\nB", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CRegDocument::IsStorableKeyPath(row.path), row.storable) << row.path;
    }
}

TEST(RegDocument, RemovingAValueKeepsTheOthersInPlace) {
    CRegDocument doc;
    for (const char* name : {"a", "b", "c"}) {
        doc.Set(kKey, name, RegData::Text(name));
    }
    EXPECT_TRUE(doc.Remove(kKey, "A"));
    EXPECT_FALSE(doc.Remove(kKey, "a"));
    EXPECT_EQ(doc.Find(kKey, "a"), nullptr);
    ASSERT_NE(doc.Find(kKey, "C"), nullptr);
    EXPECT_EQ(doc.Find(kKey, "C")->bytes, std::string("c\0", 2));
    doc.Set(kKey, "c", RegData::Dword(7));
    doc.Set(kKey, "a", RegData::Dword(1));
    EXPECT_EQ(doc.Serialize(), "REGEDIT4\n\n[" + std::string(kKey) +
                                   "]\n\"b\"=\"b\"\n\"c\"=dword:00000007\n\"a\"=dword:00000001\n");
}

}  // namespace
}  // namespace printdeck
