#include "python/src/RenderKeywords.h"

namespace crumlet_python
{
const std::vector<RenderKeyword>& renderKeywordTable()
{
    static const std::vector<RenderKeyword> table = {
        keyword("loudness", "--loudness", &RenderOptions::loudness),
        keyword("match_loudness", "--match-loudness", &RenderOptions::matchLoudness),
        keyword("format", "--format", &RenderOptions::sampleFormat),
        keyword("block_frames", "--block", &RenderOptions::blockFrames),
        keyword("jobs", "--jobs", &RenderOptions::jobs),
        keyword("recursive", "--recursive", &RenderOptions::recursive),
        keyword("skip_existing", "--skip-existing", &RenderOptions::skipExisting),
        keyword("force", "--force", &RenderOptions::force),
        keyword("save_preset", "--save-preset", &RenderOptions::savePreset),
    };
    return table;
}
} // namespace crumlet_python
