// The kernel's notifications pass four lists that must agree: the dispatch table that
// posts them (comm/kernel/dispatch/Dispatch.cpp), the copies their receivers free
// (comm/kernel/NotificationCopy.cpp), the range a going window frees them from
// (FreePendingCopies) and the lobby's relay rows (client/lobby/LobbyRelay.cpp). A
// notification one of them misses leaks its copy, is posted and refused, or is relayed
// from nowhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kernel/NotificationCopy.h"
#include "kernel/dispatch/Dispatch.h"
#include "kernel/dispatch/Handlers.h"
#include "lobby/LobbyRelay.h"
#include "lobby/WndLobby.h"

namespace {

using comm::dispatch::AnswerEntry;

// Program messages the relay rows hand on, each posted by its owner, not the kernel.
const UINT kProgramOwn[] = {
    UM_RELOAD_AUDIO_DEVICE,  // lobby/WndLobby.h: the sound devices changed
};

bool Has(const std::vector<UINT>& ids, UINT id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool ProgramOwn(UINT id) {
    return std::find(std::begin(kProgramOwn), std::end(kProgramOwn), id) != std::end(kProgramOwn);
}

bool Freed(UINT id) {
    const comm::NotificationRange range = comm::PendingCopyRange();
    return id >= range.first && id <= range.last;
}

bool PostsItsPayload(const AnswerEntry& e) {
    return e.handler == comm::dispatch::PostCopy0 || e.handler == comm::dispatch::PostCopyRoom0 ||
           e.handler == comm::dispatch::PostCopyIfRoom0;
}

TEST(NotificationLists, EveryNotificationTheDispatchPostsIsFreedWithAGoingWindow) {
    for (UINT id : comm::dispatch::PostedNotifications())
        EXPECT_TRUE(Freed(id)) << id << " lies outside the range a going window frees";
}

TEST(NotificationLists, EveryCopyIsOneTheDispatchPosts) {
    const std::vector<UINT>& posted = comm::dispatch::PostedNotifications();
    for (UINT id : comm::CopyCarryingNotifications()) {
        EXPECT_TRUE(Has(posted, id))
            << id << " is listed as a copy but the dispatch never posts it";
        EXPECT_TRUE(Freed(id)) << id;
    }
}

// Such a row's copy under an id off the copy list is refused by the dispatch: the
// window would never hear of the answer.
TEST(NotificationLists, RowsThatPostTheirPayloadPostACopyCarryingNotification) {
    for (const AnswerEntry& e : comm::dispatch::AnswerTable()) {
        if (!PostsItsPayload(e)) continue;
        EXPECT_TRUE(comm::NotificationCarriesCopy(e.msg))
            << e.mainCmd << "/" << e.subCmd << " posts its payload as " << e.msg;
    }
}

// A payload row reads lParam as the copy, a value row as a number: each needs the
// notification to be what it takes it for, and one the kernel (or its owner) posts.
TEST(NotificationLists, TheLobbyRelaysWhatIsPostedAsWhatItCarries) {
    const std::vector<UINT>& posted = comm::dispatch::PostedNotifications();
    for (UINT id : RelayedPayloadNotifications()) {
        EXPECT_TRUE(Has(posted, id)) << id << " is relayed but never posted";
        EXPECT_TRUE(comm::NotificationCarriesCopy(id)) << id << " is relayed as a payload";
    }
    for (UINT id : RelayedValueNotifications()) {
        EXPECT_TRUE(Has(posted, id) || ProgramOwn(id)) << id << " is relayed but never posted";
        EXPECT_FALSE(comm::NotificationCarriesCopy(id)) << id << " carries a copy";
    }
}

}  // namespace
