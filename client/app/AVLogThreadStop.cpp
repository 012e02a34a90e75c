// The application object's log thread, if it was given one, is stopped (its queued
// lines written) and deleted at shutdown.
#include "app/ClientApp.h"
#include "app/AVLogThread.h"

void StopAVLogThread(CAVLogThread* thread) {
    if (!thread) return;
    thread->Stop();
    delete thread;
}
