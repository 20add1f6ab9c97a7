// The engine's view on a console: the status text and a progress bar on one line of standard
// error, redrawn in place. Without a terminal nothing is drawn, so scripts see only errors.
#pragma once

#include <cstdio>
#include <string>

#include "install/View.h"

namespace cli {

// The line drawn for a status and a position from 0 to 100, without line end.
std::string ProgressLine(const std::string& status, int position);

class TerminalView : public install::View {
public:
    TerminalView(FILE* out, bool live) : out(out), live(live) {}

    void SetStatus(const std::string& text) override;
    int GetProgress() override { return position; }
    void SetProgress(int value) override;
    // The engine runs on this thread alone; there is nothing to pump.
    void Pump() override {}
    // A console has no banner; the picture counts as shown.
    bool ShowBanner(const std::string&) override { return true; }
    // Clears the progress line once the work is over.
    void Finish();

private:
    void Draw();

    FILE* out;
    bool live;
    std::string status;
    int position = 0;
    std::string drawn;  // the line on screen, empty when none is
};

}  // namespace cli
