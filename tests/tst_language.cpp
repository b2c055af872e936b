#include "app/app_files.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

// Language switching of the whole program. The system locale comes from the
// environment (LANG, LC_ALL) and is read once per process, so CTest runs this
// test once for each of en_US, de_DE and ru_RU; each run checks the cases of
// its own locale. The data files lie in a temporary folder under the test's
// own application name, with or without the Russian ones.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void localeIsOneWeTest();
    void switchThereAndBackTwice_data();
    void switchThereAndBackTwice();
    void russianTextsInEveryWindow();
    void levelLabelFollowsTheLanguage();
    void fixedTextsAndTypedContentsKept();
    void englishAgainIgnoresStrayTranslations();
    void startsInEnglishWithTheEnglishManual();
    void helpMenuOpensItsWindows();

private:
    LocalTcs tcs; // answers the users list of every main window
    // Puts a data file for the suffix into the folder: the project's compiled
    // translation for ".qm" files, a small manual naming its suffix for
    // ".html" files.
    void put(const QString &suffix);
    QString path(const QString &suffix) const { return app_file(suffix); }
    void switch_language(Velto_Obj_List &window, bool national);

    std::unique_ptr<QTemporaryDir> dir;
};

const QString locale = QLocale::system().name();

void TestLanguage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    set_app_files_dir(dir->path());
}

void TestLanguage::cleanup()
{
    set_app_files_dir(QString());
}

void TestLanguage::put(const QString &suffix)
{
    if (suffix.endsWith(QLatin1String(".qm"))) {
        QVERIFY(QFile::copy(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm", path(suffix)));
        return;
    }
    QFile manual(path(suffix));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.write("<html><body><a name=\"begin\"></a><p>manual" + suffix.toUtf8() +
                 "</p></body></html>");
}

void TestLanguage::switch_language(Velto_Obj_List &window, bool national)
{
    QAction *action = window.findChild<QAction *>("actionNatLang");
    QCOMPARE(action->isChecked(), !national);
    action->trigger(); // ticks or unticks it and runs the slot
    QCOMPARE(action->isChecked(), national);
}

void TestLanguage::localeIsOneWeTest()
{
    QVERIFY2(QStringList({"en_US", "de_DE", "ru_RU"}).contains(locale), qPrintable(locale));
}

void TestLanguage::switchThereAndBackTwice_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("lines");        // first national switch; D/N = folder/name
    QTest::addColumn<QStringList>("second_lines"); // second national switch
    QTest::addColumn<QString>("manual");           // shown after the switch
    QTest::addColumn<bool>("translated");

    const QString en = "_en_US.html", ru = "_ru_RU.html", qm = "_ru_RU.qm";
    const QString ru_ok = "D/N_ru_RU.qm Ok!", ru_fail = "D/N_ru_RU.qm Fail...";
    const QString no_ru_manual = "Can't find D/N_ru_RU.html! Does not exist?";
    if (locale == "en_US") {
        const QString anyway = "System locale is en_US... But anyway trying Russian ...";
        const QString no_help = "No Help-file for System locale en_US... Trying Russian one...";
        QTest::newRow("US English with the Russian files")
            << QStringList{en, ru, qm} << QStringList{anyway, ru_ok} << QStringList{anyway, ru_ok}
            << ru << true;
        QTest::newRow("US English without the Russian files")
            << QStringList{en} << QStringList{anyway, ru_fail, no_ru_manual}
            << QStringList{anyway, ru_fail, no_ru_manual} << en << false;
        QTest::newRow("US English without an English manual")
            << QStringList{ru, qm} << QStringList{anyway, ru_ok, no_help}
            << QStringList{anyway, ru_ok, no_help} << ru << true;
    } else if (locale == "de_DE") {
        const QString de_fail = "D/N_de_DE.qm Fail...", trying = "Trying Russian... ";
        const QString no_help = "No Help-file for System locale de_DE... Trying Russian one...";
        QTest::newRow("German falls back to the Russian files")
            << QStringList{en, ru, qm} << QStringList{de_fail, trying, ru_ok, no_help}
            << QStringList{ru_ok, no_help} << ru << true;
        QTest::newRow("German without the Russian files")
            << QStringList{en} << QStringList{de_fail, trying, ru_fail, no_help, no_ru_manual}
            << QStringList{ru_fail, trying, ru_fail, no_help, no_ru_manual} << en << false;
        // A German translation stands in for the system's own language.
        QTest::newRow("German with German files")
            << QStringList{en, ru, qm, "_de_DE.html", "_de_DE.qm"}
            << QStringList{"D/N_de_DE.qm Ok!"} << QStringList{"D/N_de_DE.qm Ok!"} << "_de_DE.html"
            << true;
    } else if (locale == "ru_RU") {
        const QString trying = "Trying Russian... ";
        QTest::newRow("Russian with the Russian files")
            << QStringList{en, ru, qm} << QStringList{ru_ok} << QStringList{ru_ok} << ru << true;
        QTest::newRow("Russian without the Russian files")
            << QStringList{en} << QStringList{ru_fail, trying, ru_fail, no_ru_manual}
            << QStringList{ru_fail, trying, ru_fail, no_ru_manual} << en << false;
    }
}

void TestLanguage::switchThereAndBackTwice()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, second_lines);
    QFETCH(QString, manual);
    QFETCH(bool, translated);
    for (const QString &file : files)
        put(file);
    const QString folder_and_name = path(QString());
    lines.replaceInStrings("D/N", folder_and_name);
    second_lines.replaceInStrings("D/N", folder_and_name);
    const bool english_manual = files.contains("_en_US.html");
    const QStringList english_lines =
        english_manual ? QStringList()
                       : QStringList{"Can't find " + path("_en_US.html") + "! Does not exist?"};
    const QString shown_manual = "manual" + manual;
    const QString send_text = translated ? "Передать в Velto" : "Send Object to Velto";

    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    Velto_help *help = MainWindowProbe(window).helpWindow();
    help->show(); // a shown window lays out each manual as it is loaded
    LogCapture log;
    for (const QStringList &expected : {lines, second_lines}) {
        switch_language(window, true);
        QCOMPARE(log.out, expected);
        QCOMPARE(help->toPlainText(), shown_manual);
        QCOMPARE(f.velto_send_btn->text(), send_text);
        log.out.clear();

        switch_language(window, false);
        QCOMPARE(log.out, english_lines);
        QCOMPARE(help->toPlainText(), english_manual ? "manual_en_US.html" : shown_manual);
        QCOMPARE(f.velto_send_btn->text(), QStringLiteral("Send Object to Velto"));
        QCOMPARE(MainWindowProbe(window).listWindow()->windowTitle(), QStringLiteral("Velto List"));
        QCOMPARE(MainWindowProbe(window).sky().windowTitle(), QStringLiteral("Velto Sky"));
        QCOMPARE(MainWindowProbe(window).corrWindow()->windowTitle(), QStringLiteral("Velto Corr"));
        log.out.clear();
    }
    QVERIFY(log.err.isEmpty());
}

void TestLanguage::russianTextsInEveryWindow()
{
    for (const char *file : {"_en_US.html", "_ru_RU.html", "_ru_RU.qm"})
        put(file);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    auto &f = probe.form();
    switch_language(window, true);

    QCOMPARE(f.actionNatLang->text(), QStringLiteral("По-русски"));
    QCOMPARE(f.menuFile->title(), QStringLiteral("Файл"));
    QCOMPARE(f.groupBox_2->title(), QStringLiteral("Состояние Velto:"));
    QCOMPARE(f.velto_slew_btn->text(), QStringLiteral("Передать и навести"));
    QCOMPARE(f.velto_slew_btn->toolTip(),
             QStringLiteral("<html><head/><body><p>Начать наведение Velto на этот "
                            "объект</p></body></html>"));
    QCOMPARE(f.actionRemove_Object->text(), QStringLiteral("Удалить строку"));

    QWidget *list = probe.listWindow();
    QCOMPARE(list->windowTitle(), QStringLiteral("Список Velto"));
    QCOMPARE(list->findChild<QGroupBox *>("velto_btn_box")->title(),
             QStringLiteral("         Список объектов наблюдения."));
    QCOMPARE(list->findChild<QPushButton *>("velto_get_lst_btn")->text(),
             QStringLiteral("Прочитать файл .lst"));
    QCOMPARE(probe.sky().windowTitle(), QStringLiteral("Небо Velto"));
    QWidget *corr = probe.corrWindow();
    QCOMPARE(corr->windowTitle(), QStringLiteral("Поправки Velto"));
    QCOMPARE(corr->findChild<QGroupBox *>("groupBox")->title(),
             QStringLiteral("Поправки Velto-1000"));
    QCOMPARE(corr->findChild<QPushButton *>("add_ha")->text(), QStringLiteral("Add(+)HA"));
    QCOMPARE(corr->findChild<QLineEdit *>("dha_val")->text(), QStringLiteral("0.02"));

    Velto_help *help = probe.helpWindow();
    QCOMPARE(help->windowTitle(), QStringLiteral("Руководство Velto_Obj_List"));
    QCOMPARE(help->findChild<QPushButton *>("Close")->text(), QStringLiteral("Закрыть"));
    QCOMPARE(help->findChild<QPushButton *>("Begin")->toolTip(), QStringLiteral("В начало"));

    Velto_about *about = probe.aboutWindow();
    QCOMPARE(about->windowTitle(), QStringLiteral("О программе Velto_Obj_List"));
    QCOMPARE(about->findChild<QPushButton *>("Close")->text(), QStringLiteral("Закрыть"));
    const QString text = about->toPlainText();
    QVERIFY2(text.indexOf("Программа предназначена для наблюдений") <
                     text.indexOf("Автор: Команда Velto-1000") &&
                 text.contains("Программа предназначена для наблюдений"),
             qPrintable(text));
}

void TestLanguage::levelLabelFollowsTheLanguage()
{
    put("_ru_RU.qm");
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    QCOMPARE(probe.form().velto_level_lab->text(), QStringLiteral("User=? Level = ? "));
    // No level reported yet: the label says so in either language.
    switch_language(window, true);
    QCOMPARE(probe.form().velto_level_lab->text(), QStringLiteral("Польз.=? Уровень = ? "));
    switch_language(window, false);
    QCOMPARE(probe.form().velto_level_lab->text(), QStringLiteral("User=? Level = ? "));
    // A name holding "%2" stays as it is: both values go in at once.
    probe.setUserAndLevel("obs%2", 3);
    switch_language(window, true);
    QCOMPARE(probe.form().velto_level_lab->text(), QStringLiteral("Польз.=obs%2 Уровень=3 "));
    switch_language(window, false);
    QCOMPARE(probe.form().velto_level_lab->text(), QStringLiteral("User=obs%2 Level=3 "));
}

void TestLanguage::fixedTextsAndTypedContentsKept()
{
    put("_ru_RU.qm");
    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    f.velto_obj_edt->setText("M 31");
    f.velto_ra_edt->setText("00:42:44.3");
    f.velto_decl_edt->setText("+41:16:09");
    f.velto_epoch_edt->setText("2000.0");
    f.velto_offha_edt->setText("1.5");
    f.velto_offdec_edt->setText("-2.0");
    f.velto_passwd_edt->setText("secret");
    for (bool national : {true, false, true, false}) {
        switch_language(window, national);
        QCOMPARE(f.velto_obj_edt->text(), QStringLiteral("M 31"));
        QCOMPARE(f.velto_ra_edt->text(), QStringLiteral("00:42:44.3"));
        QCOMPARE(f.velto_decl_edt->text(), QStringLiteral("+41:16:09"));
        QCOMPARE(f.velto_epoch_edt->text(), QStringLiteral("2000.0"));
        QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("1.5"));
        QCOMPARE(f.velto_offdec_edt->text(), QStringLiteral("-2.0"));
        QCOMPARE(f.velto_passwd_edt->text(), QStringLiteral("secret"));
        QCOMPARE(f.velto_offha_lab->text(), QStringLiteral("HA:"));
        QCOMPARE(f.velto_offdec_lab->text(), QStringLiteral("Decl:"));
        QCOMPARE(f.vtcs_mode_lab->text(), QStringLiteral("Mode:"));
        QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("Off"));
        QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Unknown"));
        QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
        QCOMPARE(f.actionViewVelto->toolTip(), QStringLiteral("View like OVT (or Sky)"));
        QCOMPARE(f.velto_user_lab->text(),
                 national ? QStringLiteral("Пользователь: ") : QStringLiteral("Velto User: "));
    }
}

void TestLanguage::englishAgainIgnoresStrayTranslations()
{
    // Translations in the current folder named like the program, alone or
    // with the "C" locale, are no English.
    put("_ru_RU.qm");
    for (const char *stray : {".qm", "C.qm"})
        QVERIFY(QFile::copy(path("_ru_RU.qm"), path(stray)));
    const QString old_dir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
    {
        Velto_Obj_List window;
        auto &f = MainWindowProbe(window).form();
        QCOMPARE(f.velto_send_btn->text(), QStringLiteral("Send Object to Velto"));
        switch_language(window, true);
        QCOMPARE(f.velto_send_btn->text(), QStringLiteral("Передать в Velto"));
        switch_language(window, false);
        QCOMPARE(f.velto_send_btn->text(), QStringLiteral("Send Object to Velto"));
        QCOMPARE(MainWindowProbe(window).aboutWindow()->windowTitle(),
                 QStringLiteral("About Velto_Obj_List"));
    }
    QVERIFY(QDir::setCurrent(old_dir));
}

void TestLanguage::startsInEnglishWithTheEnglishManual()
{
    for (const char *file : {"_en_US.html", "_ru_RU.html", "_ru_RU.qm", "_de_DE.qm"})
        put(file);
    QVERIFY(QFile::copy(VELTO_DATA_DIR "/Velto_Obj_List.png", path(".png")));
    LogCapture log;
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    QVERIFY(!probe.form().actionNatLang->isChecked());
    QCOMPARE(probe.form().actionNatLang->text(), QStringLiteral("in Russian"));
    QVERIFY(probe.helpWindow()->isHidden());
    probe.helpWindow()->show();
    QCOMPARE(probe.helpWindow()->toPlainText(), QStringLiteral("manual_en_US.html"));
    QVERIFY(probe.aboutWindow()->isHidden());
    QCOMPARE(probe.aboutWindow()->windowModality(), Qt::ApplicationModal);
    QVERIFY(probe.aboutWindow()->windowFlags().testFlag(Qt::Dialog));
    QVERIFY(log.out.filter("Can't").isEmpty());
    QVERIFY(!QApplication::windowIcon().pixmap(32).isNull());
}

void TestLanguage::helpMenuOpensItsWindows()
{
    QByteArray manual = "<html><body><a name=\"begin\"></a><h1>Top</h1>";
    for (int i = 0; i < 200; ++i)
        manual += "<p>line</p>";
    QFile file(path("_en_US.html"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(manual) == manual.size());
    file.close();
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    auto &f = probe.form();
    Velto_help *help = probe.helpWindow();

    f.actionHelp->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    help->scrollToAnchor("begin");
    const int begin = help->verticalScrollBar()->value();
    // Read further down, closed, and opened again: back at the beginning.
    help->verticalScrollBar()->setValue(help->verticalScrollBar()->maximum());
    QVERIFY(help->verticalScrollBar()->value() > begin + 100);
    help->hide();
    f.actionHelp->trigger();
    QVERIFY(help->isVisible());
    QCOMPARE(help->verticalScrollBar()->value(), begin);

    f.actionAbout->trigger();
    QVERIFY(probe.aboutWindow()->isVisible());
    probe.aboutWindow()->hide(); // it is application-modal: out of the way of the next box

    ModalCloser closer;
    f.actionAbout_Qt->trigger(); // returns when the closer has closed the box
    QCOMPARE(closer.titles(), QStringList{"About Qt"});
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
