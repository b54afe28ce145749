#include "cli/ProgramArguments.h"

// The terminal hands over UTF-8 already; the bytes are kept as they are.
ProgramArguments gProgramArguments(int argc, char** argv) { return {{argv + 1, argv + argc}, {}}; }
