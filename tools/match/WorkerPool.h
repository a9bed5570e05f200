#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs jobs each in a child process of its own, a few at once. A process
// per job keeps the jobs apart: the program's random generator, the engines'
// caches and a crash stay inside one job.
namespace match {

using TJob = std::function<std::string(int index)>;
// What job index returned, or none when its process died without answering.
using TJobDone = std::function<void(int index, const std::optional<std::string>& answer)>;

// Runs job(0) .. job(count - 1), at most workers at the same time, and
// calls done in the parent as each finishes, in the order they finish.
void RunJobs(int count, int workers, const TJob& job, const TJobDone& done);

}  // namespace match
