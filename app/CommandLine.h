#pragma once

#include <optional>

// The executable's options: --record and --stop send what the Record/Pause and Stop buttons do
// to the running recorder (starting one first for --record), print its one-line answer and end;
// --help lists them. Returns the exit status when the command line was handled here, nothing
// when the recorder itself is to run (no options).
std::optional<int> runCommandLine(int &argc, char **argv);
