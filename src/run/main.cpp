// smfreq: frequency-domain processing of a three-component strong-motion record.
// Every answer comes from the console; command-line arguments are ignored.
#include "run/sequence.h"

int main() { return smfreq::program_main(); }
