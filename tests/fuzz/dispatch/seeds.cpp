// Seeds of the dispatch target: one well-formed answer of each kind the room and
// logon connections carry, as the stand-in servers write them.
#include "SampleAnswers.h"
#include "SeedWriter.h"

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    for (const auto& frame : testsupport::answers::SampleAnswers()) seeds.Add(frame);
    return 0;
}
