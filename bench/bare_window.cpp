#include <QApplication>
#include <QMainWindow>

// The toolkit's floor for the start-up benchmark: an empty main window, shown
// the way the program shows its own.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare_window"));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
