#include "CKVXMLConfig.h"

#include "CFile.h"
#include "OsCodePage.h"
#include "OsTime.h"
#include "TestSupport.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

namespace
{
const char kMark[] = "\xEF\xBB\xBF";

// The files this process holds open, where the system lists them (0 elsewhere).
std::ptrdiff_t OpenFiles()
{
#ifdef _WIN32
    return 0;
#else
    std::error_code error;
    const std::filesystem::directory_iterator files("/proc/self/fd", error);
    return error ? 0 : std::distance(files, std::filesystem::directory_iterator());
#endif
}

class CKVXMLConfigTest : public ::testing::Test
{
protected:
    kvtest::TempDir dir;
    const CString path = dir.Sub("xdb_app.xdb");
    CKVXMLConfig config;
};
} // namespace

TEST_F(CKVXMLConfigTest, CreatesAMissingFileOnSaveAddsOnlyNewEntriesAndFindsSectionsAnywhere)
{
    EXPECT_EQ(config.SetString("config", "Level", "1"), 0);
    EXPECT_EQ(config.AddDWord("config", "Level", 1), 0);
    // A first open that saves nothing leaves nothing that a later open fails on, and the
    // leftover of a killed save stands in no later save's way.
    ASSERT_EQ(config.Open(path), 1);
    config.Close();
    dir.MakeFile("xdb_app.xdb.new", "cut short");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.IsModified(), 1);
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_EQ(config.SetDWord("config", "Level", 15), 1);
    EXPECT_EQ(config.SetString("config", "Format", "x"), 1);
    ASSERT_EQ(config.Save(), 1);
    EXPECT_EQ(config.IsModified(), 0);
    config.Close(); // the file is held until then
    EXPECT_EQ(kvtest::ReadWholeFile(path),
              std::string(kMark) + "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" +
                  "<Korvel>\r\n\t<config\r\n\t\tLevel=\"15\" \r\n\t\tFormat=\"x\" \r\n\t>\r\n"
                  "\t</config>\r\n</Korvel>\r\n");
    EXPECT_EQ(config.Save(), 0);

    // Every operation reads and writes the whole file: up to 16 MiB it is made and read, one byte
    // more is neither.
    const std::size_t kMax = CKVXMLConfig::kMaxFileBytes;
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("UserDefined", "Big", "");
    ASSERT_EQ(config.Save(), 1);
    // The saved file stays held under its own name for the saves that follow.
    const auto room = static_cast<std::size_t>(kMax - std::filesystem::file_size(path.GetString()));
    config.SetString("UserDefined", "Big", std::string(room + 1, 'x').c_str());
    EXPECT_EQ(config.Save(), 0);
    EXPECT_TRUE(config.TakeNewFailure());
    EXPECT_EQ(std::filesystem::file_size(path.GetString()), kMax - room);
    config.SetString("UserDefined", "Big", std::string(room, 'x').c_str());
    EXPECT_EQ(config.Save(), 1);
    config.Close();
    EXPECT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("UserDefined", "Big", "").GetLength(), static_cast<int>(room));
    // The same failure after a save that succeeded is named again.
    config.SetString("UserDefined", "Big", std::string(room + 1, 'x').c_str());
    EXPECT_EQ(config.Save(), 0);
    EXPECT_TRUE(config.TakeNewFailure());
    config.Close();
    std::filesystem::resize_file(path.GetString(), kMax + 1);
    EXPECT_EQ(config.Open(path), 0);
    EXPECT_EQ(config.GetLastError(), "the file is larger than 16 MiB");

    // Setters add only new entries.
    dir.MakeFile("xdb_app.xdb", "<r><config Level=\"1\"></config></r>");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.SetString("config", "LEVEL", "1"), 1);
    EXPECT_EQ(config.IsModified(), 1);
    ASSERT_EQ(config.Save(), 1);

    EXPECT_EQ(config.AddDWord("config", "Level", 7), 1);
    EXPECT_EQ(config.IsModified(), 0);
    EXPECT_EQ(config.AddDWord("config", "New", 7), 1);
    EXPECT_EQ(config.IsModified(), 1);
    config.Close();

    // Sections are found anywhere and created under the root.
    dir.MakeFile("xdb_app.xdb", "<root><outer><config Level=\"3\"></config></outer></root>");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetDWord("config", "Level", 0), 3u);

    const CULXMLData& document = config.GetDocument();
    CULXMLData::CNode* motor = config.GetSection("Motor Control");
    ASSERT_NE(motor, nullptr);
    EXPECT_STREQ(document.GetNodeName(motor), "Motor_Control");
    EXPECT_EQ(document.GetParent(motor), document.GetRoot());
    EXPECT_EQ(config.IsModified(), 1);
    CULXMLData::CNode* deep = config.GetSection("outer\\new\\leaf");
    ASSERT_NE(deep, nullptr);
    EXPECT_STREQ(document.GetNodeName(document.GetParent(deep)), "new");
    EXPECT_EQ(config.GetSection("\\\\"), nullptr);
    EXPECT_EQ(config.CopySection("config", "\\\\"), 0);
}

// Waiting would neither fill nor repair these; a malformed file is never overwritten.
TEST_F(CKVXMLConfigTest, EmptyMalformedAndLinkedFilesFailAtOnceAndAreKept)
{
    const std::pair<std::string, const char*> rows[] = {{"", "the file is empty or cannot be read"},
                                                        {"<r><c v=\"1\"></r>", nullptr}};
    for (const auto& [content, error] : rows)
    {
        const CString bad = dir.MakeFile("bad.xdb", content);
        const DWORD start = os::GetTickCount();
        const std::ptrdiff_t files = OpenFiles();
        EXPECT_EQ(config.Open(bad), 0);
        EXPECT_LT(os::GetTickCount() - start, 400u);
        EXPECT_EQ(OpenFiles(), files); // a refused file is let go at once
        EXPECT_TRUE(!error || config.GetLastError() == error) << config.GetLastError();
        EXPECT_EQ(config.SetString("c", "v", "2"), 0);
        EXPECT_EQ(config.Save(), 0);
        EXPECT_EQ(kvtest::ReadWholeFile(bad), content);
    }
    // A file touched without a change of its text was named already; other text is named anew.
    const CString bad = dir.MakeFile("bad.xdb", "<r>");
    const auto refusedAnew = [&] { return config.Open(bad) == 0 && config.TakeNewFailure(); };
    EXPECT_TRUE(refusedAnew());
    std::filesystem::last_write_time(bad.GetString(),
                                     std::filesystem::last_write_time(bad.GetString()) +
                                         std::chrono::seconds(1));
    EXPECT_FALSE(refusedAnew());
    dir.MakeFile("bad.xdb", "<s>");
    EXPECT_TRUE(refusedAnew());
    // Mended, then broken the same way again: a change of its own, named again.
    dir.MakeFile("bad.xdb", "<s></s>");
    EXPECT_EQ(config.Open(bad), 1);
    config.Close();
    dir.MakeFile("bad.xdb", "<s>");
    EXPECT_TRUE(refusedAnew());

    // A link at the file's path is refused rather than followed: its target stays as it is.
    const CString victim = dir.MakeFile("victim.txt", "<r></r>");
    std::error_code error;
    std::filesystem::create_symlink(victim.GetString(), path.GetString(), error);
    EXPECT_TRUE(error || (config.Open(path) == 0 && WriteTextFile(path, "x", kTextFileAnsi) == 0));
    EXPECT_EQ(kvtest::ReadWholeFile(victim), "<r></r>");

    ASSERT_EQ(config.Open(dir.Sub("gone\\x.xdb")), 1);
    config.SetDWord("c", "v", 1);
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(config.IsModified(), 1);
    EXPECT_EQ(config.GetLastError().Find("cannot create x.xdb.new: "), 0) << config.GetLastError();
}

TEST_F(CKVXMLConfigTest, RetriesBridgeAShortHold)
{
    dir.MakeFile("xdb_app.xdb", "<r><c v=\"2\"></c></r>");
    CFile holder;
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    std::thread release(
        [&holder]
        {
            os::Sleep(150);
            holder.Close();
        });
    const int opened = config.Open(path);
    release.join();
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(config.GetDWord("c", "v", 0), 2u);

    // From the read to the close nobody else gets the file, the saved one included.
    EXPECT_FALSE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    config.SetDWord("c", "v", 3);
    const std::ptrdiff_t held = OpenFiles();
    EXPECT_EQ(config.Save(), 1);
    EXPECT_EQ(OpenFiles(), held); // the replaced file is let go at once
    EXPECT_FALSE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    config.Close();
    EXPECT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));

    // A file held too long is named once until an open succeeds, one that finds no file included.
    const auto namedBusy = [this]
    { return config.Open(path, [] { return true; }) == 0 && config.TakeNewFailure(); };
    EXPECT_TRUE(namedBusy());
    EXPECT_FALSE(namedBusy());
    holder.Close();
    kvtest::TempDir::RemoveFile(path);
    ASSERT_EQ(config.Open(path), 1);
    config.Close();
    dir.MakeFile("xdb_app.xdb", "<r></r>");
    ASSERT_TRUE(holder.Open(path, CFile::modeRead | CFile::shareExclusive));
    EXPECT_TRUE(namedBusy());
    EXPECT_EQ(config.GetLastError(), "the file was held by another program");

    // New content whose name another program holds is not taken away from it.
    holder.Close();
    ASSERT_EQ(config.Open(path, [] { return true; }), 1);
    ASSERT_TRUE(
        holder.Open(path + ".new", CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    config.SetString("c", "v", "4");
    EXPECT_EQ(config.Save(), 0);
    EXPECT_EQ(config.GetLastError(), "another program holds xdb_app.xdb.new");
}

#ifndef _WIN32
// A save that stops part way (here at a file-size limit) leaves the previous file whole and
// readable, and nothing of the new content behind.
TEST_F(CKVXMLConfigTest, ASaveCutShortLeavesThePreviousFileWhole)
{
    ASSERT_EQ(config.Open(path), 1);
    config.SetString("config", "Level", "15");
    ASSERT_EQ(config.Save(), 1);
    const std::string before = kvtest::ReadWholeFile(path);
    for (int i = 0; i < 100; ++i)
        config.SetDWord("UserDefined", ("Key" + std::to_string(i)).c_str(), 4000000000UL);

    // The child's save meets the limit; the parent then finds what it left behind.
    EXPECT_TRUE(kvtest::RunWithFileSizeLimit(
        400, [&](const kvtest::LiftLimit&) { return config.Save() == 0 && config.IsModified(); }));
    config.Close();
    EXPECT_EQ(kvtest::ReadWholeFile(path), before);
    EXPECT_EQ(kvtest::ReadWholeFile(path + ".new"), "");
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("config", "Level", ""), "15");
}
#endif

// References in a hand-edited file (here in UTF-16) are decoded, unknown ones kept as written;
// the file is written back as UTF-8, where any text is encoded once and comes back equal.
TEST_F(CKVXMLConfigTest, EditedFilesAreDecodedAndAnyTextRoundTripsEncodedOnce)
{
    ASSERT_EQ(
        WriteTextFile(path,
                      "<Korvel>\r\n<config\r\nA=\"&lt;&gt;&quot;&apos;&amp;&#x41;&#66;&#0067;\" "
                      "B=\"&nbsp; &#200; &#; &#x; &amp & &#-5; &#99999999; &#0; &#128; &#00065;\" "
                      "\r\n>\r\n</config>\r\n</Korvel>\r\n",
                      kTextFileUtf16BE),
        1);
    ASSERT_EQ(config.Open(path), 1);
    EXPECT_EQ(config.GetString("config", "A", "").str(), "<>\"'&ABC");
    EXPECT_EQ(config.GetString("config", "B", "").str(),
              "&nbsp; &#200; &#; &#x; &amp & &#-5; &#99999999; &#0; &#128; &#00065;");

    std::u16string wide = u"Gr\u00F6\u00DFe \u20AC";
    std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                       "e \xE2\x82\xAC";
#ifndef _WIN32
    wide += u" \U0001F600"; // no Windows code page holds it
    utf8 += " \xF0\x9F\x98\x80";
#endif
    const CString values[] = {
        "5\" screen",        "a & b <c> 'd'",     "tab\there", "two\r\nlines\n",
        "&amp; stays &amp;", "&#65; &bogus; & ;", "",          os::WideToAnsi(wide)};
    int index = 0;
    for (const CString& value : values)
        config.SetString("UserDefined", ("Key" + std::to_string(index++)).c_str(), value);
    ASSERT_EQ(config.Save(), 1);
    config.Close();
    EXPECT_NE(kvtest::ReadWholeFile(path).find("Key7=\"" + utf8 + "\""), std::string::npos);

    ASSERT_EQ(config.Open(path), 1) << config.GetLastError().str();
    index = 0;
    for (const CString& value : values)
        EXPECT_EQ(config.GetString("UserDefined", ("Key" + std::to_string(index++)).c_str(), "?"),
                  value);
}
