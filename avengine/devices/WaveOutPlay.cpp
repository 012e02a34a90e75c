#include "devices/WaveOutPlay.h"

#include <cstring>

namespace RAVO {

CWaveOutPlay::CWaveOutPlay()
    : m_starved(0),
      m_open(0),
      m_deviceId(-1),
      m_framesPerBuffer(1920),
      m_bytesPerBuffer(0),
      m_queued(0),
      m_next(0),
      m_block(nullptr),
      m_headers(nullptr),
      m_restartThreshold(5),
      m_hWaveOut(nullptr) {
    std::memset(&m_format, 0, sizeof(m_format));
    SetFormat(48000, 2, 16, 1920);
}

CWaveOutPlay::~CWaveOutPlay() {
    Close();
}

void CWaveOutPlay::SetFormat(int rate, int channels, int bits, int framesPerBuffer) {
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<WORD>(channels);
    m_format.nSamplesPerSec = static_cast<DWORD>(rate);
    m_format.wBitsPerSample = static_cast<WORD>(bits);
    m_format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
    m_format.cbSize = 0;
    m_framesPerBuffer = framesPerBuffer;
}

int CWaveOutPlay::Open() {
    m_starved = 0;
    if (m_open) return 1;
    const UINT device = m_deviceId < 0 ? WAVE_MAPPER : static_cast<UINT>(m_deviceId);
    if (waveOutOpen(nullptr, device, &m_format, 0, 0, WAVE_FORMAT_QUERY) != MMSYSERR_NOERROR)
        return 0;
    if (waveOutOpen(&m_hWaveOut, device, &m_format, reinterpret_cast<DWORD_PTR>(&WaveOutProc),
                    reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        m_hWaveOut = nullptr;
        return 0;
    }
    m_bytesPerBuffer = m_format.nChannels * m_format.wBitsPerSample / 8 * m_framesPerBuffer;
    const size_t blockBytes =
        static_cast<size_t>(BUFFER_COUNT) * static_cast<size_t>(m_bytesPerBuffer);
    m_block = new char[blockBytes];
    std::memset(m_block, m_format.wBitsPerSample == 8 ? 128 : 0, blockBytes);
    m_headers = new WAVEHDR[BUFFER_COUNT];
    std::memset(m_headers, 0, sizeof(WAVEHDR) * BUFFER_COUNT);
    for (int i = 0; i < BUFFER_COUNT; ++i) {
        WAVEHDR& h = m_headers[i];
        h.lpData = m_block + static_cast<size_t>(i) * static_cast<size_t>(m_bytesPerBuffer);
        h.dwBufferLength = static_cast<DWORD>(m_bytesPerBuffer);
        if (waveOutPrepareHeader(m_hWaveOut, &h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            // The device and the buffers go too, so that a failed open leaks nothing.
            release(i);
            return 0;
        }
    }
    m_next = 0;
    m_queued = 0;
    m_open = 1;
    m_starved = 1;  // output waits for the first buffers
    return 1;
}

int CWaveOutPlay::Write(int len, char* pcm) {
    if (!m_open || !m_headers || m_queued >= QUEUE_LIMIT) return -1;
    if (len < 0 || len > m_bytesPerBuffer || (len > 0 && !pcm)) return -1;
    WAVEHDR* h = &m_headers[m_next];
    if (len > 0) std::memcpy(h->lpData, pcm, static_cast<size_t>(len));
    h->dwBufferLength = static_cast<DWORD>(len);
    if (m_starved) {
        waveOutPause(m_hWaveOut);
        if (m_queued > m_restartThreshold) {
            m_starved = 0;
            waveOutRestart(m_hWaveOut);
        }
    }
    // Counted before the device sees it, so that its done report never runs ahead.
    ++m_queued;
    if (waveOutWrite(m_hWaveOut, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        --m_queued;
        return -1;
    }
    m_next = (m_next + 1) % BUFFER_COUNT;
    return len;
}

int CWaveOutPlay::Close() {
    if (!m_open) return 0;
    m_open = 0;
    waveOutReset(m_hWaveOut);
    release(BUFFER_COUNT);
    m_queued = 0;
    m_next = 0;
    return 0;
}

void CWaveOutPlay::release(int prepared) {
    for (int i = 0; i < prepared; ++i)
        waveOutUnprepareHeader(m_hWaveOut, &m_headers[i], sizeof(WAVEHDR));
    waveOutClose(m_hWaveOut);
    m_hWaveOut = nullptr;
    delete[] m_headers;
    m_headers = nullptr;
    delete[] m_block;
    m_block = nullptr;
}

void CALLBACK CWaveOutPlay::WaveOutProc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR,
                                        DWORD_PTR) {
    if (message != WOM_DONE) return;
    CWaveOutPlay* self = reinterpret_cast<CWaveOutPlay*>(instance);
    if (!self) return;
    if (--self->m_queued < 2) self->m_starved = 1;
}

}  // namespace RAVO
