#include <gtest/gtest.h>
#include <unzip.h>

#include <map>
#include <string>
#include <vector>

#include "package/ArchiveReader.h"
#include "package/ArchiveWriter.h"
#include "package/PackageTestSupport.h"
#include "package/ZipIo.h"
#include "support/TestSupport.h"

using package::ArchiveReader;
using package::ArchiveWriter;
using package::EntryInfo;
using package_tests::FaultyOs;
using package_tests::VariedData;
using package_tests::WorkingDirectory;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

using Files = std::map<std::string, std::string>;

class ArchiveWriterTest : public ::testing::Test {
protected:
    void TearDown() override {
        writer.Close();
        reader.Close();
    }

    // Closes the writer and opens what it wrote.
    void Reopen() {
        ASSERT_TRUE(writer.Close());
        ASSERT_TRUE(reader.Open(archive));
        ASSERT_TRUE(reader.SetExtractFolder(out));
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int32_t i = 0; i < reader.EntryCount(); ++i) {
            EntryInfo info;
            EXPECT_TRUE(reader.GetEntryInfo(i, info));
            names.push_back(info.name);
        }
        return names;
    }

    std::string Memory(const std::string& name) {
        std::vector<char> block;
        int64_t size = 0;
        if (!reader.ExtractToMemory(name, block, size, false)) return "<false>";
        return std::string(block.begin(), block.end());
    }

    bool AddText(const std::string& name, const std::string& text) {
        return writer.AddMemory(name, text.data(), static_cast<int64_t>(text.size()));
    }

    TempDir dir;
    std::string archive = dir.Join("pkg.backup");
    std::string out = dir.Join("out");
    ArchiveWriter writer;
    ArchiveReader reader;
};

TEST_F(ArchiveWriterTest, EntriesComeBackAsWrittenWithSlashesForBackslashes) {
    WriteFile(dir.Join("ship.opt"), "ship data");
    ASSERT_TRUE(writer.Create(archive));
    EXPECT_TRUE(writer.IsOpen());
    EXPECT_TRUE(AddText("Install.cfg", "Game XWA\r\n\r\n"));
    EXPECT_TRUE(writer.AddFile(dir.Join("ship.opt"), "FlightModels\\Sub\\Ship.opt"));
    EXPECT_TRUE(AddText("readme.txt", "first"));
    EXPECT_TRUE(AddText("README.TXT", "second"));
    Reopen();
    EXPECT_FALSE(writer.IsOpen());

    EXPECT_EQ(Names(), (std::vector<std::string>{"Install.cfg", "FlightModels/Sub/Ship.opt",
                                                 "readme.txt", "README.TXT"}));
    EXPECT_EQ(Memory("install.cfg"), "Game XWA\r\n\r\n");
    EXPECT_EQ(reader.FindEntry("FlightModels\\Sub\\Ship.opt"), -1);
    EXPECT_EQ(reader.FindEntry("flightmodels/sub/SHIP.OPT"), 1);
    EXPECT_EQ(Memory("Readme.Txt"), "first") << "the earlier of two names wins";
    ASSERT_TRUE(reader.ExtractEntry(1));
    EXPECT_EQ(Snapshot(out), (Files{{"FlightModels/", ""},
                                    {"FlightModels/Sub/", ""},
                                    {"FlightModels/Sub/Ship.opt", "ship data"}}));
}

TEST_F(ArchiveWriterTest, TheOneNameFormUsesThePathAsEntryName) {
    WriteFile(dir.Join("header.bmp"), "BM picture");
    WorkingDirectory cwd(dir.Path());
    ASSERT_TRUE(writer.Create(archive));
    EXPECT_TRUE(writer.AddFile("header.bmp"));
    Reopen();
    EXPECT_EQ(Names(), std::vector<std::string>{"header.bmp"});
    EXPECT_EQ(Memory("header.bmp"), "BM picture");
}

TEST_F(ArchiveWriterTest, NothingToStoreAnswersFalseAndAddsNoEntry) {
    WriteFile(dir.Join("empty.txt"), "");
    ASSERT_TRUE(os::Current().CreateFolder(dir.Join("folder")));
    ASSERT_TRUE(writer.Create(archive));
    char byte = 'x';
    EXPECT_FALSE(writer.AddMemory("zero.txt", &byte, 0));
    EXPECT_FALSE(writer.AddMemory("negative.txt", &byte, -1));
    EXPECT_FALSE(writer.AddMemory("null.txt", nullptr, 1));
    EXPECT_FALSE(writer.AddFile(dir.Join("missing.txt"), "missing.txt"));
    EXPECT_FALSE(writer.AddFile(dir.Join("folder"), "folder"));
    // A name ending in a separator is a folder to every reader and would lose its data.
    EXPECT_FALSE(writer.AddMemory("dir/", &byte, 1));
    EXPECT_FALSE(writer.AddMemory("dir\\", &byte, 1));
    EXPECT_FALSE(writer.AddMemory("", &byte, 1));
    EXPECT_TRUE(writer.AddFile(dir.Join("empty.txt"), "empty.txt")) << "an empty file is data";
    EXPECT_TRUE(writer.AddMemory("one.txt", &byte, 1));
    Reopen();
    EXPECT_EQ(Names(), (std::vector<std::string>{"empty.txt", "one.txt"}));
    EXPECT_EQ(Memory("empty.txt"), "");
    EXPECT_EQ(Memory("one.txt"), "x");
}

TEST_F(ArchiveWriterTest, AClosedWriterAnswersFalse) {
    char byte = 'x';
    WriteFile(dir.Join("a.txt"), "a");
    EXPECT_FALSE(writer.AddMemory("a.txt", &byte, 1));
    EXPECT_FALSE(writer.AddFile(dir.Join("a.txt"), "a.txt"));
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(writer.Create(dir.Join("no\\such\\folder\\x.backup")));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.AddMemory("a.txt", &byte, 1));

    ASSERT_TRUE(writer.Create(archive));
    ASSERT_TRUE(writer.Close());
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(writer.AddMemory("a.txt", &byte, 1));
}

TEST_F(ArchiveWriterTest, CreateReplacesAnExistingFile) {
    WriteFile(archive, std::string(5000, 'j'));
    ASSERT_TRUE(writer.Create(archive));
    ASSERT_TRUE(AddText("a.txt", "a"));
    Reopen();
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

// More than one piece of the writer and the reader each; and the archive must be one that an
// ordinary ZIP reader (minizip with its own checksum test) accepts too.
TEST_F(ArchiveWriterTest, LargeEntriesRoundTripAndReadAnywhere) {
    const std::string data = VariedData(1500 * 1024 + 7);
    WriteFile(dir.Join("big.bin"), data);
    ASSERT_TRUE(writer.Create(archive));
    ASSERT_TRUE(writer.AddFile(dir.Join("big.bin"), "data\\big.bin"));
    ASSERT_TRUE(writer.AddMemory("copy.bin", data.data(), static_cast<int64_t>(data.size())));
    Reopen();
    ASSERT_TRUE(reader.ExtractToFile("data/big.bin"));
    EXPECT_EQ(ReadFile(out + "\\data\\big.bin"), data);
    EXPECT_EQ(Memory("copy.bin"), data);
    reader.Close();

    zlib_filefunc64_def io = package::detail::OsFileFunctions();
    unzFile zip = unzOpen2_64(archive.c_str(), &io);
    ASSERT_TRUE(zip);
    ASSERT_EQ(unzGoToFirstFile(zip), UNZ_OK);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
        std::string got;
        std::vector<char> buffer(64 * 1024);
        int n;
        while ((n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0) {
            got.append(buffer.data(), static_cast<size_t>(n));
        }
        EXPECT_EQ(n, 0);
        EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK) << "checksum as recorded";
        EXPECT_EQ(got, data);
        if (i == 0) {
            ASSERT_EQ(unzGoToNextFile(zip), UNZ_OK);
        }
    }
    unzClose(zip);
}

TEST_F(ArchiveWriterTest, AddFileKeepsTheSourceTime) {
    WriteFile(dir.Join("ship.opt"), "ship");
    ASSERT_TRUE(os::Current().SetModifiedTime(dir.Join("ship.opt"), {2003, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(writer.Create(archive));
    ASSERT_TRUE(writer.AddFile(dir.Join("ship.opt"), "ship.opt"));
    Reopen();
    ASSERT_TRUE(reader.ExtractToFile("ship.opt"));
    EXPECT_EQ(package_tests::ModifiedTimeText(out + "\\ship.opt"), "2003-04-05 06:07:08");
}

// A game file that cannot be read to its end must never come back from the backup archive
// as a truncated copy: its entry stays (earlier and later entries are fine) but is unusable.
TEST_F(ArchiveWriterTest, ASourceThatFailsHalfwayIsNeverRestored) {
    WriteFile(dir.Join("source.bin"), VariedData(700 * 1024));
    ASSERT_TRUE(writer.Create(archive));
    ASSERT_TRUE(AddText("before.txt", "before"));
    {
        FaultyOs faulty;
        faulty.failingName = "source.bin";
        faulty.readsAllowed = 1;
        os::OsOverride in(faulty);
        EXPECT_FALSE(writer.AddFile(dir.Join("source.bin"), "source.bin"));
        faulty.readsAllowed = 0;
        EXPECT_FALSE(writer.AddFile(dir.Join("source.bin"), "unread.bin"));
    }
    ASSERT_TRUE(AddText("after.txt", "after"));
    Reopen();
    EXPECT_EQ(Names(), (std::vector<std::string>{"before.txt", "source.bin", "after.txt"}));
    EXPECT_EQ(Memory("source.bin"), "<false>");
    EXPECT_FALSE(reader.ExtractToFile("source.bin"));
    EXPECT_EQ(Snapshot(out), Files{});
    EXPECT_EQ(Memory("before.txt"), "before");
    EXPECT_EQ(Memory("after.txt"), "after");
}

}  // namespace
