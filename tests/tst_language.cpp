#include "app/app_files.h"
#include "app/night_colours.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "test_files.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QRadioButton>
#include <QStyleOption>
#include <QToolTip>
#include <QtTest>

const QString locale = QLocale::system().name();
const QString start_dir = QDir::currentPath();
const QString shipped_qm = QStringLiteral(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm");

namespace
{

// The texts of the windows' labels, buttons and group box titles, and the
// status texts of the main window, that are wider than their widget shows.
QStringList cut_texts(const QWidgetList &windows, const QStatusBar &bar)
{
    QStringList cut;
    const auto check = [&](const QWidget *w, const QString &text, int need, int room) {
        if (need > room)
            cut << QString("%1 \"%2\": %3 > %4 px").arg(w->objectName(), text).arg(need).arg(room);
    };
    for (QWidget *window : windows) {
        for (QLabel *label : window->findChildren<QLabel *>()) {
            // The host label is cut by design: its tooltip shows the whole host.
            const QString &text = label->text();
            if (text.isEmpty() || label->objectName() == "velto_host_lab")
                continue;
            if (label->textFormat() != Qt::PlainText && Qt::mightBeRichText(text))
                check(label, text, label->sizeHint().width(), label->width());
            else
                check(label, text, label->fontMetrics().horizontalAdvance(text),
                      label->contentsRect().width() - 2 * label->margin());
        }
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            QStyleOptionButton option;
            option.initFrom(button);
            const auto element = qobject_cast<QCheckBox *>(button) ? QStyle::SE_CheckBoxContents
                                 : qobject_cast<QRadioButton *>(button)
                                     ? QStyle::SE_RadioButtonContents
                                     : QStyle::SE_PushButtonContents;
            if (element == QStyle::SE_PushButtonContents && !qobject_cast<QPushButton *>(button))
                continue; // tool buttons show icons
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
    }
    // The status bar keeps 6 px on the left and 12 px for the size grip.
    for (const char *status :
         {"Empty Velto password!", "Wrong or Empty R.A.!", "Wrong or Empty Decl.",
          "Wrong or Empty Offsets", "Wrong or Empty Corrections", "Not in Tracking mode"}) {
        const QString text = QCoreApplication::translate("Velto_Obj_List", status);
        check(&bar, text, bar.fontMetrics().horizontalAdvance(text), bar.width() - 18);
    }
    return cut;
}

// Contrast ratio of two colours' relative luminances as the web's accessibility
// guidelines define them: 1 for equal colours, 21 for black on white.
double contrast(const QColor &a, const QColor &b)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const auto luminance = [&](const QColor &c) {
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every text colour of the widgets of these windows (tooltips and the
// chart's own colours too) that is less than 3 times brighter or darker than
// the background it is drawn on, enabled or not.
QStringList faint_texts(const QWidgetList &windows)
{
    QStringList faint;
    const auto check = [&](const QString &what, const QColor &text, const QColor &back) {
        if (contrast(text, back) < 3.0)
            faint << QString("%1 %2 on %3: %4")
                         .arg(what, text.name(), back.name())
                         .arg(contrast(text, back), 0, 'f', 2);
    };
    using P = QPalette;
    const auto check_roles = [&](QWidget *w, P::ColorRole text, P::ColorRole back) {
        for (P::ColorGroup group : {P::Active, P::Disabled})
            check(w->objectName() + ' ' + w->metaObject()->className(),
                  w->palette().color(group, text), w->palette().color(group, back));
    };
    for (QWidget *window : windows) {
        QWidgetList widgets = window->findChildren<QWidget *>();
        for (QWidget *w : widgets << window) {
            const QString sheet = w->styleSheet();
            if (sheet.startsWith("color:"))
                check(w->objectName() + " sheet",
                      QColor::fromString(sheet.section(':', 1).remove(';').trimmed()),
                      w->palette().color(P::Button));
            else if (qobject_cast<QPushButton *>(w))
                check_roles(w, P::ButtonText, P::Button);
            else if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                     qobject_cast<QAbstractScrollArea *>(w)) {
                check_roles(w, P::Text, P::Base);
                check_roles(w, P::HighlightedText, P::Highlight);
                check_roles(w, P::Link, P::Base);
            } else if (qobject_cast<QMenu *>(w) || qobject_cast<QMenuBar *>(w)) {
                check_roles(w, P::WindowText, P::Window);
                check_roles(w, P::HighlightedText, P::Highlight);
            } else
                check_roles(w, P::WindowText, P::Window);
        }
    }
    check("tooltip", QToolTip::palette().color(P::ToolTipText),
          QToolTip::palette().color(P::ToolTipBase));
    const SkyColours sky = night_sky_colours();
    for (const QColor &back : {sky.fill, night_palette().color(P::Window)})
        for (const QColor &text : {sky.telescope, sky.text})
            check("chart", text, back);
    return faint;
}

// The first pixel of the widget's picture that is not a red on black: no more
// green or blue than red, and little of either (white, grey, yellow, blue all fail).
QString first_unred_pixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    // The text cursor: Qt inverts the field below it.
    const QRgb cursor = ~night_palette().color(QPalette::Base).rgb() | 0xff000000;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.rgb() != cursor && std::max(c.green(), c.blue()) > std::min(c.red(), 0x70))
                return QString("%1: %2 at %3,%4").arg(widget->objectName(), c.name()).arg(x).arg(y);
        }
    return QString();
}

} // namespace

// Language switching of the whole program. CTest runs this test in en_US,
// de_DE and ru_RU (the system locale is read once per process). The data files
// (the real Russian .qm, two manuals naming themselves) lie in a temporary folder.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        set_app_files_dir(dir->path());
        QVERIFY(QFile::copy(shipped_qm, app_file("_ru_RU.qm")));
        for (const QString suffix : {"_en_US", "_ru_RU"})
            write_file(app_file(suffix + ".html"), "manual" + suffix.toUtf8());
    }
    void cleanup()
    {
        set_night_colours(false); // the palette is the whole program's
        set_app_files_dir(QString());
        QVERIFY(QDir::setCurrent(start_dir));
    }
    void switchThereAndBack_data()
    {
        QTest::addColumn<bool>("russian");      // false: the Russian files are taken away
        QTest::addColumn<QStringList>("lines"); // written on the switch; D/N = folder/name
        const QString ok = "D/N_ru_RU.qm Ok!", fail = "D/N_ru_RU.qm Fail...";
        const QString trying = "Trying Russian... ";
        const QString no_manual = "Can't find D/N_ru_RU.html! Does not exist?";
        const QString anyway = "System locale is en_US... But anyway trying Russian ...";
        const QString no_help = "No Help-file for System locale de_DE... Trying Russian one...";
        if (locale == "en_US") {
            QTest::newRow("US English") << true << QStringList{anyway, ok};
            QTest::newRow("US English, no Russian files")
                << false << QStringList{anyway, fail, no_manual};
        } else if (locale == "de_DE") {
            QTest::newRow("German falls back to Russian")
                << true << QStringList{"D/N_de_DE.qm Fail...", trying, ok, no_help};
        } else {
            QTest::newRow("Russian") << true << QStringList{ok};
            QTest::newRow("Russian, no Russian files")
                << false << QStringList{fail, trying, fail, no_manual};
        }
    }
    void switchThereAndBack()
    {
        QFETCH(bool, russian);
        QFETCH(QStringList, lines);
        for (const QString file : {"_ru_RU.qm", "_ru_RU.html"})
            QVERIFY(russian || QFile::remove(app_file(file)));
        lines.replaceInStrings("D/N", app_file(QString()));
        // Translations named like the program in the current folder are no
        // English: the way back must not load them.
        QVERIFY(QDir(dir->path()).mkdir("current"));
        QVERIFY(QDir::setCurrent(dir->filePath("current")));
        for (const char *stray : {".qm", "C.qm", "_C.qm"})
            QVERIFY(QFile::copy(shipped_qm, app_files_name() + stray));

        Velto_Obj_List window;
        MainWindowProbe probe(window);
        QWidgetList windows{&window, probe.listWindow(), &probe.sky(), probe.corrWindow()};
        windows << probe.helpWindow() << probe.aboutWindow();
        for (QWidget *shown : windows) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown));
        }
        // What the observer sees of each kind of text: a form's, the about text's
        // last line, the manual, the level label before any login (the query
        // user and level 0), Qt's own file dialog opened from the list window,
        // and every text that does not fit its widget.
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
                               probe.helpWindow()->toPlainText(),
                               probe.form().velto_level_lab->text(), look_in} +
                   cut_texts(windows, *window.statusBar());
        };
        const QStringList english{"Send Object to Velto", "Author: The Velto-1000 team",
                                  "manual_en_US", "User=guest Level=0 ", "Look in:"};
        const QStringList national{"Передать в Velto", "Автор: Команда Velto-1000", "manual_ru_RU",
                                   "Польз.=guest Ур.=0 ", "Перейти к:"};
        const auto switch_to = [&](bool national) {
            QVERIFY(probe.form().actionNatLang->isChecked() != national);
            probe.form().actionNatLang->trigger();
        };
        LogCapture log;
        switch_to(true);
        QCOMPARE(log.out, lines);
        QCOMPARE(shown().join(" | "), (russian ? national : english).join(" | "));
        log.out.clear();
        switch_to(false);
        QCOMPARE(log.out, QStringList());
        QCOMPARE(shown().join(" | "), english.join(" | ")); // both translators empty again
        // Both values go in at once: a name holding "%2" stays as it is.
        probe.setUserAndLevel("obs%2", 3);
        switch_to(true);
        // The name last tried is kept: a German system tries Russian at once.
        QCOMPARE(log.out, locale == "de_DE" ? lines.mid(2) : lines);
        const char *level = russian ? "Польз.=obs%2 Ур.=3 " : "User=obs%2 Level=3 ";
        QCOMPARE(probe.form().velto_level_lab->text(), QString::fromUtf8(level));
    }
    // Every text the code and the forms mark for translation, as lupdate finds
    // them now, has a finished Russian translation (lupdate marks new ones
    // unfinished in a copy of the shipped source).
    void everyTextOfTheCodeIsTranslated()
    {
        const QString ts = dir->filePath("copy.ts");
        write_file(ts, file_bytes(VELTO_TS_FILE)); // a copy lupdate may write
        QProcess lupdate;
        lupdate.setWorkingDirectory(VELTO_SOURCE_DIR);
        lupdate.start(VELTO_LUPDATE,
                      QStringList{"-locations", "none", "-extensions", "cpp,h,ui", "-I", "."}
                          << QString(VELTO_TR_SOURCE_DIRS).split(',') << "-ts" << ts);
        QVERIFY(lupdate.waitForFinished(120000) && lupdate.exitCode() == 0);
        const QByteArray text = file_bytes(ts);
        QVERIFY(text.count("<source>") > 100);
        const qsizetype unfinished = text.indexOf("type=\"unfinished\"");
        QVERIFY2(unfinished < 0,
                 text.mid(text.lastIndexOf("<source>", unfinished), 200).constData());
    }
    // Close stays centred with its bottom edge three pixels above the window's,
    // also in a window narrower than it; Begin right next to it.
    void helpAndAboutButtonsAtTheBottomCentre()
    {
        Velto_help help;
        Velto_about about;
        for (const auto &[window, size] : {std::pair<QWidget *, QSize>{&help, {401, 300}},
                                           {&help, {51, 100}},
                                           {&about, {501, 587}}}) {
            window->resize(size);
            window->show();
            const QRect close = window->findChild<QPushButton *>("Close")->geometry();
            QTRY_COMPARE(close.bottom(), size.height() - 3);
            QVERIFY(qAbs(2 * close.x() + close.width() - size.width()) <= 1); // centred
            if (auto *begin = window->findChild<QPushButton *>("Begin"))
                QCOMPARE(begin->geometry().bottomRight() + QPoint(1, 0), close.bottomLeft());
        }
    }
    // Every window turns red on black with every text readable and whole; off
    // again, every window looks as it did before, pixel for pixel. In English
    // when run in US English, in Russian when run in German or Russian.
    void nightColours()
    {
        QApplication::setCursorFlashTime(0); // no blinking between the pictures compared
        QVERIFY(QFile::copy(VELTO_DATA_DIR "/Velto_Obj_List_icon.png", app_file("_icon.png")));
        Velto_Obj_List window;
        MainWindowProbe probe(window);
        // The states in colour, the telescope and a selected object on the chart.
        tcs.sim.set_canned_body(SimScript::State,
                                "State=Ok\nUser=obs\nLevel=3\nTCSmode=Simul\n"
                                "TelMode=Track\nStime=3\nRA=2\nDec=40\nA=20\nZ=30\n");
        QMetaObject::invokeMethod(&window, "on_velto_get_btn_clicked");
        QTRY_COMPARE(probe.form().velto_state_lab->text(), QString("Track"));
        probe.listWindow()->insert_object(0, "Vega", "02:30:00", "+45:00:00", "2000.0");
        probe.sky().set_selected(0);
        if (locale != "en_US")
            probe.form().actionNatLang->trigger();
        QWidgetList windows{&window, probe.listWindow(), &probe.sky(), probe.corrWindow()};
        windows << probe.helpWindow() << probe.aboutWindow();
        for (QWidget *shown : windows) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown));
        }
        // Pictures compared are taken with the main window active (its field has
        // the focus) and the layouts following the new texts.
        const auto settle = [&] {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QCoreApplication::processEvents();
        };
        settle();
        QList<QImage> day;
        for (QWidget *shown : windows)
            day << shown->grab().toImage();
        QAction *night = probe.form().actionNight_colours;
        night->trigger();
        QCoreApplication::processEvents(); // the new palette reaches every widget
        for (QWidget *shown : windows)
            QCOMPARE(first_unred_pixel(shown), QString());
        QCOMPARE(faint_texts(windows), QStringList());
        QCOMPARE(cut_texts(windows, *window.statusBar()), QStringList());
        // Qt's file dialog (folder icons come in a moment later) and a message
        // box with its warning sign are red too.
        QFileDialog dialog(&window);
        QMessageBox box(QMessageBox::Warning, "box", "text", QMessageBox::Ok, &window);
        for (QWidget *shown : QWidgetList{&dialog, &box}) {
            shown->show();
            QTRY_COMPARE(first_unred_pixel(shown), QString());
            shown->hide();
        }
        night->trigger();
        settle();
        for (int i = 0; i < windows.size(); ++i)
            QVERIFY2(windows[i]->grab().toImage() == day[i], qPrintable(windows[i]->objectName()));
        // By night each day look of the state, mode and connection labels keeps a look
        // of its own that can be told apart without colours, readable on its background.
        night->trigger();
        QMap<QString, QString> looks; // by the day colours
        for (const char *reply :
             {"User=obs\nTCSmode=Simul\nTelMode=Stop", "TCSmode=Hard\nTelMode=Slew",
              "TCSmode=Remote\nTelMode=Moving", "TelMode=Track", "TelMode=Fault"}) {
            tcs.sim.set_canned_body(SimScript::State, "State=Ok\n" + QByteArray(reply) + '\n');
            QMetaObject::invokeMethod(&window, "on_velto_get_btn_clicked");
            QTRY_VERIFY(!probe.stateReplyPending());
            QCOMPARE(faint_texts({&window}), QStringList());
            auto &f = probe.form();
            for (const QLabel *label : {f.vtcs_connect_lab, f.velto_tcs_lab, f.velto_state_lab}) {
                const QColor text = label->palette().color(QPalette::WindowText);
                const QColor back = label->palette().color(QPalette::Window);
                looks[day_label_colours(label).join('/')] = QString("%1 %2 %3 %4")
                                                                .arg(text.name(), back.name())
                                                                .arg(label->font().underline())
                                                                .arg(label->font().overline());
            }
        }
        QCOMPARE(looks.size(), 8);
        QVERIFY(looks.value("Black/Lightgray").endsWith(" 0 0")); // unknown, off: plain, no lines
        QCOMPARE(QSet<QString>(looks.cbegin(), looks.cend()).size(), 8);
    }

private:
    LocalTcs tcs; // answers the users list of every main window
    std::unique_ptr<QTemporaryDir> dir;
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
