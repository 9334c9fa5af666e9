#pragma once

namespace host {

// What the end of a process does for the program on the host: closes the
// files and frees the memory it left, forgets the profile cache, and clears
// the program-wide state, so the next run starts like a new process.
void EndProcess();

}  // namespace host
