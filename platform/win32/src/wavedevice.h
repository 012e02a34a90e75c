// An open wave device: its PCM stream, the queue of buffers the program gave it,
// and the thread that moves sound between the two and reports finished buffers.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "handles.h"
#include "win32/soundsystem.h"
#include "win32/waveio.h"

namespace winplat {

class WaveDevice : public KernelObject {
public:
    ~WaveDevice() override;

    SoundDirection direction = SoundDirection::Capture;
    int device = -1;  // the device the handle stands on (the default one for the mapper)
    int card = -1;
    std::unique_ptr<PcmStream> stream;
    size_t frameBytes = 0;

    // What the program asked to be told, set before Begin.
    void SetCallback(DWORD flags, DWORD_PTR callback, DWORD_PTR instance);
    // Starts the device thread and sends the open message; `self` is the handle.
    void Begin(void* self);
    // Stops the thread (the stream first, so a blocked read or write returns) and
    // sends the close message. WAVERR_STILLPLAYING while buffers are queued.
    MMRESULT End();

    MMRESULT AddBuffer(LPWAVEHDR header);  // wave-in add, wave-out write
    MMRESULT Run(bool on);                 // wave-in start/stop, wave-out restart/pause
    MMRESULT Reset();

private:
    void loop();
    void notify(UINT message, LPWAVEHDR header);
    bool onDeviceThread() const { return std::this_thread::get_id() == thread_.get_id(); }

    DWORD callbackType_ = 0;
    DWORD_PTR callback_ = 0;
    DWORD_PTR instance_ = 0;
    void* self_ = nullptr;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<LPWAVEHDR> queue_;
    bool running_ = false;  // wave-in: recording; wave-out: not paused
    bool quit_ = false;
    int inCallback_ = 0;
    std::vector<char> scratch_;
    std::thread thread_;
};

}  // namespace winplat
