#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const bool hasDisplay = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!hasDisplay) {
        std::fprintf(stderr, "Kelvane needs a graphical display: start it from a desktop session "
                             "(DISPLAY or WAYLAND_DISPLAY set), or under xvfb-run.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane '95"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kelvane '95"));
    window.resize(480, 320);
    window.show();
    return app.exec();
}
