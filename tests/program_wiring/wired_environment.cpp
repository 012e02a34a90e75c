// Every test program that links the windows gets them wired as the program wires them,
// before its first test.
#include <gtest/gtest.h>

#include "program/ProgramWiring.h"

namespace {

class ProgramWiringEnvironment : public ::testing::Environment {
public:
    void SetUp() override { InstallProgramWiring(); }
};

const ::testing::Environment* const g_wiring =
    ::testing::AddGlobalTestEnvironment(new ProgramWiringEnvironment);

}  // namespace
