// What the two-program test does in a room besides chat: microphones, sound, gifts
// and a kick, with places from the skin's room layout (the room fills the screen).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "pattern_match.h"
#include "program_session.h"

namespace twoprograms {

namespace fs = std::filesystem;
using std::chrono::seconds;

namespace {

const QPoint kMicrophoneButton(40, 61), kMuteButton(112, 61);
// The member list's rows: 42 pixels each from the first's middle; the alias at the
// left of the row's top half, in red for the local user.
constexpr int kMemberX = 63, kFirstMemberY = 157, kMemberRowHeight = 42;
const QRect kAliasInRow(44, -16, 60, 16);
// The first gift of the gift panel, from the window's right edge.
constexpr int kFirstGiftFromRight = 159, kFirstGiftY = 304;
// The three public video panes.
const QRect kPanes[] = {QRect(222, 110, 287, 170), QRect(515, 110, 287, 170),
                        QRect(808, 110, 287, 170)};
// Coins and beans in the header, from the window's right edge.
constexpr int kBalancesFromRight = 470, kBalancesWidth = 160, kBalancesTop = 8,
              kBalancesHeight = 26;
// A message box: its text between the title bar and the buttons, "确定" in the
// middle of the bottom row.
constexpr int kBoxTitle = 36, kBoxButtons = 46, kBoxOkFromBottom = 27;
// Menu entries: 22 pixels each; "违规处理" in the member menu, "踢出房间" first of
// its sub-menu.
constexpr int kMenuEntry = 22, kMenuEntryMiddle = 11, kPenaltyEntryY = 256;
// The middle of the buttons of the room's title row.
constexpr int kTitleButtonY = 22;
// The loudspeaker panel at the top of the right column, from the window's right edge.
constexpr int kLoudspeakerFromRight = 180, kLoudspeakerTop = 100, kLoudspeakerWidth = 176,
              kLoudspeakerHeight = 125;
// The first member's row of the member list.
const QRect kMemberRows(2, 136, 204, 84);
// The part of the title row the gift strip runs through, short of the balances.
constexpr int kStripLeft = 200, kStripRightMargin = 490, kStripTop = 5, kStripHeight = 39;
// The three public panes together.
const QRect kPaneZone(222, 110, 873, 170);

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

// The pitch of the first channel of the last half second of a 16-bit WAV file, by
// zero crossings; 0 when shorter or not such a file.
double PitchOfEnd(const std::string& wav) {
    if (wav.size() < 44 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(36, 4, "data") != 0)
        return 0;
    const uint32_t channels = Le(wav, 22, 2), rate = Le(wav, 24, 4), bits = Le(wav, 34, 2);
    if (channels == 0 || rate == 0 || bits != 16) return 0;
    const size_t frameBytes = channels * 2, frames = (wav.size() - 44) / frameBytes;
    const size_t tail = rate / 2;
    if (frames < tail) return 0;
    auto sample = [&](size_t frame) {
        int16_t v;
        std::memcpy(&v, wav.data() + 44 + frame * frameBytes, 2);
        return v;
    };
    size_t crossings = 0;
    for (size_t f = frames - tail + 1; f < frames; ++f)
        crossings += (sample(f - 1) < 0) != (sample(f) < 0);
    return crossings / 2.0 * rate / tail;
}

}  // namespace

int FiguresChanged(const QImage& before, const QImage& now) {
    if (before.size() != now.size() || before.isNull()) return 0;
    // The figures are pale yellow on the header's blue. A gift's red notice runs
    // through the header and may cover part of them: pixels near its ink in either
    // picture are left out.
    auto red = [](QRgb p) {
        return qRed(p) > 150 && qRed(p) > qGreen(p) + 60 && qRed(p) > qBlue(p) + 60;
    };
    auto light = [](QRgb p) { return qRed(p) + qGreen(p) > 300; };
    auto nearRed = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const QPoint p(x + dx, y + dy);
                if (now.valid(p) && (red(before.pixel(p)) || red(now.pixel(p)))) return true;
            }
        return false;
    };
    int changed = 0;
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x)
            changed += light(before.pixel(x, y)) != light(now.pixel(x, y)) && !nearRed(x, y);
    return changed;
}

bool ProgramSession::TakePublicMicrophone(int number) {
    const QRect at = RoomWindow();
    if (at.isEmpty() || number < 1 || number > 3) return false;
    const std::vector<unsigned long> before = m_display.VisibleWindows();
    m_display.Click(at.x() + kMicrophoneButton.x(), at.y() + kMicrophoneButton.y());
    const unsigned long menu = m_display.WaitNewWindow(before);
    if (!menu) return false;
    const QRect entries = m_display.Geometry(menu);
    Shot("microphone-menu");
    const int y = entries.y() + kMenuEntry * (number - 1) + kMenuEntryMiddle;
    m_display.MoveTo(entries.center().x(), y);
    m_display.Click(entries.center().x(), y);
    return true;
}

unsigned long ProgramSession::OpenRoomDialog(const QPoint& fromBottomLeft) {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return 0;
    const std::vector<unsigned long> before = m_display.VisibleWindows();
    m_display.Click(at.x() + fromBottomLeft.x(), at.bottom() - fromBottomLeft.y());
    return m_display.WaitNewWindow(before);
}

unsigned long ProgramSession::OpenRoomTitleButton(int fromRight) {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return 0;
    const std::vector<unsigned long> before = m_display.VisibleWindows();
    m_display.Click(at.right() - fromRight, at.y() + kTitleButtonY);
    return m_display.WaitNewWindow(before);
}

bool ProgramSession::FillAndClick(unsigned long dialog, const QRect& field, const std::string& text,
                                  const QPoint& button, int width) {
    const QRect at = m_display.Geometry(dialog);
    if (at.isEmpty()) return false;
    if (!TypeInto(dialog, field.center(), field.adjusted(2, 2, -2, -2), text, width)) return false;
    Shot("filled");
    m_display.Click(at.x() + button.x(), at.y() + button.y());
    return true;
}

int ProgramSession::LoudspeakerInk() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return -1;
    const QImage shot = m_display.Grab((m_folder / "loudspeaker.png").string());
    return InkIn(shot, QRect(at.right() - kLoudspeakerFromRight, at.y() + kLoudspeakerTop,
                             kLoudspeakerWidth, kLoudspeakerHeight));
}

QPoint ProgramSession::MemberPoint(bool other) {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QPoint();
    const QImage shot = m_display.Grab((m_folder / "members.png").string());
    auto red = [](QRgb p) { return qRed(p) > 170 && qGreen(p) < 90 && qBlue(p) < 90; };
    // The two programs are the room's only members: the local user's row is the one
    // in red.
    for (int row = 0; row < 2; ++row) {
        const QPoint middle(at.x() + kMemberX, at.y() + kFirstMemberY + row * kMemberRowHeight);
        const QRect alias = kAliasInRow.translated(at.x(), middle.y());
        int reds = 0;
        for (int y = alias.top(); y <= alias.bottom(); ++y)
            for (int x = alias.left(); x <= alias.right(); ++x) reds += red(shot.pixel(x, y));
        if ((reds < 5) == other) return middle;
    }
    return QPoint();
}

unsigned long ProgramSession::OpenMemberMenuEntry(int entryY) {
    const QPoint member = MemberPoint(true);
    if (member.isNull()) return 0;
    std::vector<unsigned long> before = m_display.VisibleWindows();
    m_display.Click(member.x(), member.y(), 3);
    const unsigned long menu = m_display.WaitNewWindow(before);
    if (!menu) return 0;
    const QRect m = m_display.Geometry(menu);
    before = m_display.VisibleWindows();
    m_display.MoveTo(m.center().x(), m.y() + entryY);
    m_display.Click(m.center().x(), m.y() + entryY);
    return m_display.WaitNewWindow(before);
}

QImage ProgramSession::MemberRow() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QImage();
    return m_display.Grab((m_folder / "member.png").string())
        .copy(kMemberRows.translated(at.topLeft()));
}

QImage ProgramSession::GiftStrip() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QImage();
    return m_display.Grab((m_folder / "strip.png").string())
        .copy(at.x() + kStripLeft, at.y() + kStripTop, at.width() - kStripLeft - kStripRightMargin,
              kStripHeight);
}

QImage ProgramSession::PaneZone() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QImage();
    return m_display.Grab((m_folder / "zone.png").string())
        .copy(kPaneZone.translated(at.topLeft()));
}

int ProgramSession::BestPaneMatch(const std::string& artifact) {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return 0;
    const QImage shot = m_display.Grab((m_folder / "panes.png").string());
    int best = 0;
    for (const QRect& pane : kPanes)
        best = std::max(best, roomtest::PatternMatch(shot, pane.translated(at.topLeft())));
    if (!artifact.empty()) Shot(artifact);
    return best;
}

double ProgramSession::HeardHz() const {
    // Each playback stream the program opened has a file; the one playing is the
    // largest.
    std::string biggest;
    std::error_code error;
    for (const auto& e : fs::directory_iterator(m_folder, error)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("played-", 0) != 0) continue;
        std::string wav = ReadFile(e.path().string());
        if (wav.size() > biggest.size()) biggest.swap(wav);
    }
    return PitchOfEnd(biggest);
}

void ProgramSession::SendFirstGiftToOtherMember() {
    const QRect at = RoomWindow();
    const QPoint member = MemberPoint(true);
    m_display.Click(member.x(), member.y());
    m_display.Click(at.right() - kFirstGiftFromRight, at.y() + kFirstGiftY);
}

QImage ProgramSession::Balances() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QImage();
    return m_display.Grab((m_folder / "balances.png").string())
        .copy(at.right() - kBalancesFromRight, at.y() + kBalancesTop, kBalancesWidth,
              kBalancesHeight);
}

bool ProgramSession::KickOtherMember() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return false;
    const QPoint member = MemberPoint(true);
    if (member.isNull()) return false;
    std::vector<unsigned long> before = m_display.VisibleWindows();
    m_display.Click(member.x(), member.y(), 3);
    const unsigned long menu = m_display.WaitNewWindow(before);
    if (!menu) return false;
    const QRect m = m_display.Geometry(menu);
    before = m_display.VisibleWindows();
    m_display.MoveTo(m.center().x(), m.y() + kPenaltyEntryY);
    const unsigned long sub = m_display.WaitNewWindow(before);
    if (!sub) return false;
    Shot("kick-menu");
    const QRect s = m_display.Geometry(sub);
    m_display.MoveTo(s.center().x(), s.y() + kMenuEntryMiddle);
    m_display.Click(s.center().x(), s.y() + kMenuEntryMiddle);
    return true;
}

void ProgramSession::UnmuteMicrophone() {
    const QRect at = RoomWindow();
    m_display.Click(at.x() + kMuteButton.x(), at.y() + kMuteButton.y());
}

int ProgramSession::AnswerMessageBox(const std::vector<unsigned long>& before) {
    const unsigned long box = m_display.WaitNewWindow(before);
    if (!box) return -1;
    const QRect at = m_display.Geometry(box);
    const QImage shot = Shot("message-box");
    const QRect text(at.x() + 2, at.y() + kBoxTitle, at.width() - 4,
                     at.height() - kBoxTitle - kBoxButtons);
    int left = text.right(), right = text.left() - 1;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x)
            if (InkIn(shot, QRect(x, y, 1, 1))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    m_display.Click(at.center().x(), at.bottom() - kBoxOkFromBottom);
    if (right < left) return -1;  // no text, or no picture of it
    const bool closed = WaitFor(
        [&] {
            const std::vector<unsigned long> now = m_display.VisibleWindows();
            return std::find(now.begin(), now.end(), box) == now.end();
        },
        seconds(15));
    return closed ? right - left + 1 : -1;
}

bool ProgramSession::BackInLobby(int bound) {
    return WaitFor([&] { return RoomWindow().isEmpty(); }, seconds(bound)) &&
           m_display.FindWindow("^Mivora大厅窗口$") != 0;
}

}  // namespace twoprograms
