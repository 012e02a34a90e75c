// No log thread class exists in the program yet and nothing hands one to the
// application object, so there is nothing to stop.
#include "app/ClientApp.h"

void StopAVLogThread(CAVLogThread*) {}
