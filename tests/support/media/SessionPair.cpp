#include "SessionPair.h"

#include "rtp/RTPReceiver.h"

namespace mivora_test {

SessionPair::SessionPair(MediaRelay& relay, int ssrc, RAVO::IGetRtpFrameCallBack* frames,
                         const std::function<void(RAVO::RTPParam&)>& tune) {
    char addr[] = "127.0.0.1";
    bool created = true;
    for (RAVO::CRTPSession* s : {&speaker, &listener}) {
        s->init();
        created = s->createSession(addr, 0) == 0 && created;
        s->setRemoteServerAddr2(addr, relay.Port());
        if (tune) tune(*s->getParam());
    }
    listener.setGetRtpFrameCB(frames);
    listener.createRTPReceiver(ssrc, RTP_PT_VIDEO)->setSubscribed(1);
    listener.Subscribe(ssrc, RTP_PT_VIDEO);
    listener.Subscribe(ssrc, RTP_PT_VIDEO);
    speaker.createRTPSender(ssrc, RTP_PT_VIDEO, 1);
    // Operation 1 is a registration, 2 a subscription; each reaches the relay twice.
    const uint32_t id = static_cast<uint32_t>(ssrc);
    m_joined = relay.WaitUntil([&] {
        return relay.CountControls(1, id, RTP_PT_VIDEO) >= 2 &&
               relay.CountControls(2, id, RTP_PT_VIDEO) >= 2;
    }) && created;
}

}  // namespace mivora_test
