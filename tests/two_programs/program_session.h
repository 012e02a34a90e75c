// The world tool and one real program in it, as the two-program test drives them.
#pragma once

#include <QImage>
#include <QRect>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "display.h"
#include "processes.h"

namespace twoprograms {

// build/tools/localworld on free ports, its log in the work folder.
class LocalWorldProcess {
public:
    struct Ports {
        int logon = 0, lobby = 0, room = 0, http = 0;
    };

    bool Start(const std::filesystem::path& work);
    // SIGTERM and the world's exit status (the same again on later calls).
    int Stop();
    const Ports& ports() const { return m_ports; }
    std::string LogPath() const { return m_log; }
    std::string Log() const { return ReadFile(m_log); }
    // Waits until the log has at least `count` lines containing `text`.
    bool WaitLine(const std::string& text, int count = 1,
                  std::chrono::milliseconds bound = std::chrono::seconds(30)) const;
    int CountLines(const std::string& text) const;
    // A page of the world's web server ("hall.php"), as its bytes; empty when none.
    std::string Page(const std::string& path) const;
    // The coins of an account as its account page tells them; -1 when it does not.
    long long Coins(int userId) const;
    // Writes the program folder's globalconf.ini for these ports.
    bool WriteConfiguration(const std::filesystem::path& programFolder) const;

private:
    Child m_child;
    std::string m_log;
    Ports m_ports;
    int m_status = -1;
};

struct Account {
    int id;
    std::string password;
    int toneHz;  // what its microphone hears
};

// How many pixels of the balance figures differ between two pictures of them.
int FiguresChanged(const QImage& before, const QImage& now);

class ProgramSession {
public:
    ProgramSession(Account account, Display& display, const LocalWorldProcess& world,
                   const std::filesystem::path& work, const std::filesystem::path& artifacts);

    // Lays out its own program folder and per-user folders and starts the program.
    bool Start();
    // Types the account and password into the logon window and clicks "登 录"; true
    // once the lobby shows and the world logged the logon.
    bool LogOn();
    // Clicks the room's link on the lobby's page; true once the room window shows
    // and the world logged the join.
    bool JoinRoom(int room, const std::string& roomName);
    // Types `text` into the chat input and clicks "发送"; true once the world passed
    // it on and `other`'s chat pane shows more text than before.
    bool Say(const std::string& text, ProgramSession& other);
    // Clicks "上麦" and the entry of its menu for public microphone `number` (1 to 3).
    bool TakePublicMicrophone(int number);
    // The best match of its three video panes with the test pattern now, 0..100.
    int BestPaneMatch(const std::string& artifact);
    // The pitch of the last half second its speaker played (0 when silent or none).
    double HeardHz() const;
    // The middle of the other program's row in its member list (`other`), or of its
    // own; null when not seen.
    QPoint MemberPoint(bool other);
    // Right-clicks the other program's row and picks the entry `entryY` pixels below
    // the menu's top; the window it opens, 0 when none opened.
    unsigned long OpenMemberMenuEntry(int entryY);
    // Selects the other program in its member list and clicks the first gift of the
    // gift panel.
    void SendFirstGiftToOtherMember();
    // The part of its room header with the balances, now.
    QImage Balances();
    // Right-clicks the other program's row and picks "违规处理", then "踢出房间".
    bool KickOtherMember();
    // Clicks "麦克风": a member starts on the microphone muted.
    void UnmuteMicrophone();
    // Clicks a button of the room's chat tool row ("喇叭", "公告") or its title
    // ("管理") and waits for the window it opens; 0 when none opened.
    unsigned long OpenRoomDialog(const QPoint& fromBottomLeft);
    unsigned long OpenRoomTitleButton(int fromRight);
    // Types `text` into the field of `dialog` at `field` (from its top left), checks
    // it shows `width` wide when not 0, and clicks `button` there.
    bool FillAndClick(unsigned long dialog, const QRect& field, const std::string& text,
                      const QPoint& button, int width = 0);
    // The room window's title (its X name), and the ink of its loudspeaker panel.
    std::string RoomTitle() const;
    int LoudspeakerInk();
    // The band of its room's title row the gift strip runs through, now.
    QImage GiftStrip();
    // The public video zone and the member list's first two rows, as they show now.
    QImage PaneZone();
    QImage MemberRow();
    unsigned long RoomWindowId() const { return m_roomWindow; }
    Display& display() { return m_display; }
    int id() const { return m_account.id; }
    // Whether its room window is gone and the lobby shows.
    bool BackInLobby(int seconds);
    // Waits for a message box over the lobby, saves it, and clicks its "确定"; the
    // width of the ink of its text, -1 when no box or no text showed.
    int AnswerMessageBox(const std::vector<unsigned long>& before);
    std::vector<unsigned long> VisibleWindows() const { return m_display.VisibleWindows(); }

    // Closes the room window and then the lobby with their close buttons, as a
    // person would; the program's exit status (-1 when it did not end).
    int Close();

    // The lines of its log that contain `text`, for failure messages.
    std::string LogLines(const std::string& text) const;
    // Its account and the end of its log, for failure messages.
    std::string Describe() const;
    void KeepLog(const std::filesystem::path& folder) const;
    // Saves the screen as <artifacts>/<id>-<n>-<step>.png and returns it.
    QImage Shot(const std::string& step);
    // Saves a part of a picture it showed the same way.
    void Keep(const QImage& picture, const std::string& step);
    // The ink of its room's chat pane, and the hint pane below it, now.
    int ChatInk();
    QImage HintPane();

    QRect RoomWindow() const;

private:
    // Clicks `click` in `window`, waits until the window has the keyboard and the
    // caret shows in `field` (its inside), empties the field, types `text` and waits
    // until it shows there (`width` wide, when not 0). Both are from the window's top
    // left, which is looked up again for every try.
    bool TypeInto(unsigned long window, const QPoint& click, const QRect& field,
                  const std::string& text, int width = 0);
    // Types `text` where the keyboard is; false when a character did not show (by
    // `columns`, the dark columns of the field now).
    bool TypeEachTakenIn(const std::string& text, const std::function<int()>& columns);

    Account m_account;
    Display& m_display;
    const LocalWorldProcess& m_world;
    std::filesystem::path m_folder, m_artifacts;
    Child m_child;
    int m_shots = 0;
    // The room window once joined, found by its title then: a rename changes that.
    unsigned long m_roomWindow = 0;
};

}  // namespace twoprograms
