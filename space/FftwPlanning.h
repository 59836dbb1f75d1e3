// FFTW's planner is one per process and not thread-safe by itself: spaces are made on several
// threads at once (a batch's jobs), and so are plans elsewhere in the process. Called before a
// plan is made or destroyed (here or inside the convolution library), it makes the planner
// take a lock of its own, for every caller in the process.
#pragma once

namespace space
{

void makeFftwPlannerThreadSafe();

} // namespace space
