// Line lists: reading spreadsheet exports and JSON lines, and the whole list checked before
// anything renders with every error at its row and column.
#include "cli/render/LineList.h"
#include "cli/settings/UsageError.h"

#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace
{
class LineLists : public RenderPipeline
{
protected:
    std::string write(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    // The rows as the reader hands them on.
    std::vector<LineRow> rowsOf(const std::string& file)
    {
        std::vector<LineRow> rows;
        readLineList(file, [&](const LineRow& row) { rows.push_back(row); });
        return rows;
    }

    std::string errorOf(const std::string& name, const std::string& text)
    {
        try
        {
            rowsOf(write(name, text));
        }
        catch (const UsageError& e)
        {
            return e.what();
        }
        return "read";
    }
};

std::string cell(const LineRow& row, const std::string& column)
{
    for (const auto& c : row.cells)
        if (c.column == column)
            return c.value;
    return "(none)";
}
} // namespace

TEST_F(LineLists, SpreadsheetExportsAreReadWithTheirRowNumbers)
{
    // A byte-order mark, CRLF, a quoted field with a comma, a quote and a line break, a blank line.
    const std::vector<LineRow> list = rowsOf(write("lists/a.csv", "\xef\xbb\xbfinput,output,Preset,loudness\r\n"
                                                            "a.wav,out/a.wav,Police radio,-23\r\n"
                                                            "\r\n"
                                                            "\"b, \"\"two\"\"\nlines.wav\",,,-20\r\n"
                                                            "c.wav,c.wav\r\n"));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].row, 2u);
    EXPECT_EQ(cell(list[0], "Preset"), "Police radio");
    EXPECT_EQ(list[1].row, 4u);
    EXPECT_EQ(cell(list[1], "input"), "b, \"two\"\nlines.wav");
    EXPECT_EQ(cell(list[1], "output"), "(none)"); // empty cells are left out
    EXPECT_EQ(list[2].row, 6u);

    // A European spreadsheet's semicolons.
    const std::vector<LineRow> semicolons = rowsOf(write("b.csv", "input;loudness\na.wav;-23,5\n"));
    ASSERT_EQ(semicolons.size(), 1u);
    EXPECT_EQ(cell(semicolons[0], "loudness"), "-23,5");

    // JSON lines: numbers as their text, null as an empty cell; rows are lines.
    const std::vector<LineRow> json = rowsOf(write("c.jsonl", "{\"input\": \"a.wav\", \"loudness\": -23, \"seed\": 7}\n\n"
                                                        "{\"input\": \"b.wav\", \"preset\": null}\n"));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(cell(json[0], "loudness"), "-23");
    EXPECT_EQ(json[1].row, 3u);
    EXPECT_EQ(cell(json[1], "preset"), "(none)");
}

TEST_F(LineLists, LinesEndInLfCrlfOrCrAlone)
{
    for (const char* end : {"\n", "\r\n", "\r"})
    {
        const std::string e = end;
        const std::vector<LineRow> list = rowsOf(write("lists/ends.csv", "input;output" + e + "a.wav;x.wav" + e + e +
                                                                    "\"b" + e + "c.wav\";y.wav" + e + "d.wav;z.wav"));
        ASSERT_EQ(list.size(), 3u) << static_cast<int>(end[0]) << end[1];
        EXPECT_EQ(cell(list[0], "output"), "x.wav");
        EXPECT_EQ(cell(list[1], "input"), "b" + e + "c.wav");
        EXPECT_EQ(list[1].row, 4u);
        EXPECT_EQ(list[2].row, 6u);
        EXPECT_EQ(cell(list[2], "output"), "z.wav");
    }
}

TEST_F(LineLists, MalformedListsSayTheirRowAndColumn)
{
    EXPECT_TRUE(has(errorOf("a.csv", "input,output\na.wav,b.wav,c\n"), "row 2, column 3")) << errorOf("a.csv", "input,output\na.wav,b.wav,c\n");
    EXPECT_TRUE(has(errorOf("b.csv", "input,,output\n"), "row 1, column 2"));
    EXPECT_TRUE(has(errorOf("c.csv", "input,Input\n"), "row 1, column \"Input\": named twice"));
    EXPECT_TRUE(has(errorOf("d.csv", "input\n\"a.wav\n"), "row 2: a quoted field is not closed"));
    EXPECT_TRUE(has(errorOf("e.jsonl", "{\"input\": \"a.wav\"}\n{\"input\": \n"), "row 2: not JSON"));
    EXPECT_TRUE(has(errorOf("f.jsonl", "{\"input\": [1]}\n"), "row 1, column \"input\""));
    EXPECT_TRUE(has(errorOf("g.csv", "input,output\n"), "lists no lines"));
}

TEST_F(LineLists, TheWholeListIsCheckedBeforeAnythingRendersAndEveryErrorNamesItsRowAndColumn)
{
    writeTone("list/src/a.wav", 4800);
    const std::string list = write("list/lines.csv", "input,output,preset,loudness,seed,SIMTuning,vary,colour\n"
                                                     "src/a.wav,out/a.wav,Police radio,-23,5,,,\n"
                                                     "src/missing.wav,out/m.wav,,,,,,\n"
                                                     "src/a.wav,out/x.wav,No such look,-99,x,abc,Foo=+-1,\n"
                                                     "src/a.wav,out/a.wav,,,,,,\n"
                                                     "src/a.wav,src/a.wav,,,,,,\n"
                                                     "src/a.wav,out/y.wav,,,,,,red\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list});
    EXPECT_EQ(r.exitCode, 2);
    for (const char* expected : {"row 3, column \"input\":", "row 4, column \"preset\":", "row 4, column \"loudness\":",
                                 "row 4, column \"seed\":", "row 4, column \"SIMTuning\":", "row 4, column \"vary\":",
                                 "row 5, column \"output\": row 2 also renders to",
                                 "row 6, column \"output\": the output", "has 8 errors", "nothing was rendered"})
        EXPECT_TRUE(has(r.err, expected)) << expected << "\n" << r.err;
    // A column of the list's own is no error: it is left to the names.
    EXPECT_FALSE(has(r.err, "row 7")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("list/out")));
}

TEST_F(LineLists, ChannelsAreReadAsTheOptionReadsThem)
{
    writeTone("ch/a.wav", 4800);
    std::string text = "input,output,channels\n";
    const char* const refused[] = {"1.9", "4294967297", "-4294967295", "NaN", "inf", "0.5", "-1", "2", "1e0"};
    for (std::size_t i = 0; i < std::size(refused); ++i)
        text += "a.wav,out/" + std::to_string(i) + ".wav," + refused[i] + "\n";
    text += "a.wav,out/mono.wav,1\n";
    const ProcessResult r = runCrumlet({"render", "--lines", write("ch/lines.csv", text)});
    EXPECT_EQ(r.exitCode, 2);
    for (std::size_t i = 0; i < std::size(refused); ++i)
        EXPECT_TRUE(has(r.err, "row " + std::to_string(i + 2) + ", column \"channels\": --channels takes 1"))
            << refused[i] << "\n" << r.err;
    EXPECT_TRUE(has(r.err, "has 9 errors")) << r.err;
}

TEST_F(LineLists, PathsAreTheListsAndResultsCarryTheRow)
{
    writeTone("list/src/a.wav", 4800);
    writeTone("list/src/b.wav", 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100);
    const std::string list = write("list/lines.jsonl", "{\"input\": \"src/a.wav\", \"output\": \"out/a.wav\", \"bits\": 16}\n"
                                                       "{\"input\": \"src/b.wav\", \"name\": \"{stem}_{preset}.wav\", "
                                                       "\"preset\": \"Broken toy\", \"rate\": 48000, \"loudness\": -23}\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--out-dir", path("elsewhere"), "--json", "--jobs", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    std::map<int, nlohmann::json> byRow;
    for (std::size_t i = 0; i < 2; ++i)
        byRow[lines[i]["row"].get<int>()] = lines[i];
    // The output column's relative paths go under --out-dir.
    EXPECT_EQ(byRow[1]["output"], path("elsewhere/out/a.wav"));
    EXPECT_EQ(byRow[2]["output"], path("elsewhere/b_broken_toy.wav"));
    EXPECT_EQ(byRow[2]["sampleRate"], 48000);
    EXPECT_EQ(byRow[2]["inputSampleRate"], 44100);
    EXPECT_NEAR(byRow[2]["loudnessLufs"].get<double>(), -23.0, 0.1);
    SF_INFO info{};
    readAll(path("elsewhere/out/a.wav"), &info);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_TRUE(has(r.err, "row 2: ")) << r.err;
}

TEST_F(LineLists, CellsAreRefusedByTheirSizeFirstAndMessagesQuoteThemShort)
{
    // Every column and properties' columns: a cell past the limit is
    // refused by its size before it is read; a long cell under it that is wrong is quoted in
    // at most 64 bytes.
    writeTone("big/a.wav", 4800);
    const std::vector<std::string> columns = {"input", "output", "name", "preset", "loudness", "seed",
                                              "rate", "channels", "bits", "format", "dither", "codec",
                                              "loss", "radio", "vary", "SIMTuning", "NoiseLevel"};
    const std::string oversized(2 * 1024 * 1024, 'x'), longWrong(4000, '?');
    for (const std::string* value : {&oversized, &longWrong})
    {
        std::string text = "input,output";
        for (std::size_t c = 2; c < columns.size(); ++c)
            text += "," + columns[c];
        text += "\n";
        for (std::size_t r = 0; r < columns.size(); ++r)
        {
            std::vector<std::string> cells = {"a.wav", "out/" + std::to_string(r) + ".wav"};
            cells.resize(columns.size());
            cells[r] = *value;
            for (std::size_t c = 0; c < cells.size(); ++c)
                text += (c ? "," : "") + cells[c];
            text += "\n";
        }
        const ProcessResult r = runCrumlet({"render", "--lines", write("big/lines.csv", text)});
        EXPECT_EQ(r.exitCode, 2);
        for (std::size_t row = 0; row < columns.size(); ++row)
        {
            const std::string where = "row " + std::to_string(row + 2) + ", column \"" + columns[row] + "\": ";
            // A long output name is the name checks' to refuse.
            if (value == &oversized || (columns[row] != "output" && columns[row] != "name"))
                EXPECT_TRUE(has(r.err, where)) << where << "\n" << r.err.substr(0, 2000);
            if (value == &oversized)
                EXPECT_TRUE(has(r.err, where + "2097152 bytes; a cell holds at most 4096")) << r.err.substr(0, 2000);
        }
        EXPECT_FALSE(has(r.err, std::string(65, (*value)[0]))) << r.err.substr(0, 2000);
    }
    EXPECT_FALSE(std::filesystem::exists(path("big/out")));

    // A header past the limit, and one under it that names no column.
    for (std::size_t size : {5000, 4000})
    {
        const ProcessResult r =
            runCrumlet({"render", "--lines", write("big/header.csv", "input," + std::string(size, 'h') + "\na.wav,1\n")});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_FALSE(has(r.err, std::string(65, 'h'))) << r.err.substr(0, 2000);
    }
}
