#include "dialogs/WndRoomAudioSetting2.h"

const SkinWndTraits& CWndRoomAudioSetting2::Traits() const {
    static const SkinWndTraits traits{
        "CWndRoomAudioSetting2", L"WndRoomAudioSetting2.xml", kMsgStandard,
        ScClose::kClose,         Lifetime::kSelfDeleting,     false};
    return traits;
}
