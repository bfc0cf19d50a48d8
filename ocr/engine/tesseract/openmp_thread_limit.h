#pragma once

namespace ocr::engine {

// The recogniser's OpenMP runtime reads OMP_THREAD_LIMIT once, when it is loaded, and
// without a limit oversubscribes small machines several times over. When the variable is
// not "1" this re-executes the running program once with OMP_THREAD_LIMIT=1 and the same
// arguments (argv[0] included); the new image sees "1" and so never re-executes again.
// Returns only when no re-execution was needed or it failed (the run then goes on, slower).
void EnsureSingleThreadedOpenMp(char** argv);

}  // namespace ocr::engine
