#include "win32/waveio.h"

#include <cstring>

#include "wavedevice.h"
#include "win32/sync.h"
#include "win32/text.h"

namespace winplat {

WaveDevice::~WaveDevice() {
    // A handle dropped without waveXxxClose (process end) still stops its thread.
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> g(mutex_);
            quit_ = true;
        }
        if (stream) stream->Stop();
        changed_.notify_all();
        if (!onDeviceThread())
            thread_.join();
        else
            thread_.detach();
    }
}

void WaveDevice::SetCallback(DWORD flags, DWORD_PTR callback, DWORD_PTR instance) {
    callbackType_ = flags & CALLBACK_TYPEMASK;
    callback_ = callback;
    instance_ = instance;
}

void WaveDevice::Begin(void* self) {
    self_ = self;
    running_ = direction == SoundDirection::Playback;  // output plays until paused
    // A stream that does not start fails its first read or write, which keeps the
    // buffers queued until the program resets or closes.
    if (stream) stream->Start();
    thread_ = std::thread(&WaveDevice::loop, this);
    notify(direction == SoundDirection::Capture ? WIM_OPEN : WOM_OPEN, nullptr);
}

MMRESULT WaveDevice::End() {
    {
        std::lock_guard<std::mutex> g(mutex_);
        if (!queue_.empty()) return WAVERR_STILLPLAYING;
        quit_ = true;
    }
    if (stream) stream->Stop();
    changed_.notify_all();
    if (thread_.joinable() && !onDeviceThread()) thread_.join();
    notify(direction == SoundDirection::Capture ? WIM_CLOSE : WOM_CLOSE, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveDevice::AddBuffer(LPWAVEHDR h) {
    if (!h || !h->lpData) return MMSYSERR_INVALPARAM;
    if (!(h->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (h->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    {
        std::lock_guard<std::mutex> g(mutex_);
        h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_DONE)) | WHDR_INQUEUE;
        if (direction == SoundDirection::Capture) h->dwBytesRecorded = 0;
        queue_.push_back(h);
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveDevice::Run(bool on) {
    {
        std::lock_guard<std::mutex> g(mutex_);
        running_ = on;
    }
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveDevice::Reset() {
    std::deque<LPWAVEHDR> returned;
    {
        std::unique_lock<std::mutex> g(mutex_);
        if (direction == SoundDirection::Capture) running_ = false;
        // A callback in progress may give its buffer back; wait for it first so that
        // nothing stays queued once Reset returns.
        if (!onDeviceThread()) changed_.wait(g, [this] { return inCallback_ == 0; });
        returned.swap(queue_);
        for (LPWAVEHDR h : returned)
            h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_INQUEUE)) | WHDR_DONE;
    }
    const UINT message = direction == SoundDirection::Capture ? WIM_DATA : WOM_DONE;
    for (LPWAVEHDR h : returned) notify(message, h);
    return MMSYSERR_NOERROR;
}

void WaveDevice::notify(UINT message, LPWAVEHDR h) {
    if (callbackType_ == CALLBACK_FUNCTION && callback_) {
        auto proc =
            reinterpret_cast<void (*)(void*, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)>(callback_);
        proc(self_, message, instance_, reinterpret_cast<DWORD_PTR>(h), 0);
    } else if (callbackType_ == CALLBACK_EVENT && callback_) {
        SetEvent(reinterpret_cast<HANDLE>(callback_));
    }
}

void WaveDevice::loop() {
    const bool capture = direction == SoundDirection::Capture;
    std::unique_lock<std::mutex> g(mutex_);
    for (;;) {
        changed_.wait(g, [this] { return quit_ || (running_ && !queue_.empty()); });
        if (quit_) return;
        LPWAVEHDR h = queue_.front();
        const size_t bytes = h->dwBufferLength;
        const size_t frames = frameBytes ? bytes / frameBytes : 0;
        // The device reads into and plays from its own copy, so that a reset may hand
        // the program's buffer back while the stream is still busy.
        if (scratch_.size() < bytes) scratch_.resize(bytes);
        if (!capture) std::memcpy(scratch_.data(), h->lpData, bytes);
        long moved = 0;
        g.unlock();
        if (frames > 0 && stream)
            moved = capture ? stream->Read(scratch_.data(), frames)
                            : stream->Write(scratch_.data(), frames);
        g.lock();
        if (quit_) return;
        if (moved < 0) {
            // A device error: keep the buffers until the program resets or closes.
            changed_.wait(g, [this, h] { return quit_ || queue_.empty() || queue_.front() != h; });
            continue;
        }
        if (queue_.empty() || queue_.front() != h) continue;  // handed back by a reset
        if (capture && !running_) continue;  // stopped while recording: keep the buffer
        queue_.pop_front();
        if (capture) {
            const size_t got = static_cast<size_t>(moved) * frameBytes;
            std::memcpy(h->lpData, scratch_.data(), got);
            h->dwBytesRecorded = static_cast<DWORD>(got);
        }
        h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_INQUEUE)) | WHDR_DONE;
        ++inCallback_;
        g.unlock();
        notify(capture ? WIM_DATA : WOM_DONE, h);
        g.lock();
        --inCallback_;
        changed_.notify_all();
    }
}

}  // namespace winplat

namespace {

using winplat::SoundDirection;
using winplat::WaveDevice;

std::shared_ptr<WaveDevice> device(const void* h, SoundDirection dir) {
    auto w = std::dynamic_pointer_cast<WaveDevice>(winplat::LookupHandle(const_cast<void*>(h)));
    return w && w->direction == dir ? w : nullptr;
}

MMRESULT prepare(const void* handle, SoundDirection dir, LPWAVEHDR h, UINT size, bool on) {
    if (!device(handle, dir)) return MMSYSERR_INVALHANDLE;
    if (!h || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    if (on) {
        h->dwFlags = (h->dwFlags & ~static_cast<DWORD>(WHDR_DONE | WHDR_INQUEUE)) | WHDR_PREPARED;
    } else {
        if (h->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        h->dwFlags &= ~static_cast<DWORD>(WHDR_PREPARED);
    }
    return MMSYSERR_NOERROR;
}

template <class Op>
MMRESULT withDevice(const void* handle, SoundDirection dir, Op op) {
    auto w = device(handle, dir);
    return w ? op(*w) : MMSYSERR_INVALHANDLE;
}

}  // namespace

MMRESULT waveInGetDevCapsA(UINT_PTR id, LPWAVEINCAPSA caps, UINT size) {
    if (!caps || size < sizeof(WAVEINCAPSA)) return MMSYSERR_INVALPARAM;
    WAVEINCAPSW wide;
    MMRESULT rc = waveInGetDevCapsW(id, &wide, sizeof(wide));
    if (rc != MMSYSERR_NOERROR) return rc;
    std::memset(caps, 0, sizeof(*caps));
    caps->wMid = wide.wMid;
    caps->wPid = wide.wPid;
    caps->vDriverVersion = wide.vDriverVersion;
    std::string name = winplat::WideToAnsi(wide.szPname);
    std::strncpy(caps->szPname, name.c_str(), MAXPNAMELEN - 1);
    caps->dwFormats = wide.dwFormats;
    caps->wChannels = wide.wChannels;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN w, LPWAVEHDR h, UINT size) {
    return prepare(w, SoundDirection::Capture, h, size, true);
}
MMRESULT waveInUnprepareHeader(HWAVEIN w, LPWAVEHDR h, UINT size) {
    return prepare(w, SoundDirection::Capture, h, size, false);
}
MMRESULT waveInAddBuffer(HWAVEIN w, LPWAVEHDR h, UINT size) {
    if (size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return withDevice(w, SoundDirection::Capture, [h](WaveDevice& d) { return d.AddBuffer(h); });
}
MMRESULT waveInStart(HWAVEIN w) {
    return withDevice(w, SoundDirection::Capture, [](WaveDevice& d) { return d.Run(true); });
}
MMRESULT waveInStop(HWAVEIN w) {
    return withDevice(w, SoundDirection::Capture, [](WaveDevice& d) { return d.Run(false); });
}
MMRESULT waveInReset(HWAVEIN w) {
    return withDevice(w, SoundDirection::Capture, [](WaveDevice& d) { return d.Reset(); });
}

MMRESULT waveOutPrepareHeader(HWAVEOUT w, LPWAVEHDR h, UINT size) {
    return prepare(w, SoundDirection::Playback, h, size, true);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT w, LPWAVEHDR h, UINT size) {
    return prepare(w, SoundDirection::Playback, h, size, false);
}
MMRESULT waveOutWrite(HWAVEOUT w, LPWAVEHDR h, UINT size) {
    if (size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    return withDevice(w, SoundDirection::Playback, [h](WaveDevice& d) { return d.AddBuffer(h); });
}
MMRESULT waveOutPause(HWAVEOUT w) {
    return withDevice(w, SoundDirection::Playback, [](WaveDevice& d) { return d.Run(false); });
}
MMRESULT waveOutRestart(HWAVEOUT w) {
    return withDevice(w, SoundDirection::Playback, [](WaveDevice& d) { return d.Run(true); });
}
MMRESULT waveOutReset(HWAVEOUT w) {
    return withDevice(w, SoundDirection::Playback, [](WaveDevice& d) { return d.Reset(); });
}
