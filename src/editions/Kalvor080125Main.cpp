#include "editions/RunKalvor.h"

int main(int argc, char** argv) { return RunKalvor(argc, argv, ReducedEdition()); }
