// screengrab <file.png>: saves the whole screen of $DISPLAY, for scripts/run.sh on
// a virtual display where nobody looks at the screen.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screengrab <file.png>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screengrab: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
