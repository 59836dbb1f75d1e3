// A dialogue editor's line list as the writers' spreadsheet gives it: someone else's headers
// mapped onto the tool's columns, the sheet's looks mapped onto presets, columns of its own
// in the output names, numbers as people type them, a Windows spreadsheet's encoding, and
// the good rows rendered when some are bad.
#include "CrumletProcess.h"
#include "RenderPipelineFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace
{
using SpreadsheetLines = RenderPipeline;

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}
} // namespace

TEST_F(SpreadsheetLines, HeaderProblemsAreReportedOnceByColumnAndDataErrorsByRow)
{
    writeTone("h/a.wav", 4800);
    std::string text = "input,output,presett,loudnes,Character\n";
    for (int r = 0; r < 150; ++r)
        text += "a.wav,out/" + std::to_string(r) + ".wav,Police radio,-23,Ana\n";
    const ProcessResult r = runCrumlet({"render", "--lines", writeText("h/lines.csv", text)});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(count(r.err, "presett"), 1u) << r.err.substr(0, 3000);
    EXPECT_TRUE(has(r.err, "column 3 \"presett\": no such column; did you mean \"preset\"?")) << r.err.substr(0, 3000);
    EXPECT_TRUE(has(r.err, "column 4 \"loudnes\": no such column; did you mean \"loudness\"?")) << r.err.substr(0, 3000);
    EXPECT_LT(count(r.err, "\n"), 10u) << r.err.substr(0, 3000);
    EXPECT_FALSE(has(r.err, "column \"Character\"")) << r.err.substr(0, 3000);
    EXPECT_FALSE(fs::exists(path("h/out")));

    // Data errors stay at their row and column, beside the header's.
    const ProcessResult data = runCrumlet(
        {"render", "--lines", writeText("h/data.csv", "input,output,loudness,presett\na.wav,out/a.wav,-99,x\nb.wav,out/b.wav,-23,x\n")});
    EXPECT_EQ(data.exitCode, 2);
    EXPECT_TRUE(has(data.err, "row 2, column \"loudness\":")) << data.err;
    EXPECT_TRUE(has(data.err, "row 3, column \"input\":")) << data.err;
    EXPECT_EQ(count(data.err, "presett"), 1u) << data.err;

    // A list without an input column says so once, not at every row.
    const ProcessResult none = runCrumlet({"render", "--lines", writeText("h/none.csv", "Source,output\na.wav,x.wav\na.wav,y.wav\n")});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(count(none.err, "no column gives the input"), 1u) << none.err;
    EXPECT_EQ(count(none.err, "crumlet render: "), 2u) << none.err;
}

TEST_F(SpreadsheetLines, ColumnsOfTheSheetsOwnNameTheOutputs)
{
    writeTone("x/a.wav", 4800);
    const std::string list = writeText("x/lines.csv", "Line,Character,input,Look\n"
                                                  "7,Ana María,a.wav,Bad mobile line\n"
                                                  "12,Bo,a.wav,PA in a train station\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--out-dir", path("out"), "--name",
                                        "{look}/{Character}_{Line:3}_{look}.wav", "--jobs", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("out/bad_mobile_line/ana_mar_a_007_bad_mobile_line.wav"))) << r.err;
    EXPECT_TRUE(fs::exists(path("out/pa_in_a_train_station/bo_012_pa_in_a_train_station.wav"))) << r.err;
    EXPECT_EQ(count(r.err, "note: "), 1u) << r.err;
    EXPECT_TRUE(has(r.err, "\"Line\", \"Character\", \"Look\"")) << r.err;

    // A field no column gives is refused once; a cell that {N:3} cannot pad, or an empty one,
    // at its row.
    const ProcessResult field = runCrumlet(
        {"render", "--lines", list, "--out-dir", path("out2"), "--name", "{Mood}_{Line}.wav"});
    EXPECT_EQ(field.exitCode, 2);
    EXPECT_EQ(count(field.err, "{Mood}"), 1u) << field.err;
    const ProcessResult cells = runCrumlet(
        {"render", "--lines", writeText("x/bad.csv", "Line,Character,input\n7a,Ana,a.wav\n8,,a.wav\n"), "--out-dir",
         path("out3"), "--name", "{Character}_{Line:3}.wav"});
    EXPECT_EQ(cells.exitCode, 2);
    EXPECT_TRUE(has(cells.err, "row 2, column \"Line\":")) << cells.err;
    EXPECT_TRUE(has(cells.err, "row 3, column \"Character\":")) << cells.err;
    EXPECT_FALSE(fs::exists(path("out3")));
}

TEST_F(SpreadsheetLines, SomeoneElsesHeadersAndLooksAreMapped)
{
    writeTone("m/src/a.wav", 4800);
    writeText("m/maps/station.json", "{\"EQGain\": 3}");
    writeText("m/maps/looks.csv", "look,preset\nbad mobile line,Bad mobile line\nPA in a train station,station.json\n");
    writeText("m/maps/looks.json", "{\"bad mobile line\": \"Bad mobile line\", \"PA in a train station\": \"station.json\"}");
    const std::string list = writeText("m/lines.csv", "Source file,Look,Take\n"
                                                  "src/a.wav, BAD MOBILE LINE ,1\n"
                                                  "src/a.wav,pa in a train station,2\n"
                                                  "src/a.wav,Police radio,3\n");
    const std::string inlineMap = "bad mobile line=Bad mobile line,PA in a train station=" + path("m/maps/station.json");
    for (const std::string& map : {path("m/maps/looks.csv"), path("m/maps/looks.json"), inlineMap})
    {
        fs::remove_all(path("out"));
        const ProcessResult r = runCrumlet({"render", "--lines", list, "--columns", "Source file=input,Look=preset",
                                            "--map-preset", map, "--out-dir", path("out"), "--name",
                                            "{preset}/{Take}.wav", "--jobs", "1"});
        ASSERT_EQ(r.exitCode, 0) << map << "\n" << r.err;
        EXPECT_TRUE(fs::exists(path("out/bad_mobile_line/1.wav"))) << map << "\n" << r.err;
        EXPECT_TRUE(fs::exists(path("out/station/2.wav"))) << map << "\n" << r.err;
        EXPECT_TRUE(fs::exists(path("out/police_radio/3.wav"))) << map << "\n" << r.err;
    }

    // A look neither mapped nor a preset is its row's error, with the nearest.
    const ProcessResult r = runCrumlet(
        {"render", "--lines", writeText("m/typo.csv", "Source file,Look\nsrc/a.wav,bad mobil line\n"), "--columns",
         "Source file=input,Look=preset", "--map-preset", path("m/maps/looks.csv"), "--out-dir", path("typo")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(has(r.err, "row 2, column \"Look\":")) << r.err;
    EXPECT_TRUE(has(r.err, "did you mean \"bad mobile line\"?")) << r.err;

    // A map naming a header the sheet lacks, or a column the tool lacks, is refused.
    const ProcessResult header = runCrumlet({"render", "--lines", list, "--columns", "Source fil=input,Look=preset",
                                             "--out-dir", path("h")});
    EXPECT_EQ(header.exitCode, 2);
    EXPECT_TRUE(has(header.err, "did you mean \"Source file\"?")) << header.err;
    const ProcessResult target = runCrumlet({"render", "--lines", list, "--columns", "Source file=inptu,Look=preset",
                                             "--out-dir", path("h")});
    EXPECT_EQ(target.exitCode, 2);
    EXPECT_TRUE(has(target.err, "did you mean \"input\"?")) << target.err;
}

TEST_F(SpreadsheetLines, KeepGoingRendersTheGoodRowsThenListsTheBad)
{
    writeTone("k/a.wav", 4800);
    const std::string list =
        writeText("k/lines.csv", "input,output,loudness\na.wav,out/1.wav,\nmissing.wav,out/2.wav,\na.wav,out/3.wav,-99\na.wav,out/4.wav,\n");
    const ProcessResult refused = runCrumlet({"render", "--lines", list});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_FALSE(fs::exists(path("k/out")));

    const ProcessResult r = runCrumlet({"render", "--lines", list, "--keep-going", "--jobs", "1"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(fs::exists(path("k/out/1.wav"))) << r.err;
    EXPECT_TRUE(fs::exists(path("k/out/4.wav"))) << r.err;
    EXPECT_FALSE(fs::exists(path("k/out/2.wav")));
    EXPECT_FALSE(fs::exists(path("k/out/3.wav")));
    // The bad rows are listed after the renders.
    const std::size_t last = r.err.rfind("out/4.wav");
    ASSERT_NE(last, std::string::npos) << r.err;
    EXPECT_NE(r.err.find("row 3, column \"input\":", last), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("row 4, column \"loudness\":", last), std::string::npos) << r.err;
}

TEST_F(SpreadsheetLines, AnOutputColumnLandsUnderOutDir)
{
    writeTone("o/a.wav", 4800);
    const std::string list = writeText("o/lines.csv", "input,output\na.wav,sub/a.wav\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--out-dir", path("dir")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("dir/sub/a.wav"))) << r.err;
    EXPECT_FALSE(fs::exists(path("o/sub")));
    // Without --out-dir, beside the list.
    ASSERT_EQ(runCrumlet({"render", "--lines", list}).exitCode, 0);
    EXPECT_TRUE(fs::exists(path("o/sub/a.wav")));
    // Held inside --out-dir as names are.
    const ProcessResult up = runCrumlet(
        {"render", "--lines", writeText("o/up.csv", "input,output\na.wav,../up.wav\n"), "--out-dir", path("dir")});
    EXPECT_EQ(up.exitCode, 2);
    EXPECT_TRUE(has(up.err, "row 2, column \"output\": the name \"../up.wav\" has a \"..\" part")) << up.err;
    EXPECT_FALSE(fs::exists(path("up.wav")));
}

TEST_F(SpreadsheetLines, NumbersAreReadAsPeopleTypeThem)
{
    writeTone("n/a.wav", 24000);
    // U+2212 minus, an en dash, a unit with and without a space, a decimal comma in a
    // semicolon list; a property and a rate alike.
    const std::string list = writeText("n/lines.csv", "input;output;loudness;EQGain;rate\n"
                                                  "a.wav;out/1.wav;\xe2\x88\x92" "23;\xe2\x88\x92" "3;44,1 kHz\n"
                                                  "a.wav;out/2.wav;\xe2\x80\x93" "20;\xe2\x80\x93" "2,5 dB;48000\n"
                                                  "a.wav;out/3.wav;-23 LUFS;-1;48k\n"
                                                  "a.wav;out/4.wav;-23LUFS;1;48000\n"
                                                  "a.wav;out/5.wav;-18,5;0;48000\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--json", "--jobs", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::map<int, nlohmann::json> byRow;
    for (const auto& line : jsonLines(r.out))
        if (line.contains("row"))
            byRow[line["row"].get<int>()] = line;
    ASSERT_EQ(byRow.size(), 5u) << r.out;
    const double expected[] = {-23, -20, -23, -23, -18.5};
    for (int row = 2; row <= 6; ++row)
        EXPECT_NEAR(byRow[row]["loudnessLufs"].get<double>(), expected[row - 2], 0.1) << row;
    EXPECT_EQ(byRow[2]["sampleRate"], 44100);

    // On the command line too.
    for (const char* loudness : {"-23 LUFS", "\xe2\x88\x92" "23", "-23LUFS"})
    {
        const ProcessResult one = runCrumlet({"render", "--in", path("n/a.wav"), "--out", path("n/cl.wav"), "--force",
                                              std::string("--loudness=") + loudness, "--json"});
        ASSERT_EQ(one.exitCode, 0) << loudness << "\n" << one.err;
        EXPECT_NEAR(jsonLines(one.out).at(0)["loudnessLufs"].get<double>(), -23.0, 0.1) << loudness;
    }

    // What still fails names the character that looks like one taken.
    const ProcessResult dash = runCrumlet({"render", "--in", path("n/a.wav"), "--out", path("n/x.wav"),
                                           "--loudness=\xe2\x80\x94" "23"});
    EXPECT_EQ(dash.exitCode, 2);
    EXPECT_TRUE(has(dash.err, "'\xe2\x80\x94' (U+2014)")) << dash.err;
    const ProcessResult cell = runCrumlet(
        {"render", "--lines", writeText("n/dash.csv", "input,output,EQGain\na.wav,out/d.wav,\xe2\x80\x94" "3\n")});
    EXPECT_EQ(cell.exitCode, 2);
    EXPECT_TRUE(has(cell.err, "row 2, column \"EQGain\":")) << cell.err;
    EXPECT_TRUE(has(cell.err, "(U+2014)")) << cell.err;
    // A decimal comma in a comma list is a comma.
    const ProcessResult comma = runCrumlet(
        {"render", "--lines", writeText("n/comma.csv", "input,output,loudness\na.wav,out/c.wav,\"-23,5\"\n")});
    EXPECT_EQ(comma.exitCode, 2);
    EXPECT_TRUE(has(comma.err, "row 2, column \"loudness\":")) << comma.err;
}

TEST_F(SpreadsheetLines, AListThatIsNotUtf8IsReadAsWindows1252)
{
    writeTone("w/caf\xc3\xa9.wav", 4800);
    // "café" and "Zoë" as a Windows spreadsheet saves them.
    const std::string list = writeText("w/lines.csv", "input,output,Character\ncaf\xe9.wav,out/Zo\xeb.wav,Zo\xeb\n");
    const ProcessResult r = runCrumlet({"render", "--lines", list});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("w/out/Zo\xc3\xab.wav"))) << r.err;
    EXPECT_EQ(count(r.err, "read as Windows-1252"), 1u) << r.err;
    for (const auto& name : filesIn(path("w")))
        EXPECT_EQ(name.find('\xeb'), std::string::npos) << name;
}

// The writers' sheet in one command: 150 rows under its own headers, sources of every rate
// and layout (some shorter than a loudness block), looks mapped from a file, names from the
// sheet's columns, delivered at 48 kHz, 16 bits, -23 LUFS.
TEST_F(SpreadsheetLines, TheWritersSheetRendersInOneCommand)
{
    const int rates[] = {16000, 22050, 32000, 44100, 48000};
    const char* const characters[] = {"Ana", "Bo", "Celeste", "Dmitri", "Ed"};
    const char* const looks[] = {"bad mobile line", "PA in a train station", "Police radio"};
    writeText("sheet/maps/station.json", "{\"EQGain\": 3}");
    writeText("sheet/maps/looks.csv", "look;preset\nBad mobile line;Bad mobile line\npa in a train station;station.json\n");
    std::string text = "Line,Character,Source file,Look\n";
    std::map<std::string, int> expected; // output -> its source's frames at 48 kHz, roughly
    for (int i = 0; i < 150; ++i)
    {
        const int rate = rates[i % 5];
        const int channels = 1 + (i / 5) % 2;
        const double seconds = i % 7 == 0 ? 0.15 : 0.3 + 0.2 * (i % 3) / 2.0;
        const std::string source = "src/" + std::to_string(i) + ".wav";
        writeTone("sheet/" + source, static_cast<int>(seconds * rate), SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels, rate);
        const std::string look = looks[i % 3];
        text += std::to_string(i + 1) + "," + characters[i % 5] + "," + source + "," + look + "\n";
        std::string slug = look;
        for (char& c : slug)
            c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string character = characters[i % 5];
        character[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(character[0])));
        char line[8];
        std::snprintf(line, sizeof line, "%03d", i + 1);
        expected[slug + "/" + character + "_" + line + "_" + slug + ".wav"] = static_cast<int>(seconds * 48000);
    }
    const std::string list = writeText("sheet/lines.csv", text);
    const ProcessResult r = runCrumlet({"render", "--lines", list, "--columns", "Source file=input,Look=preset",
                                        "--map-preset", path("sheet/maps/looks.csv"), "--name",
                                        "{Look}/{Character}_{Line:3}_{Look}.wav", "--loudness", "-23", "--rate",
                                        "48000", "--bits", "16", "--out-dir", path("delivery"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.substr(0, 3000);
    std::vector<std::string> names;
    for (const auto& [name, frames] : expected)
        names.push_back(name);
    EXPECT_EQ(filesIn(path("delivery")), names);
    for (const auto& [name, frames] : expected)
    {
        SF_INFO info{};
        readAll(path("delivery/" + name), &info);
        EXPECT_EQ(info.samplerate, 48000) << name;
        EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16) << name;
        EXPECT_GE(info.frames, frames - 2) << name;
    }
    std::size_t rendered = 0;
    for (const auto& line : jsonLines(r.out))
        if (line.contains("row"))
        {
            ++rendered;
            EXPECT_EQ(line["status"], "rendered") << line.dump();
            EXPECT_NEAR(line["loudnessLufs"].get<double>(), -23.0, 0.2) << line.dump();
        }
    EXPECT_EQ(rendered, 150u);
}
