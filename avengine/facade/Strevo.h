// The engine's one facade: configuration, the RTP session to the media relay, the
// video capture, audio capture and play chains, and the per-user play streams.
// The room window reads some members directly, so their order is fixed.
#pragma once

#include "facade/AVConfig.h"
#include "filters/CaptureSources.h"
#include "filters/CodecFilters.h"
#include "filters/RTPRenderFilter.h"
#include "filters/SamplerGrab.h"
#include "filters/SourceRTP.h"
#include "rtp/RTPDefs.h"
#include "rtp/RTPSession.h"
#include "streams/StreamManagers.h"
#include "util/AVLogger.h"

namespace RAVO {

class CStrevo {
public:
    // Indexes into m_config (the configuration text's values 1..14).
    enum {
        CFG_FPS = 0,
        CFG_VIDEO_BITRATE = 1,
        CFG_AUDIO_BITRATE = 2,
        CFG_RTP = 3,  // 8 values: RTPParam 0..7
        CFG_PLAY_WIDTH = 11,
        CFG_PLAY_HEIGHT = 12,
        CFG_MODE = 13,
        CFG_COUNT = 14
    };

    CStrevo();
    virtual ~CStrevo();  // frees nothing: the owner tears down first
    CStrevo(const CStrevo&) = delete;
    CStrevo& operator=(const CStrevo&) = delete;

    // Configuration text: 15 decimal integers separated by blanks.
    int setAvMoudleConfig(char* text);
    // 0, or -1 with a capture sender on the session, -2/-3 video graph without source or
    // started, -4/-5 the same for audio.
    int setAvMoudleConfig2(char* text);
    int setVideoConfig(VideoSetConfig* config);
    int setAudioConfig(AudioSetConfig* config);
    int setLocalIpInfo(const char* address, int port);
    int setRemoteIpInfo(const char* address, int port);
    int setRemoteIpInfo_2(const char* address, int port);

    int createRTPSession();
    int destoryRTPSession();

    // 1 when already built or when the camera did not connect, 0 when it did.
    int buildVideoCapGraph(int ssrc);
    int destoryVideoCapGraph();
    int startVideoCapGraph();
    int stopVideoCapGraph();

    int buildAudioCapGraph(int ssrc);
    int destoryAudioCapGraph();
    int startAudioCapFraph();
    int stopAudioCapGraph();

    int buildAVPlayGraph();
    int destoryAVPlayGraph();
    int startAVPlayGraph();
    int stopAVPlayerGraph();

    int addVideoStream(int id);
    int addAudioStream(int id);
    int delVideoStream(int id);
    int delAudioStream(int id);
    int subcribeVideoStream(int id);
    int subcribeAudioStream(int id);
    int unsubcribeVideoStream(int id);
    int unsubcribeAudioStream(int id);
    int muteVideoStream(int id, int on);
    int muteAudioStream(int id, int on);
    int muteAudioStreamAll(int on);

    // Library-wide; null switches the trace off.
    static void setAVLogger(IAVLogger* logger);

    CSourceAudioCapBuf* m_pAudioSource;
    CSourceVideoCapBuf* m_pVideoSource;
    CResamplerVideo* m_pResampler;
    CSamplerGrabVideo* m_pCapVideoGrabber;
    CSampleGrabAudio* m_pCapAudioGrabber;
    CVideoEncoderFilter* m_pVideoEncoder;
    CAudioEncoderFilter* m_pAudioEncoder;
    CRTPRenderFilter* m_pVideoRender;
    CRTPRenderFilter* m_pAudioRender;
    CRTPSession* m_pRTPSession;
    CSourceRTP* m_pSourceRTP;
    CVideoStreamManager* m_pVideoManager;
    CAudioStreamManager* m_pAudioManager;
    CSamplerGrabVideo* m_pPlayVideoGrabber;
    CSampleGrabAudio* m_pPlayAudioGrabber;
    char m_szLocalIp[32];
    char m_szRemoteIp[32];
    int m_nLocalPort;
    int m_nRemotePort;
    VideoSetConfig m_videoConfig;
    AudioSetConfig m_audioConfig;
    int m_config[CFG_COUNT];
    int m_bVideoBuilt;
    int m_bAudioBuilt;
    int m_bPlayBuilt;
    int m_bConfigLoaded;

private:
    void resetConfig();
    void overlayVideoConfig();
    int videoState();
    int audioState();
};

}  // namespace RAVO
