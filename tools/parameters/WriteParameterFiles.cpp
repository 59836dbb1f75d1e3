// crumlet-parameter-files: writes the files outside the module that list the parameters, from
// the parameter table.
//
//   crumlet-parameter-files description OUT.json        the host's description of the plugin
//   crumlet-parameter-files stubs STUBS.pyi OUT.pyi     the stubs with their property attributes
//                                                       written afresh (OUT may be STUBS)
#include "tools/parameters/ParameterFiles.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace
{
int usage()
{
    std::fprintf(stderr, "usage: crumlet-parameter-files description OUT.json\n"
                         "       crumlet-parameter-files stubs STUBS.pyi OUT.pyi\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    std::string text;
    std::string out;
    if (what == "description" && argc == 3)
    {
        text = pluginDescription();
        out = argv[2];
    }
    else if (what == "stubs" && argc == 4)
    {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream stubs;
        stubs << in.rdbuf();
        if (!in)
        {
            std::fprintf(stderr, "crumlet-parameter-files: cannot read \"%s\"\n", argv[2]);
            return 1;
        }
        try
        {
            text = withPropertyAttributes(stubs.str());
        }
        catch (const std::runtime_error& e)
        {
            std::fprintf(stderr, "crumlet-parameter-files: %s: %s\n", argv[2], e.what());
            return 1;
        }
        out = argv[3];
    }
    else
    {
        return usage();
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file)
    {
        std::fprintf(stderr, "crumlet-parameter-files: cannot write \"%s\"\n", out.c_str());
        return 1;
    }
    return 0;
}
