// Patch data applied to a file, and the inverse patch that undoes it.
#include <gtest/gtest.h>

#include "InstallFixture.h"
#include "install/PatchData.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace install_testing {
namespace {

std::string Apply(const std::string& file, const std::string& patch, bool& ok) {
    std::vector<char> inverse;
    ok = install::ApplyPatch(file, patch.data(), static_cast<int64_t>(patch.size()), inverse);
    return std::string(inverse.begin(), inverse.end());
}

TEST(ApplyPatch, InverseHoldsTheOverwrittenBytes) {
    testing_support::TempDir dir;
    const std::string file = dir.Join("f.bin");
    struct Case {
        const char* title;
        std::string patch;
        std::string after;
        std::string inverse;
    } cases[] = {
        {"three bytes at 0", MakePatch({{0, "xyz"}}), "xyz3456789", MakePatch({{0, "012"}})},
        {"records in any order", MakePatch({{7, "Q"}, {1, "W"}}), "0W23456Q89", MakePatch({{7, "7"}, {1, "1"}})},
        {"no records", MakePatch({{1, "zz"}}, 0, true),
         "0123456789", MakePatch({}, 0, true) + std::string(7, '\0')},
        {"count with the high bit set", MakePatch({{1, "zz"}}, static_cast<int16_t>(0x8000), true),
         "0123456789", MakePatch({}, static_cast<int16_t>(0x8000), true) + std::string(7, '\0')},
        {"a record of no bytes", MakePatch({{5, ""}}), "0123456789", MakePatch({{5, ""}})},
        {"bytes beyond the last record are zero", MakePatch({{2, "a"}}) + "tail",
         "01a3456789", MakePatch({{2, "2"}}) + std::string(4, '\0')},
        {"overlapping records: later wins, inverse last-first", MakePatch({{2, "aaa"}, {3, "b"}}),
         "01aba56789", MakePatch({{3, "a"}, {2, "234"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        WriteFile(file, "0123456789");
        bool ok = false;
        std::string inverse = Apply(file, c.patch, ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(ReadFile(file), c.after);
        EXPECT_EQ(inverse, c.inverse);
        EXPECT_EQ(inverse.size(), c.patch.size());
        Apply(file, inverse, ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(ReadFile(file), "0123456789") << "the inverse undoes the patch";
    }
}

TEST(ApplyPatch, RefusesWhatItCannotUndo) {
    testing_support::TempDir dir;
    const std::string file = dir.Join("f.bin");
    const std::string good = MakePatch({{1, "ab"}});
    struct Case {
        const char* title;
        std::string patch;
    } cases[] = {
        {"shorter than the head", "short"},
        {"record past the end of the data", good.substr(0, good.size() - 1)},
        {"record count beyond the data", MakePatch({{1, "ab"}}, 2, true)},
        {"record beyond the end of the file", MakePatch({{9, "ab"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        WriteFile(file, "0123456789");
        bool ok = true;
        Apply(file, c.patch, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(ReadFile(file), "0123456789");
        EXPECT_FALSE(install::PatchFits(c.patch.data(), static_cast<int64_t>(c.patch.size()), 10));
    }
    bool ok = true;
    Apply(dir.Join("missing.bin"), good, ok);
    EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace install_testing
