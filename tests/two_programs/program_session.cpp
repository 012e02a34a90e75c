#include "program_session.h"

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

namespace twoprograms {

namespace fs = std::filesystem;
using std::chrono::seconds;

namespace {

// Window titles the program gives its windows.
const char kLogonTitle[] = "^Mivora登录窗口$";
const char kLobbyTitle[] = "^Mivora大厅窗口$";

// Places inside the windows, from the skin's layouts: the logon window has a fixed
// size; the lobby and the room fill the screen, their right and bottom parts keep
// their distance to the window's edges.
const QPoint kAccountField(149, 119), kPasswordField(149, 151), kLogonButton(118, 212);
const QRect kAccountInside(70, 108, 158, 22), kPasswordInside(70, 140, 158, 22);
constexpr int kCloseFromRight = 21, kCloseFromTop = 19;
constexpr int kChatLeft = 220, kChatTop = 342, kChatRightMargin = 184, kChatBottomMargin = 190;
// The hint pane below the chat pane.
constexpr int kHintsTopFromBottom = 186, kHintsHeight = 104;
constexpr int kInputX = 600, kInputFromBottom = 37;
constexpr int kInputLeft = 225, kInputTopFromBottom = 48, kInputRightMargin = 280,
              kInputHeight = 42;
constexpr int kSendFromRight = 237, kSendFromBottom = 27;
// More dark columns than any caret: typed text is in the field; no more than a
// caret's: the field is empty.
constexpr int kTextColumns = 4, kCaretColumns = 2;
// Typed text's ink against its width in the skin's face: the caret after it.
constexpr int kTextSlack = 4;
// The skin's face in edits.
constexpr int kEditPixels = 12;

std::string Tail(const std::string& text, size_t lines) {
    size_t at = text.size();
    while (lines-- > 0 && at > 0) at = text.rfind('\n', at - 1);
    return at == std::string::npos ? text : text.substr(at);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

bool LinkBlue(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 90 && qGreen(p) < 90;
}

// The first link on a page inside `area` (default link blue, underlined): the middle
// of its text just above the underline, or a null point.
QPoint FirstLink(const QImage& shot, const QRect& area) {
    const QRect in = area.intersected(shot.rect());
    for (int y = in.top(); y <= in.bottom(); ++y) {
        int run = 0;
        for (int x = in.left(); x <= in.right() + 1; ++x) {
            if (x <= in.right() && LinkBlue(shot.pixel(x, y))) {
                ++run;
                continue;
            }
            // An underline, not a stroke of a letter: a long straight run.
            if (run >= 24) return QPoint(x - run / 2, y - 6);
            run = 0;
        }
    }
    return QPoint();
}

// The build's program folder as the build laid it out: only the paths it lists in
// program.layout, not what earlier runs wrote beside them (saved logons, chat font).
bool CopyLaidOutProgram(const fs::path& to) {
    std::istringstream layout(ReadFile(MIVORA_BINARY_DIR "/program.layout"));
    int copied = 0;
    for (std::string line; std::getline(layout, line);) {
        if (line.empty()) continue;
        const fs::path relative = fs::u8path(line);
        if (relative.is_absolute() || line.find("..") != std::string::npos) return false;
        std::error_code error;
        fs::create_directories((to / relative).parent_path(), error);
        fs::copy_file(fs::path(MIVORA_BINARY_DIR "/program") / relative, to / relative,
                      fs::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "copying %s: %s\n", line.c_str(), error.message().c_str());
            return false;
        }
        ++copied;
    }
    return copied > 0;
}

}  // namespace

bool LocalWorldProcess::Start(const fs::path& work) {
    m_log = (work / "world.log").string();
    if (!m_child.Start({MIVORA_BINARY_DIR "/tools/localworld", "--port-base", "0"}, {}, m_log))
        return false;
    if (!WaitLine("localworld: ready")) return false;
    // "... ready: logon N, lobby N, room N, relay N (UDP), web http://127.0.0.1:N/, ..."
    const std::string log = Log();
    std::smatch m;
    const std::regex ready(
        R"(ready: logon (\d+), lobby (\d+), room (\d+), relay \d+ \(UDP\), web http://127\.0\.0\.1:(\d+)/)");
    if (!std::regex_search(log, m, ready)) return false;
    m_ports = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])};
    return true;
}

int LocalWorldProcess::Stop() {
    if (m_child.Running()) {
        m_child.Signal(SIGTERM);
        m_status = m_child.Wait(seconds(30));
    }
    return m_status;
}

int LocalWorldProcess::CountLines(const std::string& text) const {
    std::istringstream lines(Log());
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.find(text) != std::string::npos;
    return count;
}

bool LocalWorldProcess::WaitLine(const std::string& text, int count,
                                 std::chrono::milliseconds bound) const {
    return WaitFor([&] { return CountLines(text) >= count; }, bound);
}

std::string LocalWorldProcess::Page(const std::string& path) const {
    const std::string url = "http://127.0.0.1:" + std::to_string(m_ports.http) + "/" + path;
    return Capture(
        {"python3", "-c",
         "import sys, urllib.request\n"
         "sys.stdout.buffer.write(urllib.request.urlopen(sys.argv[1], timeout=20).read())",
         url});
}

long long LocalWorldProcess::Coins(int userId) const {
    const std::string page = Page("account.html?nuserid=" + std::to_string(userId));
    std::smatch m;
    if (!std::regex_search(page, m, std::regex("金币: (\\d+)"))) return -1;
    return std::stoll(m[1]);
}

bool LocalWorldProcess::WriteConfiguration(const fs::path& programFolder) const {
    // The world's own configuration with its fixed ports turned into this world's.
    std::string text = ReadFile(MIVORA_SOURCE_DIR "/tools/localworld/globalconf.txt");
    if (text.empty()) return false;
    text = ReplaceAll(text, "127.0.0.1:27101", "127.0.0.1:" + std::to_string(m_ports.logon));
    text = ReplaceAll(text, "127.0.0.1:27102", "127.0.0.1:" + std::to_string(m_ports.lobby));
    text = ReplaceAll(text, "127.0.0.1:27103", "127.0.0.1:" + std::to_string(m_ports.room));
    text = ReplaceAll(text, "127.0.0.1:27180", "127.0.0.1:" + std::to_string(m_ports.http));
    const fs::path plain = programFolder.parent_path() / "globalconf.txt";
    std::ofstream(plain, std::ios::binary) << text;
    int status = -1;
    Capture({MIVORA_BINARY_DIR "/tools/globalconf", "write", plain.string(),
             (programFolder / "globalconf.ini").string()},
            {}, &status);
    return status == 0;
}

ProgramSession::ProgramSession(Account account, Display& display, const LocalWorldProcess& world,
                               const fs::path& work, const fs::path& artifacts)
    : m_account(std::move(account)),
      m_display(display),
      m_world(world),
      m_folder(work / std::to_string(m_account.id)),
      m_artifacts(artifacts) {}

bool ProgramSession::Start() {
    const fs::path program = m_folder / "program", home = m_folder / "home";
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!CopyLaidOutProgram(program) || !m_world.WriteConfiguration(program)) return false;
    for (const char* sub : {"config", "data", "Documents", "Desktop", "runtime"})
        fs::create_directories(home / sub, error);
    chmod((home / "runtime").c_str(), 0700);
    std::ofstream(home / "config" / "user-dirs.dirs")
        << "XDG_DOCUMENTS_DIR=\"" << (home / "Documents").string() << "\"\n"
        << "XDG_DESKTOP_DIR=\"" << (home / "Desktop").string() << "\"\n";
    const std::string web = "http://127.0.0.1:" + std::to_string(m_world.ports().http) + "/";
    const Environment env{
        {"DISPLAY", m_display.Name()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"HOME", home.string()},
        {"XDG_CONFIG_HOME", (home / "config").string()},
        {"XDG_DATA_HOME", (home / "data").string()},
        {"XDG_RUNTIME_DIR", (home / "runtime").string()},
        {"MIVORA_TEST_CAMERA", "1"},
        {"MIVORA_TEST_SOUND_TONE", std::to_string(m_account.toneHz)},
        {"MIVORA_TEST_SOUND_PLAYED", (m_folder / "played").string()},
        {"MIVORA_UPDATE_URL", web},
        {"MIVORA_NETWORK_TEST_URL", web + "nettest.html"},
    };
    return m_child.Start({(program / "mivora").string()}, env, (m_folder / "mivora.log").string());
}

QImage ProgramSession::Shot(const std::string& step) {
    char name[160];
    std::snprintf(name, sizeof name, "%d-%02d-%s.png", m_account.id, ++m_shots, step.c_str());
    return m_display.Grab((m_artifacts / name).string());
}

void ProgramSession::Keep(const QImage& picture, const std::string& step) {
    char name[160];
    std::snprintf(name, sizeof name, "%d-%02d-%s.png", m_account.id, ++m_shots, step.c_str());
    picture.save(QString::fromStdString((m_artifacts / name).string()));
}

bool ProgramSession::TypeInto(unsigned long window, const QPoint& click, const QRect& fieldInWindow,
                              const std::string& text, int width) {
    QImage shot;
    QRect field;
    auto look = [&] { shot = m_display.Grab((m_folder / "field.png").string()); };
    // Text is told from the caret by its width: a caret, however tall its font makes
    // it, darkens a column or two; a few typed characters many.
    auto columns = [&] {
        look();
        return InkColumnsIn(shot, field);
    };
    auto arrived = [&] {
        if (columns() <= kTextColumns) return false;
        return width <= 0 || std::abs(InkWidthIn(shot, field) - width) <= kTextSlack;
    };
    // Keys go to the window with the X input focus, which a click gives only once the
    // program has taken it in; the control draws its caret only once it has the
    // control focus. A click that brought neither is made again, a bounded number of
    // times; the keys go out only when both hold.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!m_display.WaitPlaced(window)) continue;
        const QPoint origin = m_display.Geometry(window).topLeft();
        const QPoint at = click + origin;
        field = fieldInWindow.translated(origin);
        m_display.Click(at.x(), at.y());
        if (!WaitFor([&] { return m_display.FocusedWindow() == window; }, seconds(10))) continue;
        if (!WaitFor(
                [&] {
                    look();
                    return InkIn(shot, field) > 0;
                },
                seconds(10)))
            continue;
        // Whatever the field held (a saved account, an earlier line) goes first.
        m_display.Key("ctrl+a");
        m_display.Key("Delete");
        if (!WaitFor([&] { return columns() <= kCaretColumns; }, seconds(10))) continue;
        if (!TypeEachTakenIn(text, columns)) continue;
        if (WaitFor(arrived, seconds(15))) return true;
    }
    return false;
}

bool ProgramSession::TypeEachTakenIn(const std::string& text, const std::function<int()>& columns) {
    // xdotool types a character its keyboard map lacks (Chinese) by mapping it to a
    // spare key for that one press; a program that has not read the press before the
    // map is taken back reads the wrong character or none. Such text goes one character
    // at a time, each once the last shows; one that shows nothing is pressed again (a
    // wrong one is caught by the text's width, and the field is filled again).
    const bool plain = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plain) {
        m_display.Type(text);
        return true;
    }
    constexpr int kPresses = 3;
    for (size_t at = 0; at < text.size();) {
        size_t next = at + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        const int before = columns();
        bool shown = false;
        for (int press = 0; press < kPresses && !shown; ++press) {
            m_display.Type(text.substr(at, next - at));
            shown = WaitFor([&] { return columns() > before + kCaretColumns; }, seconds(5));
        }
        if (!shown) return false;
        at = next;
    }
    return true;
}

bool ProgramSession::LogOn() {
    // The program's first window: a loaded sanitizer build takes long to start Qt, read
    // its skin and check for updates before it shows it.
    const unsigned long logon = m_display.WaitWindow(kLogonTitle, 120);
    if (!logon) return false;
    const std::string account = std::to_string(m_account.id);
    if (!TypeInto(logon, kAccountField, kAccountInside, account, TextWidth(account, kEditPixels)) ||
        !TypeInto(logon, kPasswordField, kPasswordInside, m_account.password)) {
        Shot("logon-typing-failed");
        std::fprintf(stderr, "%d: the typed keys did not arrive; keyboard focus: %s\n",
                     m_account.id, m_display.KeyboardFocus().c_str());
        return false;
    }
    Shot("logon");
    const QPoint button = m_display.Geometry(logon).topLeft() + kLogonButton;
    m_display.Click(button.x(), button.y());
    const bool lobby = m_display.WaitWindow(kLobbyTitle) != 0;
    const bool logged = m_world.WaitLine("user " + std::to_string(m_account.id) + " logged on");
    Shot("lobby");
    return lobby && logged;
}

bool ProgramSession::JoinRoom(int room, const std::string& roomName) {
    const unsigned long lobby = m_display.WaitWindow(kLobbyTitle);
    if (!lobby) return false;
    const QRect at = m_display.Geometry(lobby);
    // The hall page lists the rooms, the first link is the first room.
    QPoint link;
    WaitFor(
        [&] {
            const QImage shot = m_display.Grab((m_folder / "lobby-page.png").string());
            link = FirstLink(shot, QRect(at.x() + 270, at.y() + 120, at.width() - 280, 400));
            return !link.isNull();
        },
        seconds(20));
    if (link.isNull()) return false;
    m_display.Click(link.x(), link.y());
    m_roomWindow = m_display.WaitWindow("^\\[房间:" + roomName + "\\]$");
    const bool window = m_roomWindow != 0;
    const bool joined = m_world.WaitLine("user " + std::to_string(m_account.id) + " joined room " +
                                         std::to_string(room));
    Shot("room");
    return window && joined;
}

QRect ProgramSession::RoomWindow() const {
    if (!m_roomWindow || !m_display.Shown(m_roomWindow)) return QRect();
    return m_display.Geometry(m_roomWindow);
}

std::string ProgramSession::RoomTitle() const {
    return m_roomWindow ? m_display.Title(m_roomWindow) : std::string();
}

int ProgramSession::ChatInk() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return -1;
    const QImage shot = m_display.Grab((m_folder / "chat.png").string());
    return InkIn(shot, QRect(at.x() + kChatLeft, at.y() + kChatTop,
                             at.width() - kChatLeft - kChatRightMargin,
                             at.height() - kChatTop - kChatBottomMargin));
}

QImage ProgramSession::HintPane() {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return QImage();
    return m_display.Grab((m_folder / "hints.png").string())
        .copy(at.x() + kChatLeft, at.bottom() - kHintsTopFromBottom,
              at.width() - kChatLeft - kChatRightMargin, kHintsHeight);
}

bool ProgramSession::Say(const std::string& text, ProgramSession& other) {
    const QRect at = RoomWindow();
    if (at.isEmpty()) return false;
    const int before = other.ChatInk();
    const std::string from = "chat of kind 0 from user " + std::to_string(m_account.id);
    const int sent = m_world.CountLines(from);
    // From the window's top left: its bottom row is height - 1.
    const int bottom = at.height() - 1;
    const QRect input(kInputLeft, bottom - kInputTopFromBottom,
                      at.width() - kInputLeft - kInputRightMargin, kInputHeight);
    if (!TypeInto(m_roomWindow, QPoint(kInputX, bottom - kInputFromBottom), input, text))
        return false;
    m_display.Click(at.right() - kSendFromRight, at.bottom() - kSendFromBottom);
    const bool passed = m_world.WaitLine(from, sent + 1);
    // A line of text is a few hundred dark pixels.
    const bool shown = WaitFor([&] { return other.ChatInk() > before + 150; }, seconds(20));
    Shot("said");
    other.Shot("heard");
    return passed && shown;
}

int ProgramSession::Close() {
    // A click may come before a loaded machine has put the window where it was read
    // (or raised it under a window manager): each close is clicked again, a few times,
    // until it took effect.
    constexpr int kTries = 3;
    for (int i = 0; i < kTries; ++i) {
        const QRect room = RoomWindow();
        if (room.isEmpty()) break;
        m_display.Click(room.right() - kCloseFromRight, room.y() + kCloseFromTop);
        if (WaitFor([&] { return RoomWindow().isEmpty(); }, seconds(15))) break;
    }
    if (!RoomWindow().isEmpty()) return -1;
    // Once its last window is gone the program only has to end, which a loaded sanitizer
    // build (its leak check at exit) can make take long.
    constexpr auto kEnding = seconds(120);
    for (int i = 0; i < kTries; ++i) {
        const unsigned long lobby = m_display.WaitWindow(kLobbyTitle);
        if (!lobby) return m_child.Wait(kEnding);
        if (i == 0) Shot("before-close");
        const QRect at = m_display.Geometry(lobby);
        m_display.Click(at.right() - kCloseFromRight, at.y() + kCloseFromTop);
        if (m_display.WaitGone(kLobbyTitle, 15)) return m_child.Wait(kEnding);
        if (!m_child.Running()) return m_child.Wait(seconds(0));
    }
    return -1;
}

std::string ProgramSession::LogLines(const std::string& text) const {
    std::istringstream lines(ReadFile((m_folder / "mivora.log").string()));
    std::string out;
    for (std::string line; std::getline(lines, line);)
        if (line.find(text) != std::string::npos) out += line + "\n";
    return out;
}

std::string ProgramSession::Describe() const {
    return "\n--- " + std::to_string(m_account.id) + ", the end of its log:\n" +
           Tail(ReadFile((m_folder / "mivora.log").string()), 30);
}

void ProgramSession::KeepLog(const fs::path& folder) const {
    std::error_code ignored;
    fs::copy_file(m_folder / "mivora.log", folder / (std::to_string(m_account.id) + "-mivora.log"),
                  fs::copy_options::overwrite_existing, ignored);
}

}  // namespace twoprograms
