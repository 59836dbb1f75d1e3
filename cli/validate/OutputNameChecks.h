// A batch's output names against hostile templates and input names: every name the planner
// accepts stays inside the output folder, and every name that would leave it is refused.
#pragma once

#include <cstdint>
#include <string>

// A scratch folder for trying names, removed with the object: "out", whose links lead to
// itself ("self"), its parent ("up"), a folder beside it ("away"), a folder inside it
// ("inner") and the root ("root"); "alias", a link to "out"; "in", for inputs.
class NameScratchFolder
{
public:
    // `tag` tells this folder from others of the process.
    explicit NameScratchFolder(const std::string& tag);
    ~NameScratchFolder();
    NameScratchFolder(const NameScratchFolder&) = delete;
    NameScratchFolder& operator=(const NameScratchFolder&) = delete;

    // A path in the folder.
    std::string at(const std::string& name) const;

private:
    std::string m_root;
};

// Why `output`, accepted for `name` under `folder`, is not where a batch may write, or an
// empty text: a NUL, an absolute name or a "." or ".." part, a path or part too long for the
// system, or a file outside the folder once its folder's links are resolved (by
// std::filesystem, apart from the planner's own resolution).
std::string misplacedOutput(const std::string& folder, const std::string& name, const std::string& output);

// A template and an input named under `folder` as a batch names them: what is wrong, or an
// empty text when the name is refused with a short usage error or accepted where it belongs
// (see misplacedOutput). `output`, when given, is told the path accepted (empty: refused).
std::string outputNameFault(const std::string& folder, const std::string& nameTemplate, const std::string& input,
                            const std::string& preset, std::size_t index, std::string* output = nullptr);

// Templates and input names built from hostile pieces ("..", ".", "...wav", links out of the
// folder, NULs, long runs) through the batch's naming in a scratch folder, the issue cases
// first and then `rounds` drawn from `seed`. Answers the first fault found, or an empty text;
// `note` tells how many names were accepted and refused.
std::string checkHostileOutputNames(std::uint64_t seed, int rounds, std::string& note);
