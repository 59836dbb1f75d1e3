// What --update makes of the outputs that exist: a job whose output the tool made with the
// job's recipe (the same settings, transmission, space, delivery, sample format, loudness and
// seed) from its source's bytes is up to date and passes over; one made otherwise renders
// again. An output's recipe is read from its header alone, never its audio. A source whose
// size and modification time are those recorded is trusted; one whose time (or size) moved is
// compared by its hash, so a file touched but unchanged stays up to date.
#pragma once

#include "cli/render/RenderJobs.h"

#include <vector>

// Marks each job with outputExists whose output is up to date as JobOutcome::Status::UpToDate,
// checking on `threads` threads (0: one per core). Throws UsageError naming the outputs that
// exist and carry no recipe of the tool: --update never renders over a file it did not make.
void markUpToDate(std::vector<RenderJob>& jobs, unsigned threads);
