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
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// Language switching of the whole program. The system locale is read once
// per process, so CTest runs this test in en_US, de_DE and ru_RU; each run
// expects the lines of its own locale. Data files lie in a temporary folder
// under the test's own application name.
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
    void qtFileDialogFollows_data();
    void qtFileDialogFollows();
    void levelLabelAfterSwitch_data();
    void levelLabelAfterSwitch();
    void everyTextOfTheCodeIsTranslated();

private:
    void put(const QString &suffix); // the real .qm, or a manual naming its suffix
    void switch_to(Velto_Obj_List &window, bool national);

    LocalTcs tcs; // answers the users list of every main window
    std::unique_ptr<QTemporaryDir> dir;
};

const QString locale = QLocale::system().name();

void TestLanguage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    set_app_files_dir(dir->path());
    put("_en_US.html");
    put("_ru_RU.html");
    put("_ru_RU.qm");
}

void TestLanguage::cleanup()
{
    set_app_files_dir(QString());
}

void TestLanguage::put(const QString &suffix)
{
    QFile::remove(app_file(suffix));
    if (suffix.endsWith(".qm")) {
        QVERIFY(QFile::copy(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm", app_file(suffix)));
        return;
    }
    QFile manual(app_file(suffix));
    QVERIFY(manual.open(QIODevice::WriteOnly));
    manual.write("<html><body><p>manual" + suffix.toUtf8() + "</p></body></html>");
}

void TestLanguage::switch_to(Velto_Obj_List &window, bool national)
{
    QAction *action = MainWindowProbe(window).form().actionNatLang;
    QCOMPARE(action->isChecked(), !national);
    action->trigger(); // ticks or unticks it and runs the slot
}

void TestLanguage::switchThereAndBack_data()
{
    QTest::addColumn<QStringList>("removed"); // data files taken away
    QTest::addColumn<QStringList>("lines");   // written on the switch; D/N = folder/name
    QTest::addColumn<QString>("manual");
    QTest::addColumn<bool>("russian");
    const QString ok = "D/N_ru_RU.qm Ok!", fail = "D/N_ru_RU.qm Fail...";
    const QString trying = "Trying Russian... ";
    const QString no_manual = "Can't find D/N_ru_RU.html! Does not exist?";
    if (locale == "en_US") {
        const QString anyway = "System locale is en_US... But anyway trying Russian ...";
        QTest::newRow("US English") << QStringList() << QStringList{anyway, ok} << "_ru_RU" << true;
        QTest::newRow("US English, no Russian files")
            << QStringList{"_ru_RU.qm", "_ru_RU.html"} << QStringList{anyway, fail, no_manual}
            << "_en_US" << false;
    } else if (locale == "de_DE") {
        const QString no_help = "No Help-file for System locale de_DE... Trying Russian one...";
        QTest::newRow("German falls back to Russian")
            << QStringList() << QStringList{"D/N_de_DE.qm Fail...", trying, ok, no_help} << "_ru_RU"
            << true;
    } else {
        QTest::newRow("Russian") << QStringList() << QStringList{ok} << "_ru_RU" << true;
        QTest::newRow("Russian, no Russian files")
            << QStringList{"_ru_RU.qm", "_ru_RU.html"} << QStringList{fail, trying, fail, no_manual}
            << "_en_US" << false;
    }
}

void TestLanguage::switchThereAndBack()
{
    QFETCH(QStringList, removed);
    QFETCH(QStringList, lines);
    QFETCH(QString, manual);
    QFETCH(bool, russian);
    for (const QString &file : removed)
        QVERIFY(QFile::remove(app_file(file)));
    lines.replaceInStrings("D/N", app_file(QString()));
    // Translations named like the program in the current folder are no
    // English: the way back must not load them.
    QVERIFY(QDir(dir->path()).mkdir("current"));
    const QString old_dir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->filePath("current")));
    for (const char *stray : {".qm", "C.qm", "_C.qm"})
        QVERIFY(QFile::copy(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm", app_files_name() + stray));

    Velto_Obj_List window;
    MainWindowProbe probe(window);
    const auto shown = [&] {
        return QStringList{probe.form().velto_send_btn->text(),
                           probe.aboutWindow()->toPlainText().trimmed().section('\n', -1),
                           probe.helpWindow()->toPlainText(),
                           QCoreApplication::translate("QPlatformTheme", "Cancel")};
    };
    const QStringList english{"Send Object to Velto", "Author: The Velto-1000 team",
                              "manual_en_US.html", "Cancel"};
    QCOMPARE(shown(), english);
    LogCapture log;
    switch_to(window, true);
    QCOMPARE(log.out, lines);
    const QString national_manual = "manual" + manual + ".html";
    QCOMPARE(shown(), (russian ? QStringList{"Передать в Velto", "Автор: Команда Velto-1000",
                                             national_manual, "Отмена"}
                               : QStringList{english[0], english[1], national_manual, english[3]}));
    log.out.clear();
    switch_to(window, false);
    QCOMPARE(log.out, QStringList());
    QCOMPARE(shown(), english); // both translators empty again
    QVERIFY(QDir::setCurrent(old_dir));
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
        const bool rich =
            label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        if (label->wordWrap())
            check(label, label->text(), label->heightForWidth(label->width()), label->height());
        else if (rich)
            check(label, label->text(), label->sizeHint().width(), label->width());
        else
            check(label, label->text(), label->fontMetrics().horizontalAdvance(label->text()),
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
    window.show();
    QStringList cut;
    const QList<QWidget *> windows{&window,
                                   probe.listWindow(),
                                   &probe.sky(),
                                   probe.corrWindow(),
                                   probe.helpWindow(),
                                   probe.aboutWindow()};
    for (QWidget *shown : windows) {
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

void TestLanguage::qtFileDialogFollows_data()
{
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("look_in");
    QTest::newRow("Russian") << true << "Перейти к:";
    QTest::newRow("English again") << false << "Look in:";
}

void TestLanguage::qtFileDialogFollows()
{
    QFETCH(bool, russian);
    QFETCH(QString, look_in);
    Velto_Obj_List window;
    switch_to(window, true);
    if (!russian)
        switch_to(window, false);
    QString seen;
    ModalCloser closer([&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            seen = dialog->findChild<QLabel *>("lookInLabel")->text();
    });
    QMetaObject::invokeMethod(MainWindowProbe(window).listWindow(), "on_velto_get_lst_btn_clicked");
    QCOMPARE(closer.closed(), 1);
    QCOMPARE(seen, look_in);
}

void TestLanguage::levelLabelAfterSwitch_data()
{
    QTest::addColumn<QString>("user"); // empty: no login yet
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("label");
    QTest::newRow("no login, Russian") << QString() << 0 << true << "Польз.=guest Ур.=0 ";
    QTest::newRow("no login, English again") << QString() << 0 << false << "User=guest Level=0 ";
    QTest::newRow("name holding %2, Russian") << "obs%2" << 3 << true << "Польз.=obs%2 Ур.=3 ";
    QTest::newRow("name holding %2, English") << "obs%2" << 3 << false << "User=obs%2 Level=3 ";
}

void TestLanguage::levelLabelAfterSwitch()
{
    QFETCH(QString, user);
    QFETCH(int, level);
    QFETCH(bool, russian);
    QFETCH(QString, label);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    if (!user.isEmpty())
        probe.setUserAndLevel(user, level);
    switch_to(window, true);
    if (!russian)
        switch_to(window, false);
    QCOMPARE(probe.form().velto_level_lab->text(), label);
}

// Every text the code and the forms mark for translation, as lupdate finds
// them now, has a Russian translation in the shipped .qm that keeps the
// text's placeholders.
void TestLanguage::everyTextOfTheCodeIsTranslated()
{
    const QString fresh = dir->filePath("fresh.ts");
    QProcess lupdate;
    lupdate.setWorkingDirectory(VELTO_SOURCE_DIR);
    QStringList arguments{"-locations", "none", "-extensions", "cpp,h,ui", "-I", "."};
    arguments << QString(VELTO_TR_SOURCE_DIRS).split(',') << "-ts" << fresh;
    lupdate.start(VELTO_LUPDATE, arguments);
    QVERIFY(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0);
    QTranslator shipped;
    QVERIFY(shipped.load(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm"));
    QFile file(fresh);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    QStringList missing;
    int sources = 0;
    const QRegularExpression placeholder("%\\d");
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        if (xml.name() != QLatin1String("source"))
            continue;
        const QString source = xml.readElementText();
        const QString russian = shipped.translate(context.toUtf8(), source.toUtf8());
        ++sources;
        if (russian.isEmpty() || russian.count(placeholder) != source.count(placeholder))
            missing << context + ": " + source;
    }
    QVERIFY(sources > 100);
    QVERIFY2(missing.isEmpty(), qPrintable("not translated:\n" + missing.join('\n')));
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
