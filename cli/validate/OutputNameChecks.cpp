#include "cli/validate/OutputNameChecks.h"

#include "cli/io/FilePlaces.h"
#include "cli/io/QuotedText.h"
#include "cli/render/OutputFolder.h"
#include "cli/render/OutputNames.h"
#include "cli/settings/UsageError.h"

#include <climits>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// What the partial file written first adds to an output's path.
constexpr std::size_t kPartialBytes = 16;
} // namespace

NameScratchFolder::NameScratchFolder(const std::string& tag)
    : m_root((fs::temp_directory_path() / ("crumlet-" + tag + "-" + std::to_string(::getpid()) + "-names")).string())
{
    const fs::path root(m_root);
    fs::remove_all(root);
    fs::create_directories(root / "in/sub");
    fs::create_directories(root / "out/real");
    fs::create_directories(root / "elsewhere");
    fs::create_directory_symlink(".", root / "out/self");
    fs::create_directory_symlink("..", root / "out/up");
    fs::create_directory_symlink("../elsewhere", root / "out/away");
    fs::create_directory_symlink(root / "out/real", root / "out/inner");
    fs::create_directory_symlink("/", root / "out/root");
    fs::create_directory_symlink(root / "out", root / "alias");
}

NameScratchFolder::~NameScratchFolder()
{
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

std::string NameScratchFolder::at(const std::string& name) const
{
    return m_root + "/" + name;
}

std::string misplacedOutput(const std::string& folder, const std::string& name, const std::string& output)
{
    const fs::path named(name);
    if (name.find('\0') != std::string::npos || output.find('\0') != std::string::npos)
        return "a NUL";
    if (named.has_root_path() || !named.has_filename())
        return "not a file's relative name";
    for (const fs::path& part : named)
        if (part == "." || part == "..")
            return "a \"" + part.string() + "\" part";
    if (output != (fs::path(folder) / named).lexically_normal().string())
        return "not the name under the folder";
    if (output.size() + kPartialBytes >= PATH_MAX)
        return "a path too long to write";
    for (const fs::path& part : fs::path(output))
        if (part.string().size() > NAME_MAX)
            return "a part too long to write";
    // The file's folder resolved, its own name as is (a file written there replaces a link).
    std::error_code ea, eb;
    const fs::path home = fs::weakly_canonical(folder, ea);
    const fs::path file = fs::weakly_canonical(fs::path(output).parent_path(), eb) / fs::path(output).filename();
    if (ea || eb)
        return {};
    const std::string resolved = file.lexically_normal().string(), prefix = home.string() + "/";
    if (resolved.size() <= prefix.size() || resolved.compare(0, prefix.size(), prefix) != 0)
        return "outside the folder, at " + quoted(resolved, kQuotedExcerptBytes);
    return {};
}

std::string outputNameFault(const std::string& folder, const std::string& nameTemplate, const std::string& input,
                            const std::string& preset, std::size_t index, std::string* output)
{
    std::string placed;
    std::string fault;
    try
    {
        checkNameTemplate(nameTemplate);
        const std::string name = expandName(nameTemplate, {input, preset, index});
        FilePlaces places;
        placed = OutputFolder(folder, places).place(name);
        fault = misplacedOutput(folder, name, placed);
    }
    catch (const UsageError& e)
    {
        // A refusal quotes a part of what it refuses, never all of it.
        const std::size_t length = std::string(e.what()).size();
        if (length > 1024)
            fault = "a refusal of " + std::to_string(length) + " bytes";
    }
    if (output != nullptr)
        *output = placed;
    return fault;
}

std::string checkHostileOutputNames(std::uint64_t seed, int rounds, std::string& note)
{
    const NameScratchFolder scratch("validate");
    const std::string out = scratch.at("out");
    int accepted = 0, refused = 0;
    auto fault = [&](const std::string& nameTemplate, const std::string& inputName, int expect) -> std::string {
        // Inputs under the scratch input folder unless absolute.
        const std::string input = !inputName.empty() && inputName[0] == '/' ? inputName : scratch.at("in/" + inputName);
        std::string output;
        const std::string f = outputNameFault(out, nameTemplate, input, "Police radio", 7, &output);
        (output.empty() ? refused : accepted) += 1;
        const std::string which = "--name " + quoted(nameTemplate, kQuotedExcerptBytes) + " for " +
                                  quoted(inputName, kQuotedExcerptBytes);
        if (!f.empty())
            return which + ": " + f;
        if (expect > 0 && output.empty())
            return which + " was refused";
        if (expect < 0 && !output.empty())
            return which + " was accepted as " + quoted(output, kQuotedExcerptBytes);
        return {};
    };

    // Names that leave the folder (-1) and names that stay in it, through links that do (+1).
    const struct
    {
        const char* nameTemplate;
        const char* input;
        int expect;
    } known[] = {
        {"{stem}/{stem}/x_{index}.wav", "...wav", -1},
        {"{stem}/x.wav", "..wav", -1},
        {"away/{stem}.wav", "a.wav", -1},
        {"up/{stem}.wav", "a.wav", -1},
        {"root/tmp/{stem}.wav", "a.wav", -1},
        {"{parent}/{stem}.wav", "/a.wav", -1},
        {"{ext}/", "a.wav", -1},
        {"{parent}/{parent}/{parent}/escape_{stem}.wav", "sub/../a.wav", 1},
        {"{parent}/{stem}.wav", "./a.wav", 1},
        {"self/up/out/{preset}/{index:3}-{stem}.{ext}", "takes/a.b.wav", 1},
        {"inner/{stem}.wav", "a.wav", 1},
    };
    for (const auto& k : known)
        if (std::string f = fault(k.nameTemplate, k.input, k.expect); !f.empty())
            return f;

    // Drawn: templates and inputs of hostile pieces, any of them accepted or refused.
    const std::vector<std::string> templatePieces = {
        "{stem}", "{ext}", "{parent}", "{preset}", "{index}", "{index:3}", "/", ".", "..", "self", "up", "away",
        "inner", "root", "x", ".wav", std::string(1, '\0'), std::string(120, 'n'), "{{", "}}"};
    const std::vector<std::string> inputPieces = {"..", ".", "...", "a", ".wav", "/", "sub", "..wav", "b.c", "~",
                                                  std::string(1, '\0'), std::string(200, 'i')};
    std::mt19937_64 random(seed);
    auto draw = [&](const std::vector<std::string>& pieces, int most) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(1, most)(random);
        for (int i = 0; i < count; ++i)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        return text;
    };
    for (int round = 0; round < rounds; ++round)
        if (std::string f = fault(draw(templatePieces, 8), draw(inputPieces, 5), 0); !f.empty())
            return "round " + std::to_string(round) + ": " + f;
    note = std::to_string(accepted) + " names accepted inside the folder, " + std::to_string(refused) + " refused";
    return {};
}
