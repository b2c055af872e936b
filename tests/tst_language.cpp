#include "app/app_files.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QtTest>

// Language switching of the whole program. The system locale is read once
// per process, so CTest runs this test in en_US, de_DE and ru_RU; each run
// expects the lines of its own locale. The data files (the real Russian .qm
// and two manuals naming themselves) lie in a temporary folder under the
// test's own application name.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void switchThereAndBack_data();
    void switchThereAndBack();
    void everyTextFitsItsWidget_data();
    void everyTextFitsItsWidget();
    void everyTextOfTheCodeIsTranslated();
    void helpAndAboutButtonsAtTheBottomCentre_data();
    void helpAndAboutButtonsAtTheBottomCentre();

private:
    LocalTcs tcs; // answers the users list of every main window
    std::unique_ptr<QTemporaryDir> dir;
};

const QString locale = QLocale::system().name();
const QString start_dir = QDir::currentPath();
const QString shipped_qm = QStringLiteral(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm");

void TestLanguage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    set_app_files_dir(dir->path());
    QVERIFY(QFile::copy(shipped_qm, app_file("_ru_RU.qm")));
    for (const QString suffix : {"_en_US", "_ru_RU"}) {
        QFile manual(app_file(suffix + ".html"));
        QVERIFY(manual.open(QIODevice::WriteOnly) && manual.write("manual" + suffix.toUtf8()) > 0);
    }
}

void TestLanguage::cleanup()
{
    set_app_files_dir(QString());
    QVERIFY(QDir::setCurrent(start_dir));
}

// Ticks (national) or unticks the Help menu's language entry.
void switch_to(Velto_Obj_List &window, bool national)
{
    QAction *action = MainWindowProbe(window).form().actionNatLang;
    QVERIFY(action->isChecked() != national);
    action->trigger();
}

void TestLanguage::switchThereAndBack_data()
{
    QTest::addColumn<QStringList>("removed"); // data files taken away
    QTest::addColumn<QStringList>("lines");   // written on the switch; D/N = folder/name
    QTest::addColumn<bool>("russian");
    const QString ok = "D/N_ru_RU.qm Ok!", fail = "D/N_ru_RU.qm Fail...";
    const QString trying = "Trying Russian... ";
    const QString no_manual = "Can't find D/N_ru_RU.html! Does not exist?";
    if (locale == "en_US") {
        const QString anyway = "System locale is en_US... But anyway trying Russian ...";
        QTest::newRow("US English") << QStringList() << QStringList{anyway, ok} << true;
        QTest::newRow("US English, no Russian files")
            << QStringList{"_ru_RU.qm", "_ru_RU.html"} << QStringList{anyway, fail, no_manual}
            << false;
    } else if (locale == "de_DE") {
        const QString no_help = "No Help-file for System locale de_DE... Trying Russian one...";
        QTest::newRow("German falls back to Russian")
            << QStringList() << QStringList{"D/N_de_DE.qm Fail...", trying, ok, no_help} << true;
    } else {
        QTest::newRow("Russian") << QStringList() << QStringList{ok} << true;
        QTest::newRow("Russian, no Russian files")
            << QStringList{"_ru_RU.qm", "_ru_RU.html"} << QStringList{fail, trying, fail, no_manual}
            << false;
    }
}

void TestLanguage::switchThereAndBack()
{
    QFETCH(QStringList, removed);
    QFETCH(QStringList, lines);
    QFETCH(bool, russian);
    for (const QString &file : removed)
        QVERIFY(QFile::remove(app_file(file)));
    lines.replaceInStrings("D/N", app_file(QString()));
    // Translations named like the program in the current folder are no
    // English: the way back must not load them.
    QVERIFY(QDir(dir->path()).mkdir("current"));
    QVERIFY(QDir::setCurrent(dir->filePath("current")));
    for (const char *stray : {".qm", "C.qm", "_C.qm"})
        QVERIFY(QFile::copy(shipped_qm, app_files_name() + stray));

    Velto_Obj_List window;
    MainWindowProbe probe(window);
    // What the observer sees of each kind of text: a form's, the about text's
    // last line, the manual, the level label before any login (the query
    // user and level 0), and Qt's own file dialog opened from the list window.
    const auto shown = [&] {
        QString look_in;
        ModalCloser closer([&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                look_in = dialog->findChild<QLabel *>("lookInLabel")->text();
        });
        QMetaObject::invokeMethod(probe.listWindow(), "on_velto_get_lst_btn_clicked");
        probe.helpWindow()->show(); // the manual is laid out when shown
        return QStringList{probe.form().velto_send_btn->text(),
                           probe.aboutWindow()->toPlainText().trimmed().section('\n', -1),
                           probe.helpWindow()->toPlainText(), probe.form().velto_level_lab->text(),
                           look_in};
    };
    const QStringList english{"Send Object to Velto", "Author: The Velto-1000 team", "manual_en_US",
                              "User=guest Level=0 ", "Look in:"};
    const QStringList national{"Передать в Velto", "Автор: Команда Velto-1000", "manual_ru_RU",
                               "Польз.=guest Ур.=0 ", "Перейти к:"};
    LogCapture log;
    switch_to(window, true);
    QCOMPARE(log.out, lines);
    QCOMPARE(shown(), russian ? national : english);
    log.out.clear();
    switch_to(window, false);
    QCOMPARE(log.out, QStringList());
    QCOMPARE(shown(), english); // both translators empty again
    // Both values go in at once: a name holding "%2" stays as it is.
    probe.setUserAndLevel("obs%2", 3);
    switch_to(window, true);
    // The name last tried is kept: a German system tries Russian at once.
    QCOMPARE(log.out, locale == "de_DE" ? lines.mid(2) : lines);
    QCOMPARE(probe.form().velto_level_lab->text(), russian ? QStringLiteral("Польз.=obs%2 Ур.=3 ")
                                                           : QStringLiteral("User=obs%2 Level=3 "));
}

namespace
{

// The texts of a window's labels, buttons, group box titles and status bar
// that are wider than their widget shows.
QStringList cut_texts(QWidget *window)
{
    QStringList cut;
    const auto check = [&](QWidget *w, const QString &text, int need, int room) {
        if (need > room)
            cut << QString("%1 \"%2\": %3 > %4 px").arg(w->objectName(), text).arg(need).arg(room);
    };
    for (QLabel *label : window->findChildren<QLabel *>()) {
        // The host label is cut by design: its tooltip shows the whole host.
        if (label->text().isEmpty() || label->objectName() == "velto_host_lab")
            continue;
        const QString &text = label->text();
        if (label->wordWrap())
            check(label, text, label->heightForWidth(label->width()), label->height());
        else if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(text))
            check(label, text, label->sizeHint().width(), label->width());
        else
            check(label, text, label->fontMetrics().horizontalAdvance(text),
                  label->contentsRect().width() - 2 * label->margin());
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        auto element = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox *>(button))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(button))
            element = QStyle::SE_RadioButtonContents;
        else if (!qobject_cast<QPushButton *>(button))
            continue;
        const QString text = QString(button->text()).remove('&');
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        check(button, text, button->fontMetrics().horizontalAdvance(text) + icon,
              button->style()->subElementRect(element, &option, button).width());
    }
    for (QGroupBox *box : window->findChildren<QGroupBox *>()) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        check(box, box->title(), label.right() + 1, box->width());
    }
    return cut;
}

} // namespace

void TestLanguage::everyTextFitsItsWidget_data()
{
    QTest::addColumn<bool>("russian");
    QTest::newRow("English") << false;
    QTest::newRow("Russian") << true;
}

void TestLanguage::everyTextFitsItsWidget()
{
    QFETCH(bool, russian);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    if (russian)
        switch_to(window, true);
    QStringList cut;
    for (QWidget *shown : QWidgetList{&window, probe.listWindow(), &probe.sky(), probe.corrWindow(),
                                      probe.helpWindow(), probe.aboutWindow()}) {
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        cut += cut_texts(shown);
    }
    // Every status text of the main window fits its status bar beside the
    // size grip (the bar keeps 6 px on the left and 12 px for the grip).
    QStatusBar *bar = window.statusBar();
    for (const char *status :
         {"Empty Velto password!", "Wrong or Empty R.A.!", "Wrong or Empty Decl.",
          "Wrong or Empty Offsets", "Wrong or Empty Corrections", "Not in Tracking mode"}) {
        const QString text = QCoreApplication::translate("Velto_Obj_List", status);
        if (bar->fontMetrics().horizontalAdvance(text) > bar->width() - 18)
            cut << "status \"" + text + '"';
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
}

// Every text the code and the forms mark for translation, as lupdate finds
// them now, has a finished Russian translation (lupdate marks new ones
// unfinished in a copy of the shipped source).
void TestLanguage::everyTextOfTheCodeIsTranslated()
{
    const QString ts = dir->filePath("copy.ts");
    QVERIFY(QFile::copy(VELTO_TS_FILE, ts));
    QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setWorkingDirectory(VELTO_SOURCE_DIR);
    lupdate.start(VELTO_LUPDATE,
                  QStringList{"-locations", "none", "-extensions", "cpp,h,ui", "-I", "."}
                      << QString(VELTO_TR_SOURCE_DIRS).split(',') << "-ts" << ts);
    QVERIFY(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0);
    QFile file(ts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.count("<source>") > 100);
    QStringList missing;
    const QRegularExpression unfinished(
        "<source>(.*)</source>\\s*<translation type=\"unfinished\"");
    for (const auto &match : unfinished.globalMatch(text))
        missing << match.captured(1);
    QVERIFY2(missing.isEmpty(), qPrintable("not translated:\n" + missing.join('\n')));
}

void TestLanguage::helpAndAboutButtonsAtTheBottomCentre_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("close"); // Close's top left; Begin ends left of it in help
    QTest::newRow("help, 400 wide") << true << QSize(400, 300) << QPoint(169, 272);
    QTest::newRow("help, narrower than its buttons") << true << QSize(50, 100) << QPoint(-5, 72);
    QTest::newRow("about, 501 wide") << false << QSize(501, 587) << QPoint(220, 559);
}

void TestLanguage::helpAndAboutButtonsAtTheBottomCentre()
{
    QFETCH(bool, help);
    QFETCH(QSize, size);
    QFETCH(QPoint, close);
    Velto_help help_window;
    Velto_about about_window;
    QWidget &window = help ? static_cast<QWidget &>(help_window) : about_window;
    window.resize(size);
    window.show();
    QTRY_COMPARE(window.findChild<QPushButton *>("Close")->pos(), close);
    if (auto *begin = window.findChild<QPushButton *>("Begin"))
        QCOMPARE(begin->geometry().right() + 1, close.x());
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
