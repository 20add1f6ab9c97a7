#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "package/Script.h"
#include "platform/PlatformTable.h"

using package::Keywords;
using package::ReadNumber;
using package::ScriptLines;
using package::Tokenizer;

namespace {

std::vector<std::string> Words(const std::string& line) {
    Tokenizer tokenizer;
    tokenizer.Split(line);
    std::vector<std::string> words;
    while (tokenizer.HasMoreTokens()) words.push_back(tokenizer.NextToken());
    return words;
}

std::vector<std::string> Lines(std::string_view text) {
    ScriptLines lines(text);
    std::vector<std::string> out;
    std::string line;
    while (lines.Next(line)) out.push_back(line);
    return out;
}

using WordList = std::vector<std::string>;

TEST(Tokenizer, RunsOfSpacesTabsAndApostrophesSeparateWords) {
    struct Case {
        std::string line;
        WordList words;
    } cases[] = {
        {"game  'xwa'", {"game", "xwa"}},
        {"patchfile ship.t95\tships.lst", {"patchfile", "ship.t95", "ships.lst"}},
        {"  \t' '\t", {}},
        {"", {}},
        {"'my file'.txt", {"my", "file", ".txt"}},  // apostrophes do not group
        {"textfile a b 3 2   ", {"textfile", "a", "b", "3", "2"}},
        {"one", {"one"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Words(c.line), c.words) << c.line;
}

TEST(Tokenizer, AnswersEmptyOnceTheLineIsUsedUpAndForeverAfter) {
    Tokenizer tokenizer;
    EXPECT_EQ(tokenizer.Delimiters(), std::string(" '\t'"));
    EXPECT_EQ(tokenizer.NextToken(), "empty") << "nothing split yet";
    tokenizer.Split("slot 12 x");
    EXPECT_EQ(tokenizer.NextToken(), "slot");
    EXPECT_EQ(tokenizer.NextToken(), "12");
    EXPECT_TRUE(tokenizer.HasMoreTokens());
    EXPECT_EQ(tokenizer.NextToken(), "x");
    EXPECT_FALSE(tokenizer.HasMoreTokens());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tokenizer.NextToken(), "empty");
    EXPECT_FALSE(tokenizer.HasMoreTokens());

    tokenizer.Split("game", " ");  // a new split starts again at the first word
    EXPECT_EQ(tokenizer.NextToken(), "game");
    tokenizer.Split(" \t ");
    EXPECT_FALSE(tokenizer.HasMoreTokens());
    EXPECT_EQ(tokenizer.NextToken(), "empty");
}

TEST(ReadNumber, ReadsASignAndLeadingDigitsAndSaturates) {
    struct Case {
        const char* word;
        int32_t value;
    } cases[] = {
        {"12", 12},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-3", -3},
        {"+7", 7},
        {"-", 0},
        {"--3", 0},
        {"3-4", 3},
        {"007", 7},
        {" 5", 0},  // words never start with a delimiter; anything else is no number
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999x", INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadNumber(c.word), c.value) << c.word;
}

TEST(Keywords, TablesHoldTheCommandsAndTheGames) {
    Keywords keywords;
    const char* commands[] = {"none",      "game",     "slot",       "uninstall",
                              "copyfile", "patchfile", "deletefile", "textfile"};
    for (int value = 0; value < 8; ++value) EXPECT_EQ(keywords.Command(commands[value]), value);
    EXPECT_EQ(keywords.commands.size(), 8u);
    EXPECT_EQ(keywords.Command("copy"), 0);
    EXPECT_EQ(keywords.Command("empty"), 0) << "the word of a used-up line is no command";

    const char* games[] = {"", "tiecd", "tie", "xvt", "bop", "xwa"};
    const char* names[] = {"", "TIECD", "TIE", "XVT", "BOP", "XWA"};
    for (int id = 1; id <= 5; ++id) {
        EXPECT_EQ(keywords.Platform(games[id]), id);
        EXPECT_EQ(keywords.PlatformName(id), names[id]);
        EXPECT_EQ(keywords.PlatformName(id), platform::PlatformTable::UpperName(id));
    }
    EXPECT_EQ(keywords.Platform("empty"), 0);
    EXPECT_EQ(keywords.Platform("xwing"), 0);
    EXPECT_EQ(keywords.PlatformName(0), "");
    EXPECT_EQ(keywords.PlatformName(6), "");
}

TEST(ScriptLines, LineEndsDoNotChangeTheLines) {
    const WordList expected = {"game xwa", "slot 12", "patchfile ship.t95 ships.lst"};
    const char* texts[] = {
        "Game XWA\r\nslot 12\r\nPatchFile Ship.T95 Ships.LST\r\n",
        "Game XWA\nslot 12\nPatchFile Ship.T95 Ships.LST\n",
        "Game XWA\nslot 12\r\nPatchFile Ship.T95 Ships.LST",
        "\n\nGame XWA\n\n\nslot 12\nPatchFile Ship.T95 Ships.LST\n\n",
    };
    for (const char* text : texts) EXPECT_EQ(Lines(text), expected) << text;
}

TEST(ScriptLines, OnlyLettersAToZAreLoweredAndOneCarriageReturnGoes) {
    EXPECT_EQ(Lines("ABC xyz \xC4\xD6 [@]\r\r\n"), WordList{"abc xyz \xC4\xD6 [@]\r"});
    // A line of one carriage return is handed out empty: it has no words, so no command.
    EXPECT_EQ(Lines("a\n\r\nb"), (WordList{"a", "", "b"}));
    EXPECT_EQ(Lines(" \t \n' '\n"), (WordList{" \t ", "' '"}));
    EXPECT_EQ(Lines(""), WordList{});
    EXPECT_EQ(Lines("\n\n"), WordList{});
}

TEST(ScriptLines, AZeroByteEndsTheScript) {
    std::string text("game xwa\nslot 3\0slot 9\ndeletefile x\n", 35);
    EXPECT_EQ(Lines(text), (WordList{"game xwa", "slot 3"}));
    EXPECT_EQ(Lines(std::string("\0game xwa\n", 10)), WordList{});
}

// The three ways of writing the game line select the same platform once a pass has read the
// line, split it and looked the words up.
TEST(ScriptLines, EveryFormOfTheGameLineSelectsTheSameGame) {
    Keywords keywords;
    for (const char* text : {"Game XWA", "game xwa", "GAME  'xwa'\r\n", "\tgame\t'XWA"}) {
        ScriptLines lines(text);
        std::string line;
        ASSERT_TRUE(lines.Next(line)) << text;
        Tokenizer tokenizer;
        tokenizer.Split(line);
        EXPECT_EQ(keywords.Command(tokenizer.NextToken()), package::kGame) << text;
        EXPECT_EQ(keywords.Platform(tokenizer.NextToken()), 5) << text;
    }
}

// Scripts have no size limit; a pass over a huge one must stay linear.
TEST(ScriptLines, LargeScriptsAreReadInOnePass) {
    std::string many;
    for (int i = 0; i < 1000000; ++i) many += "Slot 7\r\n";
    ScriptLines lines(many);
    std::string line;
    int count = 0;
    while (lines.Next(line)) {
        if (line != "slot 7") break;
        ++count;
    }
    EXPECT_EQ(count, 1000000);

    std::string longLine;
    for (int i = 0; i < 500000; ++i) longLine += "Word ";
    WordList read = Lines(longLine);
    ASSERT_EQ(read.size(), 1u);
    Tokenizer tokenizer;
    tokenizer.Split(read[0]);
    int words = 0;
    while (tokenizer.HasMoreTokens()) words += tokenizer.NextToken() == "word";
    EXPECT_EQ(words, 500000);
}

}  // namespace
