#include "install/TextStep.h"

#include <vector>

#include "os/Os.h"
#include "package/EntryNames.h"
#include "package/Script.h"

namespace install {

namespace {

// Lines split at line feeds; a carriage return directly before the line feed is dropped, as
// text-mode reading does. A last line without line feed counts; an end after a line feed
// adds no empty line.
std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return lines;
}

}  // namespace

void DeleteGameFile(const std::string& gameFolder, const std::string& name) {
    if (package::StaysInside(name)) os::Current().RemoveFile(gameFolder + "\\" + name);
}

bool DoTextFile(Installer& installer, const std::string& gameFolder) {
    package::Tokenizer& tokens = installer.tokenizer;
    const std::string entry = tokens.NextToken();
    const std::string file = tokens.NextToken();
    std::vector<char> block;
    int64_t size = 0;
    if (!package::StaysInside(file) || !installer.reader.ExtractToMemory(entry, block, size, true)) {
        return false;
    }
    const std::string target = gameFolder + "\\" + file;
    std::string text;
    if (!os::ReadWholeFile(target, text)) return false;

    const int32_t line = package::ReadNumber(tokens.NextToken());
    const int32_t count = tokens.HasMoreTokens() ? package::ReadNumber(tokens.NextToken()) : 1;
    const std::vector<std::string_view> targetLines = SplitTextLines(text);
    const std::vector<std::string_view> entryLines =
        SplitTextLines(block.empty() ? std::string_view() : std::string_view(block.data()));
    const size_t before = line > 1 ? static_cast<size_t>(line) - 1 : 0;

    // A range that the file or the entry cannot fill, or an empty one, changes nothing and
    // records nothing: there would be no exact way back.
    if (count <= 0 || targetLines.size() < before + static_cast<size_t>(count) ||
        entryLines.size() < static_cast<size_t>(count)) {
        return false;
    }

    std::string content;
    std::string replaced;
    for (size_t i = 0; i < before; ++i) (content += targetLines[i]) += "\r\n";
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        (content += entryLines[i]) += "\r\n";
        (replaced += targetLines[before + i]) += "\r\n";
    }
    for (size_t i = before + static_cast<size_t>(count); i < targetLines.size(); ++i) {
        (content += targetLines[i]) += "\r\n";
    }

    if (!installer.uninstallMode) {
        std::string name = installer.ReserveBackupEntry(entry);
        // The replaced lines go into the backup archive before the file changes; without
        // them the change is not made.
        if (!replaced.empty() &&
            !installer.writer.AddMemory(name, replaced.data(), static_cast<int64_t>(replaced.size()))) {
            return false;
        }
        std::string undo = "TextFile ";
        undo.append(name).append(" ").append(file).append(" ").append(std::to_string(line));
        if (count > 1) undo.append(" ").append(std::to_string(count));
        installer.walkUndo.push_back(undo.append("\r\n"));
        installer.walkUndoTargets.push_back(file);
    }
    os::ReplaceWholeFile(target, content);
    return true;
}

void DoDeleteFile(Installer& installer, View& view, const std::string& gameFolder) {
    view.SetStatus(kStatusDeleting);
    DeleteGameFile(gameFolder, installer.tokenizer.NextToken());
}

}  // namespace install
