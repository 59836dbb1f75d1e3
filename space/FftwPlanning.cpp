#include "space/FftwPlanning.h"

#include <fftw3.h>

#include <mutex>

namespace space
{

void makeFftwPlannerThreadSafe()
{
    static std::once_flag once;
    std::call_once(once, [] { fftwf_make_planner_thread_safe(); });
}

} // namespace space
