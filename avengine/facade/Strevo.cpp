#include "facade/Strevo.h"

#include <cstdio>
#include <cstring>

#include "rtp/RTPReceiver.h"

namespace RAVO {

namespace {

const int kTextValues = 15;

// Reads what the text carries over the values already in `v`; the rest keep theirs.
void scanConfig(const char* text, int v[kTextValues]) {
    if (!text) return;
    std::sscanf(text, "%d %d %d %d %d %d %d %d %d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3],
                &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12], &v[13], &v[14]);
}

// Values not in the text stay -1 (not given); a text without values counts as
// apply flag 0.
void parseConfig(const char* text, int v[kTextValues]) {
    v[0] = 0;
    for (int i = 1; i < kTextValues; ++i) v[i] = -1;
    scanConfig(text, v);
}

void copyAddress(char* dst, const char* src) {
    std::memset(dst, 0, 32);
    if (src) std::strncpy(dst, src, 31);
}

}  // namespace

CStrevo::CStrevo()
    : m_pAudioSource(nullptr),
      m_pVideoSource(nullptr),
      m_pResampler(nullptr),
      m_pCapVideoGrabber(nullptr),
      m_pCapAudioGrabber(nullptr),
      m_pVideoEncoder(nullptr),
      m_pAudioEncoder(nullptr),
      m_pVideoRender(nullptr),
      m_pAudioRender(nullptr),
      m_pRTPSession(nullptr),
      m_pSourceRTP(nullptr),
      m_pVideoManager(nullptr),
      m_pAudioManager(nullptr),
      m_pPlayVideoGrabber(nullptr),
      m_pPlayAudioGrabber(nullptr),
      m_nLocalPort(0),
      m_nRemotePort(0),
      m_bVideoBuilt(0),
      m_bAudioBuilt(0),
      m_bPlayBuilt(0),
      m_bConfigLoaded(0) {
    std::memset(m_szLocalIp, 0, sizeof(m_szLocalIp));
    std::memset(m_szRemoteIp, 0, sizeof(m_szRemoteIp));
    std::memset(&m_videoConfig, 0, sizeof(m_videoConfig));
    std::memset(&m_audioConfig, 0, sizeof(m_audioConfig));
    resetConfig();
}

CStrevo::~CStrevo() {}

void CStrevo::setAVLogger(IAVLogger* logger) {
    SetAVLogger(logger);
}

void CStrevo::resetConfig() {
    for (int& v : m_config) v = -1;
    // Pacing pause and burst: 0 switches pacing off unless a text gives them.
    m_config[CFG_RTP + 6] = 0;
    m_config[CFG_RTP + 7] = 0;
}

int CStrevo::setAvMoudleConfig(char* text) {
    // The text is read over the stored values, so what a short text leaves out keeps
    // its value (the pacing 0/0 above all); the apply flag goes to a throw-away.
    int v[kTextValues];
    v[0] = 0;
    for (int i = 0; i < CFG_COUNT; ++i) v[i + 1] = m_config[i];
    scanConfig(text, v);
    if (v[0] == 0)
        resetConfig();
    else
        for (int i = 0; i < CFG_COUNT; ++i) m_config[i] = v[i + 1];
    const int* c = m_config;
    AV_LOG("avfilter config param:\n %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n", c[0], c[1], c[2],
           c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], c[11], c[12], c[13]);
    m_bConfigLoaded = 1;
    return 0;
}

int CStrevo::videoState() {
    if (!m_bVideoBuilt) return 0;
    if (!m_pVideoSource) return -2;
    if (m_pVideoSource->is_started()) return -3;
    return 0;
}

int CStrevo::audioState() {
    if (!m_bAudioBuilt) return 0;
    if (!m_pAudioSource) return -4;
    if (m_pAudioSource->is_started()) return -5;
    return 0;
}

int CStrevo::setAvMoudleConfig2(char* text) {
    if (!m_bConfigLoaded) return setAvMoudleConfig(text);
    if (m_pRTPSession && m_pRTPSession->senderCount() > 0) return -1;
    if (int rc = videoState()) return rc;
    if (int rc = audioState()) return rc;

    int v[kTextValues];
    parseConfig(text, v);
    if (v[0] == 0) return 0;
    {
        const int* c = v + 1;
        AV_LOG("avfilter config2 param:\n %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n", c[0], c[1],
               c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], c[11], c[12], c[13]);
    }
    for (int i = 0; i < 8; ++i) m_config[CFG_RTP + i] = v[4 + i];
    if (m_pRTPSession) {
        if (m_pRTPSession->senderCount() > 0) return -1;
        RTPParam* p = m_pRTPSession->getParam();
        for (int i = 0; i < 8; ++i)
            if (v[4 + i] != -1) (*p)[i] = v[4 + i];
    }

    bool rescale = false, reencode = false;
    if (v[12] != -1 && v[13] != -1 &&
        (v[12] != m_config[CFG_PLAY_WIDTH] || v[13] != m_config[CFG_PLAY_HEIGHT])) {
        m_config[CFG_PLAY_WIDTH] = v[12];
        m_config[CFG_PLAY_HEIGHT] = v[13];
        m_videoConfig.play_width = static_cast<uint16_t>(v[12]);
        m_videoConfig.play_height = static_cast<uint16_t>(v[13]);
        rescale = reencode = true;
    }
    if (v[1] != -1 && v[1] != m_config[CFG_FPS]) {
        m_config[CFG_FPS] = v[1];
        m_videoConfig.fps = v[1];
        reencode = true;
    }
    if (v[2] != -1 && v[2] != m_config[CFG_VIDEO_BITRATE]) {
        m_config[CFG_VIDEO_BITRATE] = v[2];
        m_videoConfig.bitrate = v[2];
        reencode = true;
    }
    if (v[14] > 0 && v[14] != m_config[CFG_MODE]) {
        m_config[CFG_MODE] = v[14];
        m_videoConfig.mode = v[14];
        reencode = true;
    }
    if (m_bVideoBuilt) {
        if (int rc = videoState()) return rc;
        // Codecs are open only on a graph whose camera connected.
        const bool connected = m_pVideoSource->width() > 0 && m_pVideoSource->height() > 0;
        if (rescale && connected && m_pResampler)
            m_pResampler->init(m_pVideoSource->width(), m_pVideoSource->height(),
                               m_videoConfig.play_width, m_videoConfig.play_height);
        if (reencode && connected && m_pVideoEncoder) {
            m_pVideoEncoder->uninit();
            m_pVideoEncoder->init(m_videoConfig.play_width, m_videoConfig.play_height,
                                  m_videoConfig.mode, m_videoConfig.bitrate, m_videoConfig.fps);
        }
    }

    bool audioChanged = false;
    if (v[3] != -1 && v[3] != m_config[CFG_AUDIO_BITRATE]) {
        m_config[CFG_AUDIO_BITRATE] = v[3];
        audioChanged = true;
    }
    if (m_bAudioBuilt) {
        if (int rc = audioState()) return rc;
        if (audioChanged && m_pAudioEncoder) {
            m_pAudioEncoder->uninit();
            m_pAudioEncoder->init(48000, 2, v[3]);
        }
    }
    return 0;
}

int CStrevo::setVideoConfig(VideoSetConfig* config) {
    if (config) std::memcpy(&m_videoConfig, config, sizeof(m_videoConfig));
    return 0;
}

int CStrevo::setAudioConfig(AudioSetConfig* config) {
    if (config) std::memcpy(&m_audioConfig, config, sizeof(m_audioConfig));
    return 0;
}

int CStrevo::setLocalIpInfo(const char* address, int port) {
    copyAddress(m_szLocalIp, address);
    m_nLocalPort = port;
    return 0;
}

int CStrevo::setRemoteIpInfo(const char* address, int port) {
    copyAddress(m_szRemoteIp, address);
    m_nRemotePort = port;
    if (m_pRTPSession)
        m_pRTPSession->setRemoteServerAddr2(m_szRemoteIp, static_cast<uint16_t>(port));
    return 0;
}

int CStrevo::setRemoteIpInfo_2(const char* address, int port) {
    copyAddress(m_szRemoteIp, address);
    m_nRemotePort = port;
    if (m_pRTPSession)
        m_pRTPSession->switchRemoteServerAddr2(m_szRemoteIp, static_cast<uint16_t>(port));
    return 0;
}

int CStrevo::createRTPSession() {
    if (m_pRTPSession) return -1;
    CRTPSession* s = new CRTPSession();
    s->init();
    s->createSession(m_szLocalIp[0] ? m_szLocalIp : nullptr, m_nLocalPort);
    s->setRemoteServerAddr2(m_szRemoteIp, static_cast<uint16_t>(m_nRemotePort));
    RTPParam* p = s->getParam();
    for (int i = 0; i < 8; ++i)
        if (m_config[CFG_RTP + i] != -1) (*p)[i] = m_config[CFG_RTP + i];
    m_pRTPSession = s;
    return 0;
}

int CStrevo::destoryRTPSession() {
    if (!m_pRTPSession) return -1;
    if (m_pRTPSession->dropUse() > 0) {
        // A graph still uses it: the use stays, so that a later call can succeed.
        m_pRTPSession->addUse();
        return -2;
    }
    CRTPSession* s = m_pRTPSession;
    s->stop();
    s->delAllRtpSender();
    s->delAllRtpReceiver(true);
    s->clear();
    s->uninit();
    delete s;
    m_pRTPSession = nullptr;
    return 0;
}

void CStrevo::overlayVideoConfig() {
    if (m_config[CFG_FPS] != -1) m_videoConfig.fps = m_config[CFG_FPS];
    if (m_config[CFG_VIDEO_BITRATE] != -1) m_videoConfig.bitrate = m_config[CFG_VIDEO_BITRATE];
    if (m_config[CFG_PLAY_WIDTH] != -1)
        m_videoConfig.play_width = static_cast<uint16_t>(m_config[CFG_PLAY_WIDTH]);
    if (m_config[CFG_PLAY_HEIGHT] != -1)
        m_videoConfig.play_height = static_cast<uint16_t>(m_config[CFG_PLAY_HEIGHT]);
    if (m_config[CFG_MODE] > 0) m_videoConfig.mode = m_config[CFG_MODE];
}

int CStrevo::buildVideoCapGraph(int ssrc) {
    if (m_bVideoBuilt) return 1;
    m_pVideoSource = new CSourceVideoCapBuf();
    m_pResampler = new CResamplerVideo();
    m_pCapVideoGrabber = new CSamplerGrabVideo();
    m_pVideoEncoder = new CVideoEncoderFilter();
    m_pVideoRender = new CRTPRenderFilter();
    overlayVideoConfig();
    m_pVideoSource->m_ssrc = ssrc;
    const int connected = m_pVideoSource->connect(&m_videoConfig);
    const VideoSetConfig& c = m_videoConfig;
    AV_LOG("connect video source error=%d!\n", connected);
    AV_LOG(
        "connect video param is:\ncap_size:%d\nplay_size:%d X "
        "%d\nfps:%d\nbitrate:%d\ncamera_id:%d\n"
        "camera_name:%s\n",
        c.cap_size, c.play_width, c.play_height, c.fps, c.bitrate, c.camera_id, c.camera_name);
    if (connected) {
        m_pResampler->init(m_pVideoSource->width(), m_pVideoSource->height(), c.play_width,
                           c.play_height);
        m_pVideoEncoder->init(c.play_width, c.play_height, c.mode, c.bitrate, c.fps);
        m_pCapVideoGrabber->setParam1(GRAB_MODE_CAPTURE);
    }
    m_pVideoSource->add_sink(m_pResampler);
    m_pResampler->add_sink(m_pCapVideoGrabber);
    m_pCapVideoGrabber->add_sink(m_pVideoEncoder);
    m_pVideoEncoder->add_sink(m_pVideoRender);
    if (m_pRTPSession) {
        m_pRTPSession->addUse();
        m_pVideoRender->setRTPSession(m_pRTPSession);
        m_pRTPSession->createRTPSender(ssrc, RTP_PT_VIDEO, 1);
    }
    m_bVideoBuilt = 1;
    return connected ? 0 : 1;
}

int CStrevo::destoryVideoCapGraph() {
    if (!m_bVideoBuilt) return 0;
    // Nothing may still run down the chain while it is taken apart.
    if (m_pVideoSource->is_started()) m_pVideoSource->stop();
    const int ssrc = m_pVideoSource->m_ssrc;
    m_pVideoSource->disconnect();
    m_pResampler->uninit();
    m_pVideoEncoder->uninit();
    m_pVideoRender->setRTPSession(nullptr);
    if (m_pRTPSession) {
        m_pRTPSession->delRTPSender(ssrc, RTP_PT_VIDEO);
        m_pRTPSession->dropUse();
    }
    delete m_pVideoSource;
    delete m_pResampler;
    delete m_pCapVideoGrabber;
    delete m_pVideoEncoder;
    delete m_pVideoRender;
    m_pVideoSource = nullptr;
    m_pResampler = nullptr;
    m_pCapVideoGrabber = nullptr;
    m_pVideoEncoder = nullptr;
    m_pVideoRender = nullptr;
    m_bVideoBuilt = 0;
    return 0;
}

int CStrevo::startVideoCapGraph() {
    if (m_bVideoBuilt && m_pVideoSource) m_pVideoSource->start();
    return 0;
}

int CStrevo::stopVideoCapGraph() {
    if (m_bVideoBuilt && m_pVideoSource) m_pVideoSource->stop();
    return 0;
}

int CStrevo::buildAudioCapGraph(int ssrc) {
    if (m_bAudioBuilt) return 1;
    m_pAudioSource = new CSourceAudioCapBuf();
    m_pCapAudioGrabber = new CSampleGrabAudio();
    m_pAudioEncoder = new CAudioEncoderFilter();
    m_pAudioRender = new CRTPRenderFilter();
    m_pAudioSource->m_ssrc = ssrc;
    CWaveInCapture* in = m_pAudioSource->m_waveIn;
    m_audioConfig.device_name[sizeof(m_audioConfig.device_name) - 1] = '\0';
    in->SetDeviceId(in->FindDevice(m_audioConfig.device_name));
    in->SetFormat(48000, 2, 16);
    in->SetFramesPerBuffer(1920);
    in->SetNotify(m_pAudioSource);
    const int rate = m_config[CFG_AUDIO_BITRATE];
    m_pAudioEncoder->init(48000, 2, rate == -1 ? 48000 : rate);
    m_pCapAudioGrabber->setParam1(GRAB_MODE_CAPTURE);
    m_pAudioSource->add_sink(m_pCapAudioGrabber);
    m_pCapAudioGrabber->add_sink(m_pAudioEncoder);
    m_pAudioEncoder->add_sink(m_pAudioRender);
    if (m_pRTPSession) {
        m_pRTPSession->addUse();
        m_pAudioRender->setRTPSession(m_pRTPSession);
        m_pRTPSession->createRTPSender(ssrc, RTP_PT_AUDIO, 0);
    }
    m_bAudioBuilt = 1;
    return 0;
}

int CStrevo::destoryAudioCapGraph() {
    if (!m_bAudioBuilt) return 0;
    if (m_pAudioSource->is_started()) m_pAudioSource->stop();
    const int ssrc = m_pAudioSource->m_ssrc;
    m_pAudioSource->m_waveIn->Close();
    m_pAudioEncoder->uninit();
    m_pAudioRender->setRTPSession(nullptr);
    if (m_pRTPSession) {
        m_pRTPSession->delRTPSender(ssrc, RTP_PT_AUDIO);
        m_pRTPSession->dropUse();
    }
    delete m_pAudioSource;
    delete m_pCapAudioGrabber;
    delete m_pAudioEncoder;
    delete m_pAudioRender;
    m_pAudioSource = nullptr;
    m_pCapAudioGrabber = nullptr;
    m_pAudioEncoder = nullptr;
    m_pAudioRender = nullptr;
    m_bAudioBuilt = 0;
    return 0;
}

int CStrevo::startAudioCapFraph() {
    if (m_bAudioBuilt && m_pAudioSource) m_pAudioSource->start();
    return 0;
}

int CStrevo::stopAudioCapGraph() {
    if (m_bAudioBuilt && m_pAudioSource) m_pAudioSource->stop();
    return 0;
}

int CStrevo::buildAVPlayGraph() {
    if (m_bPlayBuilt) return 1;
    m_pSourceRTP = new CSourceRTP();
    m_pVideoManager = new CVideoStreamManager();
    m_pPlayVideoGrabber = new CSamplerGrabVideo();
    m_pAudioManager = new CAudioStreamManager();
    m_pPlayAudioGrabber = new CSampleGrabAudio();
    m_pPlayVideoGrabber->setParam1(GRAB_MODE_PLAY);
    m_pPlayAudioGrabber->setParam1(GRAB_MODE_PLAY);
    if (m_pRTPSession) {
        m_pRTPSession->addUse();
        m_pSourceRTP->setRTPSession(m_pRTPSession);
        m_pRTPSession->setGetRtpFrameCB(m_pSourceRTP);
    }
    m_pSourceRTP->add_sink(m_pVideoManager);
    m_pSourceRTP->add_sink(m_pAudioManager);
    m_pVideoManager->add_sink(m_pPlayVideoGrabber);
    m_pAudioManager->add_sink(m_pPlayAudioGrabber);
    m_bPlayBuilt = 1;
    return 0;
}

int CStrevo::destoryAVPlayGraph() {
    if (!m_bPlayBuilt) return 1;
    // Threads still running would work on what is freed below.
    m_pVideoManager->stop();
    m_pAudioManager->stop();
    if (m_pRTPSession) {
        m_pRTPSession->setGetRtpFrameCB(nullptr);
        m_pSourceRTP->setRTPSession(nullptr);
        // Frames are handed on under the receiver lock, so once the receivers are gone
        // no delivery is still inside the chain.
        m_pRTPSession->delAllRtpReceiver(true);
        m_pRTPSession->dropUse();
    }
    m_pVideoManager->clear();
    m_pAudioManager->clear();
    delete m_pSourceRTP;
    delete m_pVideoManager;
    delete m_pPlayVideoGrabber;
    delete m_pAudioManager;
    delete m_pPlayAudioGrabber;
    m_pSourceRTP = nullptr;
    m_pVideoManager = nullptr;
    m_pPlayVideoGrabber = nullptr;
    m_pAudioManager = nullptr;
    m_pPlayAudioGrabber = nullptr;
    m_bPlayBuilt = 0;
    return 0;
}

int CStrevo::startAVPlayGraph() {
    if (!m_bPlayBuilt) return 0;
    m_pVideoManager->start();
    m_pAudioManager->start();
    m_pSourceRTP->start();
    return 0;
}

int CStrevo::stopAVPlayerGraph() {
    if (!m_bPlayBuilt) return 0;
    m_pSourceRTP->stop();
    m_pVideoManager->stop();
    m_pAudioManager->stop();
    return 0;
}

int CStrevo::addVideoStream(int id) {
    if (m_pVideoManager) m_pVideoManager->add_stream(id);
    if (m_pRTPSession) m_pRTPSession->createRTPReceiver(id, RTP_PT_VIDEO);
    return 0;
}

int CStrevo::addAudioStream(int id) {
    if (m_pAudioManager) m_pAudioManager->add_stream(id);
    if (m_pRTPSession) m_pRTPSession->createRTPReceiver(id, RTP_PT_AUDIO);
    return 0;
}

int CStrevo::delVideoStream(int id) {
    if (m_pRTPSession) m_pRTPSession->delRTPReceiver(id, RTP_PT_VIDEO, true);
    if (m_pVideoManager) m_pVideoManager->del_stream(id);
    return 0;
}

int CStrevo::delAudioStream(int id) {
    if (m_pRTPSession) m_pRTPSession->delRTPReceiver(id, RTP_PT_AUDIO, true);
    if (m_pAudioManager) m_pAudioManager->del_stream(id);
    return 0;
}

namespace {

void subscribe(CRTPSession* session, int id, int pt, bool on) {
    if (!session) return;
    CRTPReceiver* r = session->findRTPReceiver(id, pt);
    if (!r) return;
    r->setSubscribed(on ? 1 : 0);
    for (int i = 0; i < 2; ++i) {
        if (on)
            session->Subscribe(id, pt);
        else
            session->Unsubscribe(id, pt);
    }
}

}  // namespace

int CStrevo::subcribeVideoStream(int id) {
    subscribe(m_pRTPSession, id, RTP_PT_VIDEO, true);
    return muteVideoStream(id, 0);
}

int CStrevo::subcribeAudioStream(int id) {
    subscribe(m_pRTPSession, id, RTP_PT_AUDIO, true);
    return muteAudioStream(id, 0);
}

int CStrevo::unsubcribeVideoStream(int id) {
    subscribe(m_pRTPSession, id, RTP_PT_VIDEO, false);
    return muteVideoStream(id, 1);
}

int CStrevo::unsubcribeAudioStream(int id) {
    subscribe(m_pRTPSession, id, RTP_PT_AUDIO, false);
    return muteAudioStream(id, 1);
}

int CStrevo::muteVideoStream(int id, int on) {
    if (m_pVideoManager) m_pVideoManager->mute_stream(id, on);
    return 0;
}

int CStrevo::muteAudioStream(int id, int on) {
    if (m_pAudioManager) m_pAudioManager->mute_stream(id, on);
    return 0;
}

int CStrevo::muteAudioStreamAll(int on) {
    if (m_pAudioManager) m_pAudioManager->mute_all(on);
    return 0;
}

}  // namespace RAVO
