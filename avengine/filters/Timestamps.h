// The process-wide capture timestamps: every camera frame and every wave-in
// buffer moves its clock on by 10, whatever source it belongs to.
#pragma once

namespace RAVO {

unsigned NextVideoTimestamp();
unsigned NextAudioTimestamp();

}  // namespace RAVO
