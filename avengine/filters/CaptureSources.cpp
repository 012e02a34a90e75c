#include "filters/CaptureSources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "filters/Timestamps.h"
#include "rtp/RTPDefs.h"

namespace RAVO {

namespace {

int32_t formatField(const char* format, int offset) {
    int32_t v;
    std::memcpy(&v, format + offset, sizeof(v));
    return v;
}

}  // namespace

void ConvertRGB24ToRGB32(const uint8_t* in, uint8_t* out, int pixels) {
    for (int i = 0; i < pixels; ++i) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 255;
        in += 3;
        out += 4;
    }
}

CSourceVideoCapBuf::CSourceVideoCapBuf()
    : m_ssrc(0), m_camera(nullptr), m_lastFrameTime(0), m_rgb32(new uint8_t[RGB32_BUFFER_BYTES]) {
    std::memset(m_videoFormat, 0, sizeof(m_videoFormat));
    std::memset(&m_cameraConfig, 0, sizeof(m_cameraConfig));
}

CSourceVideoCapBuf::~CSourceVideoCapBuf() {
    stop();
    disconnect();
    delete[] m_rgb32;
}

int CSourceVideoCapBuf::start() {
    if (!m_started) CSourceAvBuf::start();
    if (m_camera) m_camera->StartCapture();
    return 0;
}

int CSourceVideoCapBuf::stop() {
    if (m_camera) m_camera->StopCapture();
    CSourceAvBuf::stop();
    return 0;
}

int CSourceVideoCapBuf::connect(VideoSetConfig* config) {
    if (m_camera && m_camera->IsConnected()) return 0;
    if (!config || config->cap_size < 1 || config->cap_size > 7) return 0;
    std::memset(m_videoFormat, 0, sizeof(m_videoFormat));
    if (!m_camera) m_camera = new CNormalCameraHelper();
    m_cameraConfig.sizeIndex = config->cap_size;
    m_cameraConfig.pixelKind = 7;
    m_cameraConfig.fps = config->fps;
    m_camera->SetConfig(&m_cameraConfig);
    config->camera_name[sizeof(config->camera_name) - 1] = '\0';
    if (config->camera_name[0] == '\0') {
        _DEVIECENAME_LIST* list = m_camera->getDeviceList(1);
        if (!list || list->name[0] == '\0') return 0;
        const size_t n = strnlen(list->name, sizeof(config->camera_name) - 1);
        std::memcpy(config->camera_name, list->name, n);
        config->camera_name[n] = '\0';
    }
    if (!m_camera->Connect(0, config->camera_id, config->camera_name, this)) return 0;
    m_camera->GetVideoFormat(m_videoFormat);
    return 1;
}

int CSourceVideoCapBuf::disconnect() {
    if (!m_camera) return 0;
    m_camera->UninitDevice();
    delete m_camera;
    m_camera = nullptr;
    return 0;
}

int CSourceVideoCapBuf::width() const {
    return std::abs(formatField(m_videoFormat, 4));
}
int CSourceVideoCapBuf::height() const {
    return std::abs(formatField(m_videoFormat, 8));
}

void CSourceVideoCapBuf::OnVideoFrameArrive(void* data, unsigned long len) {
    const unsigned ts = NextVideoTimestamp();
    const DWORD now = timeGetTime();
    const int fps = m_cameraConfig.fps;
    if (fps > 0 && now < m_lastFrameTime + static_cast<DWORD>(1000 / fps)) return;
    m_lastFrameTime = now;
    const int w = width(), h = height();
    const long long pixels = static_cast<long long>(w) * h;
    // Frames larger than the buffer, or shorter than their format says, are not taken.
    if (!data || pixels <= 0 || pixels * 4 > RGB32_BUFFER_BYTES ||
        static_cast<long long>(len) < pixels * 3)
        return;
    ConvertRGB24ToRGB32(static_cast<const uint8_t*>(data), m_rgb32, static_cast<int>(pixels));
    in_sample(m_ssrc, RTP_PT_VIDEO, ts, reinterpret_cast<char*>(m_rgb32),
              static_cast<int>(pixels * 4), w, h);
}

CSourceAudioCapBuf::CSourceAudioCapBuf() : m_ssrc(0), m_waveIn(new CWaveInCapture()) {
    m_waveIn->SetNotify(this);
}

CSourceAudioCapBuf::~CSourceAudioCapBuf() {
    stop();
    delete m_waveIn;
}

int CSourceAudioCapBuf::start() {
    if (!m_started) CSourceAvBuf::start();
    if (m_waveIn) m_waveIn->Open();
    return 0;
}

int CSourceAudioCapBuf::stop() {
    if (m_waveIn) m_waveIn->Close();
    CSourceAvBuf::stop();
    return 0;
}

void CSourceAudioCapBuf::OnAudioFrameArrive(char* pcm, int len) {
    in_sample(m_ssrc, RTP_PT_AUDIO, NextAudioTimestamp(), pcm, len, 0, 0);
}

}  // namespace RAVO
