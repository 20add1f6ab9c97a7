// mkpatch's diffing: which records it makes, and that the install's own patch code turns the
// original into the modified file with them and back again with their inverse.
#include <gtest/gtest.h>

#include "cli/PatchDiff.h"
#include "install/PatchData.h"
#include "support/TestSupport.h"

namespace cli {
namespace {

struct Case {
    const char* title;
    std::string original;
    std::string modified;
    std::vector<std::pair<uint32_t, std::string>> records;
};

std::string Dots(size_t n) { return std::string(n, '.'); }

std::string With(std::string s, size_t at, const std::string& part) { return s.replace(at, part.size(), part); }

TEST(PatchDiff, RecordsCoverEveryChangeAndMergeNearbyOnes) {
    const std::string base = Dots(1000);
    const std::vector<Case> cases = {
        {"identical", base, base, {}},
        {"first and last byte", base, With(With(base, 0, "A"), 999, "Z"), {{0, "A"}, {999, "Z"}}},
        {"gap of five equal bytes is merged", base, With(With(base, 10, "A"), 16, "B"), {{10, "A.....B"}}},
        {"gap of six starts a new record", base, With(With(base, 10, "A"), 17, "B"), {{10, "A"}, {17, "B"}}},
        {"run longer than a record", base, With(base, 100, std::string(300, '#')),
         {{100, std::string(255, '#')}, {355, std::string(45, '#')}}},
        {"merge up to the record size", base, With(With(base, 0, std::string(253, '#')), 254, "X"),
         {{0, std::string(253, '#') + ".X"}}},
        {"merge that would overflow a record", base, With(With(base, 0, std::string(254, '#')), 256, "X"),
         {{0, std::string(254, '#')}, {256, "X"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        std::vector<std::pair<uint32_t, std::string>> got;
        for (const PatchRecord& r : DiffRecords(c.original, c.modified)) got.emplace_back(r.offset, r.bytes);
        EXPECT_EQ(got, c.records);
    }
}

TEST(PatchDiff, MadePatchAppliesAndItsInverseRestores) {
    std::string original;
    for (int i = 0; i < 5000; ++i) original += static_cast<char>((i * 7919) % 251);
    std::string modified = original;
    for (size_t i = 3; i < modified.size(); i += 37) modified[i] = static_cast<char>(modified[i] ^ 0x5A);
    modified.replace(1200, 700, std::string(700, '\xFF'));

    std::string data;
    ASSERT_EQ(MakePatchData(original, modified, data), DiffResult::Ok);
    EXPECT_EQ(data.substr(0, 13), std::string("ORVA PATCH 1\0", 13));
    EXPECT_TRUE(install::PatchFits(data.data(), static_cast<int64_t>(data.size()),
                                   static_cast<int64_t>(original.size())));

    testing_support::TempDir dir;
    const std::string path = dir.Join("game.bin");
    testing_support::WriteFile(path, original);
    std::vector<char> inverse;
    ASSERT_TRUE(install::ApplyPatch(path, data.data(), static_cast<int64_t>(data.size()), inverse));
    EXPECT_EQ(testing_support::ReadFile(path), modified);
    std::vector<char> again;
    ASSERT_TRUE(install::ApplyPatch(path, inverse.data(), static_cast<int64_t>(inverse.size()), again));
    EXPECT_EQ(testing_support::ReadFile(path), original);

    // The plan reads the same records back.
    size_t bytes = 0;
    for (const PatchRecord& r : ReadPatchRecords(data)) bytes += r.bytes.size();
    size_t expected = 0;
    for (const PatchRecord& r : DiffRecords(original, modified)) expected += r.bytes.size();
    EXPECT_EQ(bytes, expected);
}

TEST(PatchDiff, RefusesSizesThatDiffer) {
    std::string data = "left alone";
    EXPECT_EQ(MakePatchData("abc", "abcd", data), DiffResult::SizesDiffer);
    EXPECT_EQ(data, "");
}

}  // namespace
}  // namespace cli
