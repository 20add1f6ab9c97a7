#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

#include "package/ArchiveReader.h"
#include "package/PackageTestSupport.h"
#include "support/TestSupport.h"
#include "support/ZipFixture.h"

using package::ArchiveReader;
using package::EntryInfo;
using package_tests::FaultyOs;
using package_tests::VariedData;
using package_tests::WorkingDirectory;
using testing_support::FixtureEntry;
using testing_support::ReadFile;
using testing_support::Snapshot;
using testing_support::TempDir;
using testing_support::WriteFile;
using testing_support::WriteZip;

namespace {

using Files = std::map<std::string, std::string>;

Files FilesOnly(Files snapshot) {
    std::erase_if(snapshot, [](const auto& item) { return item.first.back() == '/'; });
    return snapshot;
}

class ArchiveReaderTest : public ::testing::Test {
protected:
    void TearDown() override { reader.Close(); }

    // Opens an archive of entries, with "out" below the temporary folder to extract into.
    void OpenWith(const std::vector<FixtureEntry>& entries) {
        ASSERT_TRUE(WriteZip(archive, entries));
        ASSERT_TRUE(reader.Open(archive));
        ASSERT_TRUE(reader.SetExtractFolder(out));
    }

    // The entry's bytes, or "<false>" when ExtractToMemory answers false.
    std::string Memory(const std::string& name) {
        std::vector<char> block;
        int64_t size = -1;
        if (!reader.ExtractToMemory(name, block, size, false)) {
            EXPECT_TRUE(block.empty());
            EXPECT_EQ(size, 0);
            return "<false>";
        }
        EXPECT_EQ(static_cast<int64_t>(block.size()), size);
        return std::string(block.begin(), block.end());
    }

    TempDir dir;
    std::string archive = dir.Join("pkg.ovx");
    std::string out = dir.Join("out");
    ArchiveReader reader;
};

TEST_F(ArchiveReaderTest, LooksNamesUpWithoutCaseAndFindsTheFirstMatch) {
    OpenWith({{"readme.txt", "first"}, {"INSTALL.CFG", "script"}, {"ReadMe.TXT", "second"}});
    EXPECT_EQ(reader.EntryCount(), 3);
    EXPECT_EQ(Memory("README.TXT"), "first");
    EXPECT_EQ(Memory("readme.txt"), "first");
    EXPECT_EQ(Memory("install.cfg"), "script");
    EXPECT_EQ(reader.FindEntry("ReadMe.TXT"), 0);
    EXPECT_EQ(Memory("readme"), "<false>");
    EXPECT_FALSE(reader.ExtractToFile("missing.txt"));
    EXPECT_EQ(Snapshot(out), Files{});

    ASSERT_TRUE(reader.ExtractToFile("README.TXT"));
    // Written under the entry's own name, not the caller's spelling.
    EXPECT_EQ(Snapshot(out), (Files{{"readme.txt", "first"}}));
}

TEST_F(ArchiveReaderTest, TerminateAddsAZeroByteThatIsNotCounted) {
    OpenWith({{"install.cfg", "game xwa"}, {"empty.txt", ""}});
    std::vector<char> block;
    int64_t size = 0;
    ASSERT_TRUE(reader.ExtractToMemory("install.cfg", block, size, true));
    EXPECT_EQ(size, 8);
    ASSERT_EQ(block.size(), 9u);
    EXPECT_EQ(std::string(block.data()), "game xwa");
    EXPECT_EQ(block[8], '\0');

    ASSERT_TRUE(reader.ExtractToMemory("install.cfg", block, size, false));
    EXPECT_EQ(size, 8);
    EXPECT_EQ(block.size(), 8u);

    ASSERT_TRUE(reader.ExtractToMemory("empty.txt", block, size, true));
    EXPECT_EQ(size, 0);
    EXPECT_EQ(block, std::vector<char>{'\0'});
}

TEST_F(ArchiveReaderTest, StoredNamesAreCleanedForLookUpAndExtraction) {
    OpenWith({{"c:\\dir\\file.txt", "one"}, {"a/../b.txt", "two"}, {"/lead.txt", "three"}});
    EntryInfo info;
    ASSERT_TRUE(reader.GetEntryInfo(0, info));
    EXPECT_EQ(info.name, "dir\\file.txt");
    EXPECT_EQ(info.storedName, "c:\\dir\\file.txt");
    EXPECT_TRUE(info.usable);
    EXPECT_EQ(info.size, 3u);
    EXPECT_EQ(info.attributes & package::kFolderAttribute, 0u);
    EXPECT_EQ(reader.FindEntry("c:\\dir\\file.txt"), -1);
    EXPECT_EQ(reader.FindEntry("DIR\\File.txt"), 0);

    EXPECT_TRUE(reader.ExtractToFile("dir\\file.txt"));
    EXPECT_TRUE(reader.ExtractEntry(1));
    EXPECT_TRUE(reader.ExtractToFile("lead.txt"));
    EXPECT_EQ(Snapshot(out), (Files{{"dir/", ""}, {"dir/file.txt", "one"}, {"b.txt", "two"},
                                    {"lead.txt", "three"}}));
}

TEST_F(ArchiveReaderTest, ExtractionMakesMissingFoldersReplacesFilesAndKeepsTheTime) {
    FixtureEntry ship{"FlightModels/Sub/ship.opt", "new ship"};
    ship.time = {2004, 5, 6, 7, 8, 10};
    OpenWith({ship});
    WriteFile(reader.ExtractFolder() + "old.txt", "untouched");
    ASSERT_TRUE(reader.ExtractEntry(0));
    ASSERT_TRUE(reader.ExtractEntry(0)) << "a second extraction replaces the first";
    EXPECT_EQ(Snapshot(out), (Files{{"FlightModels/", ""},
                                    {"FlightModels/Sub/", ""},
                                    {"FlightModels/Sub/ship.opt", "new ship"},
                                    {"old.txt", "untouched"}}));
    EXPECT_EQ(package_tests::ModifiedTimeText(out + "\\FlightModels\\Sub\\ship.opt"),
              "2004-05-06 07:08:10");
}

TEST_F(ArchiveReaderTest, FolderEntriesCreateOnlyTheFolder) {
    FixtureEntry flagged{"textures"};
    flagged.folder = true;
    OpenWith({{"maps/", ""}, flagged, {"deep/er/", ""}});
    for (int i = 0; i < 3; ++i) {
        EntryInfo info;
        ASSERT_TRUE(reader.GetEntryInfo(i, info));
        EXPECT_NE(info.attributes & package::kFolderAttribute, 0u) << info.name;
        EXPECT_TRUE(reader.ExtractEntry(i)) << info.name;
    }
    EXPECT_EQ(Snapshot(out),
              (Files{{"maps/", ""}, {"textures/", ""}, {"deep/", ""}, {"deep/er/", ""}}));
}

TEST_F(ArchiveReaderTest, IndexesOutsideTheArchiveAnswerFalse) {
    OpenWith({{"a.txt", "a"}});
    EntryInfo info;
    EXPECT_FALSE(reader.ExtractEntry(reader.EntryCount()));
    EXPECT_FALSE(reader.ExtractEntry(-1));
    EXPECT_FALSE(reader.GetEntryInfo(reader.EntryCount(), info));
    EXPECT_FALSE(reader.GetEntryInfo(-1, info));
    EXPECT_EQ(Snapshot(out), Files{});
}

TEST_F(ArchiveReaderTest, AClosedReaderAnswersFalse) {
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.EntryCount(), 0);
    EXPECT_EQ(Memory("a.txt"), "<false>");
    EXPECT_FALSE(reader.ExtractToFile("a.txt"));
    EXPECT_FALSE(reader.ExtractEntry(0));
    EXPECT_EQ(reader.FindEntry("a.txt"), -1);

    OpenWith({{"a.txt", "a"}});
    reader.Close();
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.EntryCount(), 0);
    EXPECT_EQ(Memory("a.txt"), "<false>");
    EXPECT_FALSE(reader.ExtractEntry(0));
    EXPECT_EQ(Snapshot(out), Files{});
}

TEST_F(ArchiveReaderTest, OpenFailsOnWhatIsNoArchiveAndForgetsTheLastOne) {
    WriteFile(dir.Join("text.ovx"), "PK but not really an archive");
    WriteFile(dir.Join("empty.ovx"), "");
    for (const std::string& path : {dir.Join("missing.ovx"), dir.Join("text.ovx"),
                                    dir.Join("empty.ovx"), dir.Path()}) {
        OpenWith({{"a.txt", "a"}});
        EXPECT_FALSE(reader.Open(path)) << path;
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_EQ(reader.EntryCount(), 0);
        EXPECT_EQ(reader.ExtractFolder(), "");
        EXPECT_EQ(Memory("a.txt"), "<false>");
    }
}

TEST_F(ArchiveReaderTest, SetExtractFolderRefusesFilesAndMakesMissingFolders) {
    WriteFile(dir.Join("file"), "x");
    ASSERT_TRUE(reader.SetExtractFolder(out));
    Files before = Snapshot(dir.Path());
    EXPECT_FALSE(reader.SetExtractFolder(dir.Join("file")));
    EXPECT_EQ(reader.ExtractFolder(), out + "\\") << "a file keeps the last folder";
    // An empty folder would put every entry at the root of the drive.
    EXPECT_FALSE(reader.SetExtractFolder(""));
    EXPECT_EQ(reader.ExtractFolder(), out + "\\");
    EXPECT_FALSE(reader.SetExtractFolder(dir.Join("file\\below")));
    EXPECT_EQ(Snapshot(dir.Path()), before);

    std::string deep = dir.Join("a\\b\\c");
    EXPECT_TRUE(reader.SetExtractFolder(deep));
    EXPECT_EQ(reader.ExtractFolder(), deep + "\\");
    EXPECT_TRUE(os::Current().IsFolder(deep));
}

TEST_F(ArchiveReaderTest, EnsureFolderMakesTheChainAndRefusesFiles) {
    WriteFile(dir.Join("file"), "x");
    Files before = Snapshot(dir.Path());
    EXPECT_TRUE(package::EnsureFolder(dir.Path()));
    EXPECT_FALSE(package::EnsureFolder(dir.Join("file")));
    EXPECT_FALSE(package::EnsureFolder(dir.Join("file\\sub")));
    EXPECT_FALSE(package::EnsureFolder(""));
    EXPECT_EQ(Snapshot(dir.Path()), before);

    EXPECT_TRUE(package::EnsureFolder(dir.Join("x\\y\\z")));
    before.insert({{"x/", ""}, {"x/y/", ""}, {"x/y/z/", ""}});
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST_F(ArchiveReaderTest, WithoutAnExtractFolderEntriesLandInTheWorkingDirectory) {
    ASSERT_TRUE(WriteZip(archive, {{"x.txt", "x"}, {"sub/y.txt", "y"}, {"made/", ""}}));
    TempDir work;
    WorkingDirectory cwd(work.Path());
    ASSERT_TRUE(reader.Open(archive));
    EXPECT_EQ(reader.ExtractFolder(), "");
    EXPECT_TRUE(reader.ExtractToFile("x.txt"));
    EXPECT_TRUE(reader.ExtractToFile("SUB/Y.TXT"));
    EXPECT_TRUE(reader.ExtractEntry(2));
    EXPECT_EQ(Snapshot(work.Path()),
              (Files{{"x.txt", "x"}, {"sub/", ""}, {"sub/y.txt", "y"}, {"made/", ""}}));
}

// Every one of these names, once cleaned, would reach outside the extraction folder, name a
// device or alias another name on Windows. Nothing at all may be written for them.
TEST_F(ArchiveReaderTest, HostileNamesWriteNothingAnywhere) {
    struct Case {
        std::string name;
        bool folder;
    } cases[] = {
        {"../evil.txt", false},
        {"..\\evil.txt", false},
        {"..", false},
        {"a/..", false},
        {"a\\..", true},
        {"x/../../evil.txt", false},
        {"a/b/../../../../evil.txt", false},
        {"../", true},
        {"x/../../", true},
        {"c:../evil.txt", false},
        {"c:\\..\\evil.txt", false},
        {"\\\\?\\c:\\evil.txt", false},
        {"\\\\.\\nul", false},
        {"evil.txt:stream", false},
        {"dir/x:y", false},
        {"CON", false},
        {"con.txt", false},
        {"dir/NUL", false},
        {"Aux.dat", false},
        {"com1", false},
        {"LPT9.log", false},
        {"prn.tar.gz", false},
        {"nul .txt", false},
        {"conin$", false},
        {"dir./x.txt", false},
        {"dir /x.txt", false},
        {"evil.", false},
        {"evil ", false},
        {"a//b.txt", false},
        {"a\\\\b.txt", false},
        {"maps//", true},
        {"a\x01" "b.txt", false},
        {std::string("a\0b.txt", 7), false},
        {"a\nb.txt", false},
        {"c:", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir root;
        std::string where = root.Join("game\\out");
        FixtureEntry hostile{c.name, "evil"};
        hostile.folder = c.folder;
        if (c.folder) hostile.data.clear();
        ASSERT_TRUE(WriteZip(root.Join("pkg.ovx"), {hostile, {"ok.txt", "fine"}}));
        ArchiveReader hostileReader;
        ASSERT_TRUE(hostileReader.Open(root.Join("pkg.ovx")));
        ASSERT_TRUE(hostileReader.SetExtractFolder(where));
        EntryInfo info;
        ASSERT_TRUE(hostileReader.GetEntryInfo(0, info));

        Files before = Snapshot(root.Path());
        EXPECT_FALSE(hostileReader.ExtractEntry(0));
        EXPECT_FALSE(hostileReader.ExtractToFile(info.name));
        EXPECT_EQ(Snapshot(root.Path()), before);
        // The archive itself is fine: its ordinary entry still comes out.
        EXPECT_TRUE(hostileReader.ExtractEntry(1));
        hostileReader.Close();
    }
}

TEST_F(ArchiveReaderTest, NamesCutOffByTheBufferAreNeverUsed) {
    // Cut at 259 bytes this name cleans to "install"; whole, it is something else entirely.
    std::string tricky = std::string(248, 'p') + "/../install.cfg";
    std::string plain(300, 'a');
    OpenWith({{tricky, "hostile script"}, {plain, "long"}, {"install", "real"}});
    EntryInfo info;
    ASSERT_TRUE(reader.GetEntryInfo(0, info));
    EXPECT_FALSE(info.usable);
    ASSERT_TRUE(reader.GetEntryInfo(1, info));
    EXPECT_FALSE(info.usable);
    ASSERT_TRUE(reader.GetEntryInfo(2, info));
    EXPECT_TRUE(info.usable);

    EXPECT_EQ(reader.FindEntry("install"), 2);
    EXPECT_EQ(Memory("install"), "real");
    EXPECT_EQ(reader.FindEntry(std::string(259, 'a')), -1);
    EXPECT_EQ(reader.FindEntry(plain), -1);
    EXPECT_FALSE(reader.ExtractEntry(0));
    EXPECT_FALSE(reader.ExtractEntry(1));
    EXPECT_EQ(Snapshot(out), Files{});

    // 259 bytes still fit.
    std::string longest(259, 'b');
    ArchiveReader fits;
    ASSERT_TRUE(WriteZip(dir.Join("fits.ovx"), {{longest, "ok"}}));
    ASSERT_TRUE(fits.Open(dir.Join("fits.ovx")));
    EXPECT_EQ(fits.FindEntry(longest), 0);
    fits.Close();
}

// However an archive is cut short, what comes out of it is whole: either an entry is
// extracted with all its data, or nothing of it is written.
TEST_F(ArchiveReaderTest, TruncatedArchivesNeverGiveAPieceOfAFile) {
    const Files whole = {{"a.txt", VariedData(300)}, {"dir/b.txt", VariedData(200)}, {"c.txt", "c"}};
    std::string zip = testing_support::BuildZip(
        {{"a.txt", whole.at("a.txt")}, {"dir/b.txt", whole.at("dir/b.txt")}, {"c.txt", "c", false, true}});
    for (size_t cut = 0; cut < zip.size(); ++cut) {
        TempDir target;
        WriteFile(archive, zip.substr(0, cut));
        if (reader.Open(archive)) {
            ASSERT_TRUE(reader.SetExtractFolder(target.Path()));
            for (int32_t i = 0; i < reader.EntryCount(); ++i) reader.ExtractEntry(i);
            reader.Close();
        }
        // Folders on the way may have been made before the data turned out bad; files not.
        for (const auto& [name, data] : FilesOnly(Snapshot(target.Path()))) {
            ASSERT_TRUE(whole.count(name)) << "cut at " << cut << ": " << name;
            ASSERT_EQ(data, whole.at(name)) << "cut at " << cut << ": " << name;
        }
    }
    // Only the archive's last bytes (its comment length) can go missing without harm.
    WriteFile(archive, zip.substr(0, zip.size() / 2));
    EXPECT_FALSE(reader.Open(archive));
}

// Damaged data must never replace a good file, nor leave a piece of itself beside it.
TEST_F(ArchiveReaderTest, DamagedEntriesKeepTheOldFileAndLeaveNoTemporaryFile) {
    // Longer than one extraction chunk, so that some of it would be written before the fault.
    const std::string data = VariedData(700 * 1024);
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const uint32_t shorterSize = static_cast<uint32_t>(data.size()) - 1000;
    const uint32_t shorterCrc = static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), shorterSize));
    enum Damage { Flipped, WrongCrc, DataShort, DataLong, StoredShort, StoredLong };
    struct Case {
        const char* what;
        Damage damage;
    } cases[] = {
        {"bytes flipped in the compressed data", Flipped},
        {"checksum does not match", WrongCrc},
        {"data inflates to less than declared", DataShort},
        {"data inflates to more than declared, the declared part checksummed", DataLong},
        {"stored data shorter than declared", StoredShort},
        {"stored data longer than declared, the declared part checksummed", StoredLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureEntry entry{"Ship.opt", data};
        entry.stored = c.damage == StoredShort || c.damage == StoredLong;
        if (c.damage == WrongCrc) entry.declaredCrc = crc ^ 0x10;
        if (c.damage == DataShort || c.damage == StoredShort) {
            entry.declaredSize = static_cast<uint32_t>(data.size()) + 1;
        }
        if (c.damage == DataLong || c.damage == StoredLong) {
            entry.declaredSize = shorterSize;
            entry.declaredCrc = shorterCrc;
        }
        std::string zip = testing_support::BuildZip({entry});
        if (c.damage == Flipped) {
            size_t offset = 0, length = 0;
            ASSERT_TRUE(testing_support::FindEntryData(zip, "Ship.opt", offset, length));
            for (size_t i = offset + length / 2; i < offset + length / 2 + 16; ++i) zip[i] ^= 0x5A;
        }
        WriteFile(archive, zip);
        ASSERT_TRUE(reader.Open(archive));
        ASSERT_TRUE(reader.SetExtractFolder(out));
        WriteFile(out + "\\ship.opt", "old");

        EXPECT_FALSE(reader.ExtractToFile("ship.opt"));
        EXPECT_EQ(Snapshot(out), (Files{{"ship.opt", "old"}}));
        EXPECT_EQ(Memory("ship.opt"), "<false>");
        reader.Close();
    }
}

TEST_F(ArchiveReaderTest, OnlyMemoryExtractionIsCapped) {
    FixtureEntry liar{"claims-a-lot.dat", "small"};
    liar.declaredSize = static_cast<uint32_t>(package::kMaxMemoryEntry + 1);
    FixtureEntry big{"big.dat", std::string(package::kMaxMemoryEntry + 1, '\0')};
    OpenWith({liar, big});
    EXPECT_EQ(Memory("claims-a-lot.dat"), "<false>");
    EXPECT_EQ(Memory("big.dat"), "<false>");
    ASSERT_TRUE(reader.ExtractToFile("big.dat")) << "files are written piece by piece";
    auto file = os::Current().Open(out + "\\big.dat", os::OpenMode::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), static_cast<int64_t>(package::kMaxMemoryEntry + 1));
}

// Disk full, a target that cannot be replaced: the old file stays, no temporary one remains.
TEST_F(ArchiveReaderTest, FileSystemFailuresKeepTheOldFile) {
    struct Case {
        const char* what;
        int writesAllowed;
        bool failMove;
    } cases[] = {
        {"the first write fails", 0, false},
        {"a later write fails", 1, false},
        {"the finished file cannot be moved over the target", INT_MAX, true},
    };
    OpenWith({{"ship.opt", VariedData(600 * 1024)}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(out + "\\ship.opt", "old");
        FaultyOs faulty;
        faulty.failingName = ".part";
        faulty.writesAllowed = c.writesAllowed;
        faulty.failMove = c.failMove;
        os::OsOverride in(faulty);
        EXPECT_FALSE(reader.ExtractToFile("ship.opt"));
        EXPECT_EQ(Snapshot(out), (Files{{"ship.opt", "old"}}));
    }
    ASSERT_TRUE(reader.ExtractToFile("ship.opt"));
    EXPECT_EQ(ReadFile(out + "\\ship.opt"), VariedData(600 * 1024));
}

}  // namespace
