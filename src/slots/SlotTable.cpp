// The per-game slot files. A file is a list of records "<number> <package name>" with CR LF
// line ends, in claim order. Files may have been edited by hand, so reading accepts bare LF
// line ends, a last line without line end, blank lines and lines that are not records at all;
// a release keeps every line it cannot read, so that nobody's claim is lost by it.
#include "slots/SlotTable.h"

#include <limits>
#include <vector>

#include "os/Os.h"

namespace slots {

namespace {

constexpr char kLineEnd[] = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One line of a slot file, its line end removed.
struct Line {
    enum class Kind { Empty, Record, Unreadable } kind = Kind::Empty;
    int32_t slot = 0;
    std::string rest;  // Record: everything after the number, the separating blank included
    std::string text;  // Unreadable: the line as it stands in the file
};

// A number too long for 32 bits stands for the nearest value that fits, as the record of a
// slot no package can claim; it must not overflow on the way.
int32_t SaturatedNumber(bool negative, std::string_view digits) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const int64_t limit = negative ? kMax + 1 : kMax;
    int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

Line ParseLine(std::string_view raw) {
    Line line;
    size_t pos = 0;
    while (pos < raw.size() && IsBlank(raw[pos])) ++pos;
    if (pos == raw.size()) return line;

    bool negative = false;
    if (raw[pos] == '+' || raw[pos] == '-') {
        negative = raw[pos] == '-';
        ++pos;
    }
    size_t digits = pos;
    while (pos < raw.size() && IsDigit(raw[pos])) ++pos;
    if (pos == digits) {
        line.kind = Line::Kind::Unreadable;
        line.text = std::string(raw);
        return line;
    }
    line.kind = Line::Kind::Record;
    line.slot = SaturatedNumber(negative, raw.substr(digits, pos - digits));
    line.rest = std::string(raw.substr(pos));
    return line;
}

// LF ends a line and a CR directly before it belongs to the line end; a last line without
// line end counts like any other.
std::vector<Line> ParseFile(const std::string& data) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < data.size()) {
        size_t lf = data.find('\n', pos);
        size_t end = lf == std::string::npos ? data.size() : lf;
        if (lf != std::string::npos && end > pos && data[end - 1] == '\r') --end;
        lines.push_back(ParseLine(std::string_view(data).substr(pos, end - pos)));
        pos = lf == std::string::npos ? data.size() : lf + 1;
    }
    return lines;
}

bool ReadLines(const std::string& path, std::vector<Line>& lines) {
    std::string data;
    if (path.empty() || !os::ReadWholeFile(path, data)) return false;
    lines = ParseFile(data);
    return true;
}

// Whether the file ends inside a line (a hand-edited file may): a record appended to it would
// then be glued to that line and lost in it.
bool EndsInsideLine(const std::string& path) {
    auto file = os::Current().Open(path, os::OpenMode::Read);
    if (!file) return false;
    int64_t size = file->Size();
    char last = '\n';
    if (size > 0 && file->ReadAt(size - 1, &last, 1) != 1) last = '\n';
    file->Close();
    return last != '\n';
}

}  // namespace

std::string SlotTable::PathOf(platform::PlatformId game) const {
    if (!platform::PlatformTable::IsGame(game)) return {};
    return settings.SettingsFolder() + std::string(platform::PlatformTable::Row(game).slotFile);
}

bool SlotTable::FindOwner(platform::PlatformId game, int32_t slot, std::string& owner) const {
    std::vector<Line> lines;
    if (!ReadLines(PathOf(game), lines)) return false;
    for (const Line& line : lines) {
        if (line.kind != Line::Kind::Record || line.slot != slot) continue;
        owner = !line.rest.empty() && line.rest[0] == ' ' ? line.rest.substr(1) : line.rest;
        return true;
    }
    return false;
}

bool SlotTable::Claim(platform::PlatformId game, int32_t slot,
                      const std::string& packageName) const {
    const std::string path = PathOf(game);
    if (path.empty()) return false;
    // A line feed in the name would split the record and forge a second one.
    if (packageName.find('\n') != std::string::npos) return false;
    // On a new account the settings folder may not exist yet; without it no slot could
    // ever be claimed.
    os::EnsureFolder(settings.SettingsFolder());

    std::string record;
    if (EndsInsideLine(path)) record = kLineEnd;
    record += std::to_string(slot) + " " + packageName + kLineEnd;

    auto file = os::Current().Open(path, os::OpenMode::Append);
    if (!file) return false;
    // A record that did not reach the disk must not let the install go ahead: the slot would
    // look free to the next package.
    bool written = file->Write(record.data(), static_cast<int64_t>(record.size()));
    written = file->Flush() && written;
    return file->Close() && written;
}

bool SlotTable::Release(platform::PlatformId game, int32_t slot) const {
    const std::string path = PathOf(game);
    std::vector<Line> lines;
    if (!ReadLines(path, lines)) return false;

    std::string content;
    for (const Line& line : lines) {
        switch (line.kind) {
            case Line::Kind::Empty:
                break;
            case Line::Kind::Record:
                if (line.slot != slot) content += std::to_string(line.slot) + line.rest + kLineEnd;
                break;
            case Line::Kind::Unreadable:
                content += line.text + kLineEnd;
                break;
        }
    }
    // The list is written beside the file and moved over it, so a crash or a full disk in
    // the middle leaves the old records rather than a cut-off list. When it cannot be stored
    // the claim is still on disk; saying it was released would let the package go while its
    // slot stays taken for good.
    return os::ReplaceWholeFile(path, content);
}

void SlotTable::Reset(platform::PlatformId game) const {
    const std::string path = PathOf(game);
    if (!path.empty()) os::Current().RemoveFile(path);
}

}  // namespace slots
