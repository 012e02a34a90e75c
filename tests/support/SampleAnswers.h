// One well-formed answer of each kind the logon and room connections carry, about one
// room with the user and two others in it: what the dispatch fuzzing starts from.
#pragma once

#include <vector>

#include "Answers.h"

namespace testsupport::answers {

// The ids the sample answers name.
constexpr int kSampleMe = 1001;
constexpr int kSampleRoom = 88;
constexpr int kSampleOtherRoom = 77;
constexpr int kSampleUserA = 501;
constexpr int kSampleUserB = 502;

std::vector<Bytes> SampleAnswers();

}  // namespace testsupport::answers
