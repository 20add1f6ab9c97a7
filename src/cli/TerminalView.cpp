#include "cli/TerminalView.h"

#include <algorithm>

namespace cli {

namespace {

constexpr int kBarWidth = 30;
constexpr size_t kStatusWidth = 18;

}  // namespace

std::string ProgressLine(const std::string& status, int position) {
    const int shown = std::clamp(position, 0, 100);
    const int filled = shown * kBarWidth / 100;
    std::string line = status;
    if (line.size() < kStatusWidth) line.resize(kStatusWidth, ' ');
    line += " [" + std::string(static_cast<size_t>(filled), '#') +
            std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
    std::string percent = std::to_string(shown) + "%";
    line += std::string(4 - std::min<size_t>(4, percent.size()), ' ') + percent;
    return line;
}

void TerminalView::SetStatus(const std::string& text) {
    status = text;
    Draw();
}

void TerminalView::SetProgress(int value) {
    position = value;
    Draw();
}

void TerminalView::Draw() {
    if (!live) return;
    std::string line = ProgressLine(status, position);
    if (line == drawn) return;  // the walks tick often; the screen needs no repeat
    std::string padding(drawn.size() > line.size() ? drawn.size() - line.size() : 0, ' ');
    std::fprintf(out, "\r%s%s", line.c_str(), padding.c_str());
    std::fflush(out);
    drawn = line;
}

void TerminalView::Finish() {
    if (!live || drawn.empty()) return;
    std::fprintf(out, "\r%s\r", std::string(drawn.size(), ' ').c_str());
    std::fflush(out);
    drawn.clear();
}

}  // namespace cli
