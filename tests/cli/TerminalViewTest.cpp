// The progress line on a terminal, and silence without one.
#include <gtest/gtest.h>

#include <cstdio>

#include "cli/TerminalView.h"

namespace cli {
namespace {

std::string Drawn(bool live, void (*work)(TerminalView&)) {
    FILE* f = std::tmpfile();
    if (!f) return "<no file>";
    TerminalView view(f, live);
    work(view);
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

void Install(TerminalView& view) {
    view.SetStatus("Copying files...");
    view.SetProgress(50);
    view.SetProgress(50);
    install::ProgressTick(view);
    view.SetProgress(0);
    view.SetStatus("Idle");
    view.Finish();
}

TEST(TerminalView, ProgressLineShowsStatusBarAndPercent) {
    EXPECT_EQ(ProgressLine("Copying files...", 50), "Copying files...   [###############...............]  50%");
    EXPECT_EQ(ProgressLine("Idle", 0), "Idle               [..............................]   0%");
    EXPECT_EQ(ProgressLine("Idle", 130), ProgressLine("Idle", 100)) << "out of range is clamped";
}

TEST(TerminalView, RedrawsInPlaceOnATerminalAndIsSilentWithout) {
    const std::string live = Drawn(true, Install);
    EXPECT_EQ(live.find("\r" + ProgressLine("Copying files...", 50)), live.rfind("\r" + ProgressLine("Copying files...", 50)))
        << "an unchanged line is not drawn again";
    EXPECT_NE(live.find(ProgressLine("Copying files...", 51)), std::string::npos);
    EXPECT_EQ(live.find('\n'), std::string::npos) << "one line, redrawn with carriage returns";
    EXPECT_EQ(live.substr(live.size() - 1), "\r") << "the line is cleared at the end";
    EXPECT_EQ(Drawn(false, Install), "");
}

}  // namespace
}  // namespace cli
