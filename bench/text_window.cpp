#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>

// The second floor of the start-up benchmark: a main window with a label, a
// line edit and a button, shown the way the program shows its own.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("text_window"));
    auto *central = new QWidget(&window);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(new QLabel(QStringLiteral("Object"), central));
    layout->addWidget(new QLineEdit(QStringLiteral("M 31"), central));
    layout->addWidget(new QPushButton(QStringLiteral("Slew"), central));
    window.setCentralWidget(central);
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
