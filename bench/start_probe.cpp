// The full edition as it starts, ending the moment its first window is
// shown: it writes one line to standard output and leaves at once. The
// table bench times it against start_floor.

#include "editions/RunKalvor.h"
#include "ShownProbe.h"

int main(int argc, char** argv) { return RunKalvor(argc, argv, FullEdition()); }
