// A speaking and a listening session of one video stream through the stand-in relay
// on 127.0.0.1, set up as the room's members' sessions are: the listener subscribes
// (twice, as a room window does) and hands whole frames to `frames`, the speaker
// registers; both wait until the relay heard all of it. Neither is started.
#pragma once

#include <functional>

#include "MediaRelay.h"
#include "rtp/RTPSession.h"

namespace mivora_test {

class SessionPair {
public:
    // `tune` sets each session's parameters (the pacing, say) before the stream is set up.
    SessionPair(MediaRelay& relay, int ssrc, RAVO::IGetRtpFrameCallBack* frames,
                const std::function<void(RAVO::RTPParam&)>& tune = {});
    SessionPair(const SessionPair&) = delete;
    SessionPair& operator=(const SessionPair&) = delete;

    // Both sessions were created and the relay heard the registration and subscriptions.
    bool Joined() const { return m_joined; }

    RAVO::CRTPSession speaker;
    RAVO::CRTPSession listener;

private:
    bool m_joined = false;
};

}  // namespace mivora_test
