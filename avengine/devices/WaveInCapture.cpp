#include "devices/WaveInCapture.h"

#include <cstdlib>
#include <cstring>

namespace RAVO {

CWaveInCapture::CWaveInCapture()
    : m_running(0),
      m_deviceId(-1),
      m_hWaveIn(nullptr),
      m_framesPerBuffer(160),
      m_copyBuffer(nullptr),
      m_allocPerBuffer(BUFFER_ALLOC),
      m_bytesPerBuffer(0),
      m_notify(nullptr),
      m_deviceCount(0),
      m_enumerated(0) {
    std::memset(&m_format, 0, sizeof(m_format));
    std::memset(m_headers, 0, sizeof(m_headers));
    std::memset(m_devices, 0, sizeof(m_devices));
    SetFormat(48000, 2, 16);
}

CWaveInCapture::~CWaveInCapture() {
    Close();
}

void CWaveInCapture::SetFormat(int rate, int channels, int bits) {
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<WORD>(channels);
    m_format.nSamplesPerSec = static_cast<DWORD>(rate);
    m_format.wBitsPerSample = static_cast<WORD>(bits);
    m_format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
    m_format.cbSize = 0;
}

int CWaveInCapture::EnumDevices() {
    if (m_enumerated) return m_deviceCount;
    m_enumerated = 1;
    m_deviceCount = 0;
    UINT n = waveInGetNumDevs();
    for (UINT i = 0; i < n && m_deviceCount < MAX_DEVICES; ++i) {
        WAVEINCAPSA caps;
        if (waveInGetDevCapsA(i, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        DeviceEntry& e = m_devices[m_deviceCount++];
        e.id = static_cast<int>(i);
        std::memcpy(e.name, caps.szPname, sizeof(e.name));
        e.name[sizeof(e.name) - 1] = '\0';
    }
    return m_deviceCount;
}

int CWaveInCapture::FindDevice(const char* name) {
    if (!name) return -1;
    EnumDevices();
    for (int i = 0; i < m_deviceCount; ++i)
        if (std::strcmp(m_devices[i].name, name) == 0) return m_devices[i].id;
    return -1;
}

int CWaveInCapture::Open() {
    if (m_running) return 1;
    const UINT device = m_deviceId < 0 ? WAVE_MAPPER : static_cast<UINT>(m_deviceId);
    if (waveInOpen(nullptr, device, &m_format, 0, 0, WAVE_FORMAT_QUERY) != MMSYSERR_NOERROR)
        return 0;
    if (waveInOpen(&m_hWaveIn, device, &m_format, reinterpret_cast<DWORD_PTR>(&WaveInProc),
                   reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        m_hWaveIn = nullptr;
        return 0;
    }
    m_bytesPerBuffer = m_format.nChannels * m_format.wBitsPerSample / 8 * m_framesPerBuffer;
    // Never less room than one buffer's worth, whatever the format asks for.
    const int alloc = m_bytesPerBuffer > m_allocPerBuffer ? m_bytesPerBuffer : m_allocPerBuffer;
    for (WAVEHDR*& h : m_headers) {
        h = static_cast<WAVEHDR*>(std::calloc(1, sizeof(WAVEHDR) + static_cast<size_t>(alloc)));
        h->lpData = reinterpret_cast<char*>(h + 1);
        h->dwBufferLength = static_cast<DWORD>(m_bytesPerBuffer);
        waveInPrepareHeader(m_hWaveIn, h, sizeof(WAVEHDR));
        waveInAddBuffer(m_hWaveIn, h, sizeof(WAVEHDR));
    }
    m_running = 1;
    waveInStart(m_hWaveIn);
    return 1;
}

int CWaveInCapture::Close() {
    if (!m_running) return 0;
    m_running = 0;
    waveInReset(m_hWaveIn);
    for (WAVEHDR*& h : m_headers) {
        if (!h) continue;
        waveInUnprepareHeader(m_hWaveIn, h, sizeof(WAVEHDR));
        std::free(h);
        h = nullptr;
    }
    waveInClose(m_hWaveIn);
    m_hWaveIn = nullptr;
    delete[] m_copyBuffer;
    m_copyBuffer = nullptr;
    Sleep(20);
    return 0;
}

void CALLBACK CWaveInCapture::WaveInProc(HWAVEIN, UINT message, DWORD_PTR instance,
                                         DWORD_PTR param1, DWORD_PTR) {
    if (message != WIM_DATA) return;
    CWaveInCapture* self = reinterpret_cast<CWaveInCapture*>(instance);
    if (self && self->m_running) self->onData(reinterpret_cast<WAVEHDR*>(param1));
}

void CWaveInCapture::onData(WAVEHDR* h) {
    if (!h) return;
    const int bytes = m_bytesPerBuffer;
    int recorded = static_cast<int>(h->dwBytesRecorded);
    if (recorded > bytes) recorded = bytes;
    if (recorded < bytes)
        std::memset(h->lpData + recorded, m_format.wBitsPerSample == 8 ? 128 : 0,
                    static_cast<size_t>(bytes - recorded));
    if (!m_copyBuffer) m_copyBuffer = new char[static_cast<size_t>(bytes)];
    std::memcpy(m_copyBuffer, h->lpData, static_cast<size_t>(bytes));
    waveInAddBuffer(m_hWaveIn, h, sizeof(WAVEHDR));
    if (m_notify) m_notify->OnAudioFrameArrive(m_copyBuffer, bytes);
}

}  // namespace RAVO
