// Two real programs meet in the local world (build/tools/localworld on free ports):
// the first on the test's display, the second on a virtual display of its own, each
// from its own copy of the laid-out program folder with its own per-user folders,
// the test-pattern camera and a test tone as its microphone. A pointer and a
// keyboard from outside do what a person would, scene by scene from a table: who
// clicks what, and what each screen and the world's log show after. Each group of
// scenes has its own world, programs and displays, so CTest runs the groups side by
// side. Screenshots of every scene go to the artifacts; both programs close and the
// world ends with 0.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display.h"
#include "processes.h"
#include "program_session.h"

namespace twoprograms {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// The two sides of a group: `actor` clicks, `other` watches.
struct Stage {
    LocalWorldProcess& world;
    ProgramSession& actor;
    ProgramSession& other;
};

enum class Who { First, Second };

struct Scene {
    const char* name;
    Who actor;
    // The clicks and keys; false when a step found nothing to click.
    std::function<bool(Stage&)> act;
    // Lines the world logs after, "{actor}" and "{other}" standing for their ids.
    std::vector<std::string> worldLines;
    // What each screen shows after (EXPECTs).
    std::function<void(Stage&)> check;
    // The scenes after this one need it.
    bool needed = false;
};

struct Group {
    const char* name;
    Account first, second;
    bool windowManager;  // openbox on both displays
    std::vector<Scene> scenes;
};

// For test names and failure messages.
void PrintTo(const Group& group, std::ostream* out) {
    *out << group.name;
}

const Account kOwner{10001, "111111", 440}, kMember{10002, "222222", 660},
    kManager{10004, "444444", 550};

// Places in the room window, from the skin's layout: the chat tool row's buttons from
// the window's bottom left, the title row's from its right.
const QPoint kLoudspeakerButton(468, 66), kAnnouncementButton(498, 66);
constexpr int kRoomSettingsFromRight = 190, kMinimiseFromRight = 82;
// The loudspeaker and announcement windows share a layout: the text field and "发送".
const QRect kSenderField(11, 41, 358, 120);
const QPoint kSenderSend(338, 208);
// The room settings window: the room's name and "提交".
const QRect kRoomNameField(95, 81, 198, 24);
const QPoint kRoomSettingsSubmit(499, 414);
// The member menu's entries "发送赠言道具" and "用户盖章", from its top.
constexpr int kWordGiftEntryY = 78, kSealEntryY = 100;
// The small windows' close button (seal, loudspeaker, word gift), from their top
// right; the room settings window's.
const QPoint kSmallWindowClose(17, 16), kRoomSettingsClose(17, 17);
// The seal window: the first seal of its first tab, and the minutes it lasts.
const QPoint kFirstSeal(36, 88);
const QRect kSealMinutes(256, 186, 64, 20);
// A seal's picture on a member's row: a few hundred pixels of the list's two rows.
constexpr double kSealShare = 0.004;
// The word gift window: its first gift, the words and "赠送".
const QPoint kFirstWordGift(40, 95), kWordGiftSend(246, 278);
const QRect kWordsField(47, 233, 302, 22);

std::string Fill(std::string text, const Stage& s) {
    for (const auto& [key, id] : {std::pair<std::string, int>{"{actor}", s.actor.id()},
                                  std::pair<std::string, int>{"{other}", s.other.id()}})
        for (size_t at = 0; (at = text.find(key, at)) != std::string::npos;)
            text.replace(at, key.size(), std::to_string(id));
    return text;
}

// How a gift's notice ran through the gift strip of one program.
struct StripRun {
    int widest = 0;          // the widest it showed at once
    QImage widestShown;      // the strip then
    int span = 0;            // the columns it covered at one time or another
    bool stopped = false;    // the strip held still again within the bound
    bool seenWhole = false;  // some grab showed it clear of both ends of the strip
};

// The columns of the gift strip in the band GiftStrip() grabs: the layout places it at
// 200..600 of the title row, and its notices start there.
constexpr int kStripColumns = 400;
// A notice's first or last column this near an end of the strip reaches it (a gap
// between two words may fall there).
constexpr int kStripEndSlack = 6;

// From the first to the last column of `now` with a pixel clearly off `before` (a
// notice's extent, the gaps between its words included); the columns are marked in
// `seen`.
int ExtentChanged(const QImage& before, const QImage& now, std::vector<bool>& seen,
                  bool* whole = nullptr) {
    if (whole) *whole = false;
    if (before.size() != now.size() || before.isNull()) return 0;
    seen.resize(static_cast<size_t>(now.width()));
    int first = -1, last = -1;
    for (int x = 0; x < now.width(); ++x)
        for (int y = 0; y < now.height(); ++y) {
            const QRgb p = before.pixel(x, y), q = now.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 48 || std::abs(qGreen(p) - qGreen(q)) > 48 ||
                std::abs(qBlue(p) - qBlue(q)) > 48) {
                if (first < 0) first = x;
                last = x;
                seen[static_cast<size_t>(x)] = true;
                break;
            }
        }
    if (whole && first >= 0)
        *whole = first > kStripEndSlack && last < kStripColumns - 1 - kStripEndSlack;
    return first < 0 ? 0 : last - first + 1;
}

// Watches both programs' gift strips, from pictures taken before the gift, until each
// holds still (the same picture over several grabs, while a running strip moves every
// 60 ms) after a notice showed.
std::vector<StripRun> WatchStrips(const std::vector<std::pair<ProgramSession*, QImage>>& sides) {
    constexpr int kStillGrabs = 6;
    std::vector<StripRun> runs(sides.size());
    std::vector<QImage> last(sides.size());
    std::vector<int> still(sides.size(), 0);
    std::vector<std::vector<bool>> seen(sides.size());
    WaitFor(
        [&] {
            bool all = true;
            for (size_t i = 0; i < sides.size(); ++i) {
                if (runs[i].stopped) continue;
                const QImage now = sides[i].first->GiftStrip();
                bool whole = false;
                const int covered = ExtentChanged(sides[i].second, now, seen[i], &whole);
                runs[i].seenWhole = runs[i].seenWhole || whole;
                if (covered > runs[i].widest) {
                    runs[i].widest = covered;
                    runs[i].widestShown = now;
                }
                still[i] = !last[i].isNull() && now == last[i] ? still[i] + 1 : 0;
                last[i] = now;
                runs[i].stopped = runs[i].widest > 0 && still[i] >= kStillGrabs;
                all = all && runs[i].stopped;
            }
            return all;
        },
        seconds(150));
    for (size_t i = 0; i < runs.size(); ++i)
        runs[i].span = static_cast<int>(std::count(seen[i].begin(), seen[i].end(), true));
    return runs;
}

// Clicks the close button of a window of the program, `fromTopRight` from the
// window's top right corner, as a person would; true once the window is gone.
bool CloseWithItsButton(ProgramSession& p, unsigned long window, const QPoint& fromTopRight) {
    const QRect at = p.display().Geometry(window);
    if (at.isEmpty() || !p.display().Shown(window)) return false;
    p.display().Click(at.right() - fromTopRight.x(), at.y() + fromTopRight.y());
    return WaitFor([&] { return !p.display().Shown(window); }, seconds(15));
}

// Whether the hint pane shows a line it did not show in `before` (a full pane scrolls
// rather than darkens).
bool NewHint(ProgramSession& p, const QImage& before) {
    const QImage now = p.HintPane();
    return !now.isNull() && Difference(now, before) > 0.005;
}

// Scenes every group starts and ends with.
Scene LogOnBoth() {
    return {"log-on",
            Who::First,
            [](Stage& s) { return s.actor.LogOn() && s.other.LogOn(); },
            {"user {actor} logged on", "user {other} logged on"},
            nullptr,
            true};
}

Scene JoinBoth() {
    return {"join-room",
            Who::First,
            [](Stage& s) {
                return s.actor.JoinRoom(1001, "闲聊一号") && s.other.JoinRoom(1001, "闲聊一号");
            },
            {"user {actor} joined room 1001", "user {other} joined room 1001"},
            nullptr,
            true};
}

// The actor says a line: the world passes it on, the other's chat shows it.
Scene Say(Who actor, const char* text) {
    return {"say",
            actor,
            [text](Stage& s) { return s.actor.Say(text, s.other); },
            {"chat of kind 0 from user {actor}"},
            nullptr};
}

// The actor takes public microphone `number`: the other sees its camera and hears its
// tone.
Scene TakeMicrophoneAndBeHeard(const char* name, Who actor, int number, int toneHz) {
    return {
        name,
        actor,
        [number](Stage& s) {
            if (!s.actor.TakePublicMicrophone(number)) return false;
            if (!s.world.WaitLine("user " + std::to_string(s.actor.id()) +
                                  " took public microphone " + std::to_string(number)))
                return false;
            s.actor.UnmuteMicrophone();
            return true;
        },
        {"user {actor} took public microphone " + std::to_string(number)},
        [toneHz](Stage& s) {
            int match = 0;
            const auto shows = [&] { return (match = s.other.BestPaneMatch("")) >= 85; };
            if (!WaitFor(shows, seconds(30))) {
                // Late or never tell different faults apart (a slow machine, or a member's
                // media that was never opened): watch a while longer before failing.
                const int first = match;
                const auto start = std::chrono::steady_clock::now();
                const bool late = WaitFor(shows, seconds(60));
                const auto after = std::chrono::duration_cast<seconds>(
                    std::chrono::steady_clock::now() - start + seconds(30));
                ADD_FAILURE() << s.other.id()
                              << "'s panes show no test pattern in 30 s (best match " << first
                              << "); "
                              << (late ? "it came after " + std::to_string(after.count()) + " s"
                                       : std::string("it did not come in 90 s"))
                              << "; the video zone as it laid it out:\n"
                              << s.other.LogLines("zone-width");
            }
            double heard = 0;
            EXPECT_TRUE(WaitFor([&] { return std::abs((heard = s.other.HeardHz()) - toneHz) < 20; },
                                seconds(30)))
                << s.other.id() << "'s speaker plays " << heard << " Hz, not " << toneHz;
        }};
}

// A gift from the actor to the other: the world moves the price from one account to
// the other; the figures in both headers change and both chat panes tell of it.
Scene Gift() {
    struct Before {
        QImage actor, other;
        int actorInk = 0, otherInk = 0;
    };
    auto before = std::make_shared<Before>();
    return {"gift",
            Who::First,
            [before](Stage& s) {
                *before = {s.actor.Balances(), s.other.Balances(), s.actor.ChatInk(),
                           s.other.ChatInk()};
                if (before->actor.isNull() || before->other.isNull()) return false;
                s.actor.SendFirstGiftToOtherMember();
                return true;
            },
            {"from {actor} to {other} for"},
            [before](Stage& s) {
                // Even a "1" more is a dozen pixels.
                auto changed = [](ProgramSession& p, const QImage& was) {
                    return FiguresChanged(was, p.Balances()) >= 6;
                };
                EXPECT_TRUE(WaitFor([&] { return changed(s.actor, before->actor); }, seconds(40)))
                    << s.actor.id() << "'s balances stay as they were";
                EXPECT_TRUE(WaitFor([&] { return changed(s.other, before->other); }, seconds(40)))
                    << s.other.id() << "'s balances stay as they were";
                EXPECT_TRUE(WaitFor(
                    [&] {
                        return s.actor.ChatInk() > before->actorInk + 150 &&
                               s.other.ChatInk() > before->otherInk + 150;
                    },
                    seconds(20)))
                    << "the gift is not shown on both sides";
            }};
}

// The actor sends a loudspeaker line: the world charges what the window says (10000),
// the actor's figures change, both loudspeaker panels show the line.
Scene Loudspeaker() {
    struct Before {
        long long coins = -1;
        QImage figures;
        int actorInk = 0, otherInk = 0;
    };
    auto before = std::make_shared<Before>();
    auto dialog = std::make_shared<unsigned long>(0);
    return {"loudspeaker",
            Who::First,
            [before, dialog](Stage& s) {
                *before = {s.world.Coins(s.actor.id()), s.actor.Balances(),
                           s.actor.LoudspeakerInk(), s.other.LoudspeakerInk()};
                *dialog = s.actor.OpenRoomDialog(kLoudspeakerButton);
                if (!*dialog) return false;
                s.actor.Shot("loudspeaker-window");
                return s.actor.FillAndClick(*dialog, kSenderField, "loudspeaker line", kSenderSend);
            },
            {"loudspeaker line of user {actor} sent to every room"},
            [before, dialog](Stage& s) {
                EXPECT_EQ(s.world.Coins(s.actor.id()), before->coins - 10000)
                    << "the loudspeaker is not charged as its window says (10000)";
                EXPECT_TRUE(WaitFor(
                    [&] { return FiguresChanged(before->figures, s.actor.Balances()) >= 6; },
                    seconds(20)))
                    << s.actor.id() << "'s balances stay as they were";
                EXPECT_TRUE(WaitFor(
                    [&] {
                        return s.actor.LoudspeakerInk() > before->actorInk + 150 &&
                               s.other.LoudspeakerInk() > before->otherInk + 150;
                    },
                    seconds(20)))
                    << "the loudspeaker line is not shown on both sides";
                if (s.actor.display().Shown(*dialog)) {
                    EXPECT_TRUE(CloseWithItsButton(s.actor, *dialog, kSmallWindowClose))
                        << "the loudspeaker window's close button did not close it";
                }
            }};
}

// A manager sends an announcement: both hint panes show it; the window is closed
// with its own button.
Scene Announcement() {
    auto before = std::make_shared<std::pair<QImage, QImage>>();
    auto dialog = std::make_shared<unsigned long>(0);
    return {
        "announcement",
        Who::First,
        [before, dialog](Stage& s) {
            *before = {s.actor.HintPane(), s.other.HintPane()};
            *dialog = s.actor.OpenRoomDialog(kAnnouncementButton);
            if (!*dialog) return false;
            s.actor.Shot("announcement-window");
            return s.actor.FillAndClick(*dialog, kSenderField, "announcement line", kSenderSend);
        },
        {"chat of kind 1 from user {actor}"},
        [before, dialog](Stage& s) {
            EXPECT_TRUE(WaitFor(
                [&] { return NewHint(s.actor, before->first) && NewHint(s.other, before->second); },
                seconds(20)))
                << "the announcement is not shown on both sides";
            EXPECT_TRUE(CloseWithItsButton(s.actor, *dialog, kSmallWindowClose))
                << "the announcement window's close button did not close it";
        }};
}

// The owner renames the room in Chinese: the hall page lists the new name, the owner
// is told it is done; the settings window is closed with its own button.
Scene Rename() {
    auto hints = std::make_shared<QImage>();
    auto dialog = std::make_shared<unsigned long>(0);
    return {"rename",
            Who::First,
            [hints, dialog](Stage& s) {
                *hints = s.actor.HintPane();
                *dialog = s.actor.OpenRoomTitleButton(kRoomSettingsFromRight);
                if (!*dialog) return false;
                s.actor.Shot("room-settings");
                return s.actor.FillAndClick(*dialog, kRoomNameField, "欢乐一号",
                                            kRoomSettingsSubmit, TextWidth("欢乐一号", 13));
            },
            {"room 1001 information changed"},
            [hints, dialog](Stage& s) {
                EXPECT_NE(s.world.Page("hall.php").find("欢乐一号"), std::string::npos)
                    << "the hall page does not list the new name";
                EXPECT_TRUE(WaitFor([&] { return NewHint(s.actor, *hints); }, seconds(20)))
                    << s.actor.id() << " is not told the change is done";
                EXPECT_TRUE(CloseWithItsButton(s.actor, *dialog, kRoomSettingsClose))
                    << "the settings window's close button did not close it";
            }};
}

// A seal from the actor on the other: its window shows the catalog's minutes for seal
// 1 (10), the world stamps it, both hint panes tell of it and both member lists show
// it on the other's row.
Scene Seal() {
    struct Before {
        QImage actorHints, otherHints, actorRows, otherRows;
    };
    auto before = std::make_shared<Before>();
    auto dialog = std::make_shared<unsigned long>(0);
    return {"seal",
            Who::First,
            [before, dialog](Stage& s) {
                *before = {s.actor.HintPane(), s.other.HintPane(), s.actor.MemberRow(),
                           s.other.MemberRow()};
                *dialog = s.actor.OpenMemberMenuEntry(kSealEntryY);
                if (!*dialog) return false;
                const QRect at = s.actor.display().Geometry(*dialog);
                const QPoint seal = at.topLeft() + kFirstSeal;
                s.actor.display().MoveTo(seal.x(), seal.y());
                const QRect minutes = kSealMinutes.translated(at.topLeft());
                const int width = TextWidth("10", 12);
                int shown = 0;
                EXPECT_TRUE(WaitFor(
                    [&] {
                        shown = InkWidthIn(s.actor.Shot("seal-window"), minutes);
                        return std::abs(shown - width) <= 2;
                    },
                    seconds(15)))
                    << "the seal window shows " << shown << " pixels of minutes, not \"10\" ("
                    << width << ")";
                s.actor.display().Click(seal.x(), seal.y());
                return true;
            },
            {"seal 1 on user {other}"},
            [before, dialog](Stage& s) {
                EXPECT_TRUE(WaitFor(
                    [&] {
                        return NewHint(s.actor, before->actorHints) &&
                               NewHint(s.other, before->otherHints);
                    },
                    seconds(20)))
                    << "the seal is not told on both sides";
                EXPECT_TRUE(WaitFor(
                    [&] {
                        return Difference(s.actor.MemberRow(), before->actorRows) > kSealShare &&
                               Difference(s.other.MemberRow(), before->otherRows) > kSealShare;
                    },
                    seconds(20)))
                    << "the member lists do not show the seal";
                EXPECT_TRUE(CloseWithItsButton(s.actor, *dialog, kSmallWindowClose))
                    << "the seal window's close button did not close it";
            }};
}

// The widest notice of the last plain gift, per side, for the word gift after it.
struct NoticeWidths {
    int actor = 0, other = 0;
};

// A gift from the actor to the other, watched in both gift strips: its notice runs
// through and the strip stops again.
Scene GiftNotice(std::shared_ptr<NoticeWidths> widths) {
    auto before = std::make_shared<std::pair<QImage, QImage>>();
    return {"gift-notice",
            Who::First,
            [before](Stage& s) {
                *before = {s.actor.GiftStrip(), s.other.GiftStrip()};
                s.actor.SendFirstGiftToOtherMember();
                return true;
            },
            {"from {actor} to {other} for"},
            [before, widths](Stage& s) {
                const std::vector<StripRun> runs =
                    WatchStrips({{&s.actor, before->first}, {&s.other, before->second}});
                for (size_t i = 0; i < runs.size(); ++i) {
                    ProgramSession& p = i == 0 ? s.actor : s.other;
                    p.Keep(runs[i].widestShown, "gift-strip");
                    const int id = p.id();
                    EXPECT_GT(runs[i].widest, 100) << id << "'s gift strip shows no notice";
                    EXPECT_TRUE(runs[i].stopped) << id << "'s gift strip does not stop";
                }
                *widths = {runs[0].widest, runs[1].widest};
            }};
}

// A word gift of the same gift: both gift strips show the notice with its words, as
// much wider than the plain gift's as the words are, and stop again.
Scene WordGift(std::shared_ptr<NoticeWidths> plain) {
    auto before = std::make_shared<std::pair<QImage, QImage>>();
    return {"word-gift",
            Who::First,
            [before](Stage& s) {
                *before = {s.actor.GiftStrip(), s.other.GiftStrip()};
                const unsigned long dialog = s.actor.OpenMemberMenuEntry(kWordGiftEntryY);
                if (!dialog) return false;
                const QRect at = s.actor.display().Geometry(dialog);
                s.actor.display().Click(at.x() + kFirstWordGift.x(), at.y() + kFirstWordGift.y());
                s.actor.Shot("word-gift-window");
                if (!s.actor.FillAndClick(dialog, kWordsField, "生日快乐", kWordGiftSend,
                                          TextWidth("生日快乐", 12)))
                    return false;
                return CloseWithItsButton(s.actor, dialog, kSmallWindowClose);
            },
            {"from {actor} to {other} for"},
            [before, plain](Stage& s) {
                const std::vector<StripRun> runs =
                    WatchStrips({{&s.actor, before->first}, {&s.other, before->second}});
                // The plain gift's notice fits the strip; its words make this one wider
                // than the strip, so no grab shows it whole: each reaches an end of the
                // strip. That holds for every grab, however few a loaded machine takes,
                // where the moment the notice covers the whole strip may be missed.
                // The strip's face is the title's: between the skin's small face and its
                // large bold one.
                const int most = TextWidth(" 生日快乐", 15, true) + 12;
                const int plainWidths[] = {plain->actor, plain->other};
                for (size_t i = 0; i < runs.size(); ++i) {
                    ProgramSession& p = i == 0 ? s.actor : s.other;
                    p.Keep(runs[i].widestShown, "word-gift-strip");
                    const int id = p.id();
                    const int more = runs[i].widest - plainWidths[i];
                    EXPECT_GT(runs[i].widest, 100) << id << "'s gift strip shows no notice";
                    EXPECT_FALSE(runs[i].seenWhole)
                        << id << "'s gift strip shows the word gift's notice whole, as narrow as "
                        << runs[i].widest << " columns: its words are missing";
                    EXPECT_LE(more, most) << id << "'s word gift notice is " << more
                                          << " columns wider than the plain one";
                    EXPECT_TRUE(runs[i].stopped) << id << "'s gift strip does not stop";
                }
            }};
}

// A dialog opened over the room stays above it after a click into the room.
Scene DialogStaysAbove() {
    struct Seen {
        unsigned long dialog = 0;
        QImage shown, member;
    };
    auto seen = std::make_shared<Seen>();
    return {"dialog-stays-above",
            Who::First,
            [seen](Stage& s) {
                seen->dialog = s.actor.OpenRoomDialog(kLoudspeakerButton);
                if (!seen->dialog) return false;
                const QRect at = s.actor.display().Geometry(seen->dialog);
                seen->shown = s.actor.Shot("dialog-open").copy(at);
                seen->member = s.actor.MemberRow();
                // Its own row of the member list, beside the dialog: the row picked out
                // shows the click was taken in.
                const QPoint own = s.actor.MemberPoint(false);
                if (own.isNull()) return false;
                s.actor.display().Click(own.x(), own.y());
                return WaitFor([&] { return Difference(s.actor.MemberRow(), seen->member) > 0.05; },
                               seconds(15));
            },
            {},
            [seen](Stage& s) {
                const QRect at = s.actor.display().Geometry(seen->dialog);
                ASSERT_TRUE(s.actor.display().Shown(seen->dialog))
                    << "the dialog is gone after the click into the room";
                const double difference =
                    Difference(s.actor.Shot("after-click").copy(at), seen->shown);
                EXPECT_LT(difference, 0.02)
                    << "the room covers the dialog (" << difference * 100 << "% of it changed)";
                EXPECT_TRUE(CloseWithItsButton(s.actor, seen->dialog, kSmallWindowClose))
                    << "the dialog's close button did not close it";
            }};
}

// The room is minimised and restored: its panes fill the video zone as before.
Scene MinimiseAndRestore() {
    auto zone = std::make_shared<QImage>();
    return {"minimise-restore",
            Who::First,
            [zone](Stage& s) {
                *zone = s.actor.PaneZone();
                const QRect at = s.actor.RoomWindow();
                s.actor.display().Click(at.right() - kMinimiseFromRight, at.y() + 22);
                if (!WaitFor([&] { return s.actor.RoomWindow().isEmpty(); }, seconds(15)))
                    return false;
                s.actor.Shot("minimised");
                // What a task bar does: the window manager activates the window.
                s.actor.display().Activate(s.actor.RoomWindowId());
                return WaitFor([&] { return !s.actor.RoomWindow().isEmpty(); }, seconds(15));
            },
            {},
            [zone](Stage& s) {
                double difference = 1;
                EXPECT_TRUE(WaitFor(
                    [&] { return (difference = Difference(s.actor.PaneZone(), *zone)) < 0.02; },
                    seconds(15)))
                    << "after the restore the panes differ from before in " << difference * 100
                    << "% of the zone";
            }};
}

// The owner puts the member out: the member is back in the lobby, told so.
Scene Kick() {
    auto before = std::make_shared<std::vector<unsigned long>>();
    return {"kick",
            Who::First,
            [before](Stage& s) {
                *before = s.other.VisibleWindows();
                return s.actor.KickOtherMember();
            },
            {"user {other} put out of room 1001 by {actor}"},
            [before](Stage& s) {
                EXPECT_TRUE(s.other.BackInLobby(30)) << s.other.Describe();
                const std::string text =
                    "您被 " + std::to_string(s.actor.id()) + " 踢出了 1001 房间.";
                EXPECT_NEAR(s.other.AnswerMessageBox(*before), TextWidth(text, 13), 4)
                    << s.other.id() << " is not shown the kick text";
            }};
}

std::vector<Group> Groups() {
    auto plainNotice = std::make_shared<NoticeWidths>();
    return {
        {"OwnerAndMember",
         kOwner,
         kMember,
         false,
         {LogOnBoth(), JoinBoth(), Say(Who::First, "hello from 10001"),
          Say(Who::Second, "hi 10001, 10002 here"),
          TakeMicrophoneAndBeHeard("member-on-microphone", Who::Second, 1, kMember.toneHz),
          TakeMicrophoneAndBeHeard("owner-on-microphone", Who::First, 2, kOwner.toneHz), Gift(),
          DialogStaysAbove(), Loudspeaker(), Rename(), Kick()}},
        {"ManagerAndMember",
         kManager,
         kMember,
         false,
         {LogOnBoth(), JoinBoth(),
          TakeMicrophoneAndBeHeard("manager-on-microphone", Who::First, 3, kManager.toneHz),
          Announcement(), Seal(), GiftNotice(plainNotice), WordGift(plainNotice)}},
        {"UnderWindowManager",
         kOwner,
         kMember,
         true,
         {LogOnBoth(), JoinBoth(), DialogStaysAbove(), MinimiseAndRestore()}},
    };
}

class TwoProgramsTest : public ::testing::TestWithParam<Group> {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "no X display (CTest runs this on Xvfb)";
        if (!fs::exists(MIVORA_BINARY_DIR "/program/mivora"))
            GTEST_SKIP() << "the program folder (build/program) is not built";
        char pattern[] = "/tmp/mivora-two-programs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;
        // Qt's own per-user folder, for the screen grabs.
        fs::create_directories(work / "runtime");
        fs::permissions(work / "runtime", fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);
        artifacts = fs::path(MIVORA_ARTIFACT_DIR) / GetParam().name;
        fs::remove_all(artifacts);
        fs::create_directories(artifacts);
        first = std::make_unique<Display>(display);
        second = Display::StartVirtual((work / "xvfb.log").string());
        ASSERT_FALSE(second->Name().empty()) << ReadFile((work / "xvfb.log").string());
        if (GetParam().windowManager) {
            if (!Display::HasWindowManager())
                GTEST_SKIP() << "openbox is not installed (scripts/install-deps.sh installs it)";
            std::string why;
            ASSERT_TRUE(first->StartWindowManager((work / "openbox-1.log").string(), why) &&
                        second->StartWindowManager((work / "openbox-2.log").string(), why))
                << "no window manager for the scenes under one: " << why;
        }
        ASSERT_TRUE(world.Start(work)) << world.Log();
    }

    void TearDown() override {
        for (auto* p : {&a, &b})
            if (*p) (*p)->KeepLog(artifacts);
        if (!work.empty()) {
            std::error_code ignored;
            fs::copy_file(world.LogPath(), artifacts / "world.log",
                          fs::copy_options::overwrite_existing, ignored);
        }
        a.reset();
        b.reset();
        world.Stop();
        second.reset();
        first.reset();
        if (!work.empty() && !HasFailure()) fs::remove_all(work);
    }

    std::unique_ptr<ProgramSession> StartProgram(const Account& account, Display& display) {
        auto p = std::make_unique<ProgramSession>(account, display, world, work, artifacts);
        EXPECT_TRUE(p->Start()) << account.id;
        return p;
    }

    fs::path work, artifacts;
    LocalWorldProcess world;
    std::unique_ptr<Display> first, second;
    std::unique_ptr<ProgramSession> a, b;
};

TEST_P(TwoProgramsTest, RealScenes) {
    const Group& group = GetParam();
    a = StartProgram(group.first, *first);
    b = StartProgram(group.second, *second);
    for (const Scene& scene : group.scenes) {
        SCOPED_TRACE(scene.name);
        Stage stage{world, scene.actor == Who::First ? *a : *b,
                    scene.actor == Who::First ? *b : *a};
        std::vector<int> seen;
        for (const std::string& line : scene.worldLines)
            seen.push_back(world.CountLines(Fill(line, stage)));
        const bool acted = scene.act(stage);
        EXPECT_TRUE(acted) << scene.name << ": a step found nothing to click"
                           << stage.actor.Describe();
        for (size_t i = 0; acted && i < scene.worldLines.size(); ++i) {
            const std::string line = Fill(scene.worldLines[i], stage);
            EXPECT_TRUE(world.WaitLine(line, seen[i] + 1))
                << scene.name << ": the world did not log \"" << line << "\"\n"
                << world.Log();
        }
        if (acted && scene.check) scene.check(stage);
        a->Shot(scene.name);
        b->Shot(scene.name);
        if (scene.needed && HasFailure()) {
            ADD_FAILURE() << "the scenes after " << scene.name << " need it" << a->Describe()
                          << b->Describe();
            return;
        }
    }
    for (auto* p : {a.get(), b.get()}) EXPECT_EQ(p->Close(), 0) << p->Describe();
    EXPECT_EQ(world.Stop(), 0) << world.Log();
}

INSTANTIATE_TEST_SUITE_P(, TwoProgramsTest, ::testing::ValuesIn(Groups()),
                         [](const ::testing::TestParamInfo<Group>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace twoprograms
