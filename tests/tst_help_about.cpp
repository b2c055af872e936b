#include "app/app_files.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "log_capture.h"

#include "local_tcs.h"
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>

#include <QtTest>

// The help and about windows on their own.
class TestHelpAbout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void helpForm();
    void manualReadAsUtf8();
    void invalidUtf8ShowsReplacementCharacters();
    void failedLoadKeepsThePreviousManual_data();
    void failedLoadKeepsThePreviousManual();
    void buttonsStayAtTheBottomCentre_data();
    void buttonsStayAtTheBottomCentre();
    void beginReturnsToTheTopAndCloseHides();
    void shippedManuals_data();
    void shippedManuals();
    void aboutForm();
    void aboutTextCharacterForCharacter();
    void aboutDocumentRebuiltOnEachCall();
    void aboutWithoutIconStillHasItsText();

private:
    LocalTcs tcs; // answers the users list of every main window
    QString write_file(const QString &name, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> dir;
};

QString TestHelpAbout::write_file(const QString &name, const QByteArray &bytes)
{
    QFile file(dir->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

void TestHelpAbout::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    set_app_files_dir(dir->path());
}

void TestHelpAbout::helpForm()
{
    Velto_help help;
    QCOMPARE(help.objectName(), QStringLiteral("Velto_help"));
    QCOMPARE(help.size(), QSize(566, 436));
    QCOMPARE(help.windowTitle(), QStringLiteral("Velto_Obj_List manual"));
    auto *close = help.findChild<QPushButton *>("Close");
    auto *begin = help.findChild<QPushButton *>("Begin");
    QVERIFY(close && begin);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    QCOMPARE(close->size(), QSize(61, 26));
    QCOMPARE(begin->text(), QStringLiteral("^"));
    QCOMPARE(begin->toolTip(), QStringLiteral("To the beginning"));
    QCOMPARE(begin->font().pointSize(), 17);
    QCOMPARE(begin->size(), QSize(31, 26));
}

void TestHelpAbout::manualReadAsUtf8()
{
    Velto_help help;
    LogCapture log;
    help.load_help(write_file("m.html", "<html><body><a name=\"begin\"></a>"
                                        "<h1>Руководство</h1><p>α δ ″</p></body></html>"));
    help.show(); // the manual is laid out when the window is shown
    QCOMPARE(help.toPlainText(), QStringLiteral("Руководство\nα δ ″"));
    QVERIFY(log.out.isEmpty());
}

void TestHelpAbout::invalidUtf8ShowsReplacementCharacters()
{
    Velto_help help;
    help.load_help(write_file("bad.html", "<p>ab\xff\xfe"
                                          "cd \xd0</p>"));
    help.show();
    const QString replacement(QChar::ReplacementCharacter);
    QCOMPARE(help.toPlainText(), "ab" + replacement + replacement + "cd " + replacement);
}

void TestHelpAbout::failedLoadKeepsThePreviousManual_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("make_folder"); // a folder exists but cannot be read as a file
    QTest::addColumn<QString>("line");
    QTest::newRow("missing manual") << "none.html" << false << "Can't find %1! Does not exist?";
    QTest::newRow("unreadable manual") << "folder.html" << true << "Can't read %1! Unreadable?";
}

void TestHelpAbout::failedLoadKeepsThePreviousManual()
{
    QFETCH(QString, name);
    QFETCH(bool, make_folder);
    QFETCH(QString, line);
    const QString file = dir->filePath(name);
    if (make_folder)
        QVERIFY(QDir(dir->path()).mkdir(name));

    Velto_help help;
    LogCapture log;
    help.load_help(file);
    QCOMPARE(help.toPlainText(), QString()); // empty at start
    help.load_help(write_file("good.html", "<p>first manual</p>"));
    help.load_help(file);
    help.show();
    QCOMPARE(help.toPlainText(), QStringLiteral("first manual"));
    QCOMPARE(log.out, QStringList({line.arg(file), line.arg(file)}));
    QVERIFY(log.err.isEmpty());
}

void TestHelpAbout::buttonsStayAtTheBottomCentre_data()
{
    QTest::addColumn<bool>("about"); // the about window, else the help window
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("close");
    QTest::addColumn<QPoint>("begin");
    QTest::newRow("help at 400 pixels wide")
        << false << QSize(400, 300) << QPoint(169, 272) << QPoint(138, 272);
    QTest::newRow("help at its first size")
        << false << QSize(566, 436) << QPoint(252, 408) << QPoint(221, 408);
    QTest::newRow("help narrower than its buttons")
        << false << QSize(41, 200) << QPoint(-10, 172) << QPoint(-41, 172);
    QTest::newRow("about at 400 pixels wide")
        << true << QSize(400, 300) << QPoint(169, 272) << QPoint();
    QTest::newRow("about at its first size")
        << true << QSize(565, 587) << QPoint(252, 559) << QPoint();
}

void TestHelpAbout::buttonsStayAtTheBottomCentre()
{
    QFETCH(bool, about);
    QFETCH(QSize, size);
    QFETCH(QPoint, close);
    QFETCH(QPoint, begin);
    std::unique_ptr<QWidget> window;
    if (about)
        window = std::make_unique<Velto_about>();
    else
        window = std::make_unique<Velto_help>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(size);
    QTRY_COMPARE(window->size(), size);
    QTRY_COMPARE(window->findChild<QPushButton *>("Close")->pos(), close);
    if (!about)
        QCOMPARE(window->findChild<QPushButton *>("Begin")->pos(), begin);
}

void TestHelpAbout::beginReturnsToTheTopAndCloseHides()
{
    QByteArray html = "<html><body><a name=\"begin\"></a><h1>Top</h1>";
    for (int i = 0; i < 200; ++i)
        html += "<p>line " + QByteArray::number(i) + "</p>";
    html += "<a name=\"end\"></a><p>End</p></body></html>";
    Velto_help help;
    help.load_help(write_file("long.html", html));
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    help.scrollToAnchor("begin");
    const int top = help.verticalScrollBar()->value();
    help.scrollToAnchor("end");
    QTRY_VERIFY(help.verticalScrollBar()->value() > top + 1000);
    QTest::mouseClick(help.findChild<QPushButton *>("Begin"), Qt::LeftButton);
    QTRY_COMPARE(help.verticalScrollBar()->value(), top);
    QTest::mouseClick(help.findChild<QPushButton *>("Close"), Qt::LeftButton);
    QVERIFY(help.isHidden());
}

void TestHelpAbout::shippedManuals_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("English manual") << "Velto_Obj_List_en_US.html"
                                    << "observer's manual";
    QTest::newRow("Russian manual") << "Velto_Obj_List_ru_RU.html"
                                    << "руководство наблюдателя";
}

void TestHelpAbout::shippedManuals()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFile source(QStringLiteral(VELTO_DATA_DIR "/") + file);
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(source.readAll());
    QVERIFY(!html.contains(QChar::ReplacementCharacter));
    // "begin" is the first anchor, and every link inside the manual has its anchor.
    const QRegularExpression anchor("<a name=\"([^\"]+)\"");
    QCOMPARE(anchor.match(html).captured(1), QStringLiteral("begin"));
    QStringList anchors;
    for (const auto &match : anchor.globalMatch(html))
        anchors << match.captured(1);
    for (const auto &match : QRegularExpression("href=\"#([^\"]+)\"").globalMatch(html))
        QVERIFY2(anchors.contains(match.captured(1)), qPrintable(match.captured(1)));
    QVERIFY(anchors.size() >= 15);

    Velto_help help;
    LogCapture log;
    help.load_help(source.fileName());
    QVERIFY(log.out.isEmpty());
    help.show();
    QVERIFY(help.toPlainText().contains(title));

    // A link of the contents moves within the manual and keeps it.
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QString text = help.toPlainText();
    help.setSource(QUrl("#files"));
    QTRY_VERIFY(help.verticalScrollBar()->value() > 0);
    QCOMPARE(help.toPlainText(), text);
}

void TestHelpAbout::aboutForm()
{
    Velto_about about;
    QCOMPARE(about.objectName(), QStringLiteral("Velto_about"));
    QCOMPARE(about.size(), QSize(565, 587));
    QVERIFY(about.isReadOnly());
    about.set_about_text();
    QCOMPARE(about.windowTitle(), QStringLiteral("About Velto_Obj_List"));
    QCOMPARE(about.findChild<QPushButton *>("Close")->text(), QStringLiteral("Close"));
}

void TestHelpAbout::aboutTextCharacterForCharacter()
{
    // The ten pieces are the translation keys: typos, the two blanks in the
    // sixth and the unclosed bold of the title stay as they are.
    const QString expected = QStringLiteral(
        "<html><body><p><font size=+2><b>Velto_Obj_List<b></font></p>"
        "The application is designed for observations on the Velto-1000 telescope.<br>"
        "Its main differences from all previously developed ones are: "
        "<ul><li>It is developed on the basis of the widespread version of Qt5, which allows you "
        "to create (generate) versions of it for different versions of Windows and Linux.</li>"
        "<li>Does not use any special software interfaces to communicate with the Velto TCS, and "
        "it works over HTTP through Velto website, which have CGI-supporting programs.</li>"
        "<li>Implements the minimum necessary functions for observations on the telescope.</li>"
        "<li>Reproduces the usual methods of convenient work with objects lists  in the "
        "well-established xxx.lst file format (as in previous programs).</li>"
        "<li>At the same time, it implements the principle of graphical representation of "
        "objects in the sky (as in the program <b><i>velto_list</i></b>).</li>"
        "<li>Allows you to save space on the screen by scaling or completely hiding unused "
        "windows.</li>"
        "<li>Uses Qt-internationalization (via Qt-Linguist) to switch the application interface "
        "to the national language. At the moment, the Russian language is implemented for "
        "Russified OS.</li>"
        "<li>It has the detailed internal description of the application called from the menu "
        "in the form of a separate window. Also in English and the national (now Russian) "
        "language.</li></ul>"
        "<p align=right>Author: <i>The Velto-1000 team</i></p></body></html>");
    QCOMPARE(Velto_about::about_html(), expected);

    Velto_about about;
    about.set_about_text();
    const QString text = about.toPlainText();
    int at = 0;
    for (const char *piece :
         {"Velto_Obj_List", "designed for observations", "main differences", "version of Qt5",
          "special software interfaces", "minimum necessary", "objects lists in",
          "graphical representation", "save space", "Qt-internationalization",
          "detailed internal description", "Author: The Velto-1000 team"}) {
        const int next = text.indexOf(QLatin1String(piece), at);
        QVERIFY2(next >= at, piece);
        at = next;
    }
}

void TestHelpAbout::aboutDocumentRebuiltOnEachCall()
{
    write_file(QCoreApplication::applicationName() + "_icon.png",
               QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8"
                                      "/5+hHgAHggJ/PchI7wAAAABJRU5ErkJggg=="));
    Velto_about about;
    about.resize(500, 587);
    about.set_about_text();
    QPointer<QTextDocument> first = about.document();
    about.set_about_text();
    QPointer<QTextDocument> second = about.document();
    QVERIFY(first && second && first != second);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(about.findChildren<QTextDocument *>(Qt::FindDirectChildrenOnly),
             QList<QTextDocument *>({second.data()}));

    QCOMPARE(second->documentMargin(), 20.0);
    auto *table = qobject_cast<QTextTable *>(second->rootFrame()->childFrames().value(0));
    QVERIFY(table);
    QCOMPARE(table->rows(), 1);
    QCOMPARE(table->columns(), 2);
    const QTextTableFormat format = table->format();
    QCOMPARE(format.border(), 0.0);
    QCOMPARE(format.background().color(), QColor("lightyellow"));
    QCOMPARE(format.width(), QTextLength(QTextLength::FixedLength, 500 - 40 - 10));
    const QString icon = app_file("_icon.png");
    QVERIFY(second->toHtml().contains(icon.toHtmlEscaped()));
    QVERIFY(!second->resource(QTextDocument::ImageResource, QUrl(icon)).isNull());
    QVERIFY(table->cellAt(0, 1).firstCursorPosition().block().text().contains("Velto_Obj_List"));
}

void TestHelpAbout::aboutWithoutIconStillHasItsText()
{
    Velto_about about;
    about.set_about_text();
    QVERIFY(!QFile::exists(app_file("_icon.png")));
    QVERIFY(about.toPlainText().contains("Author: The Velto-1000 team"));
}

QTEST_MAIN(TestHelpAbout)
#include "tst_help_about.moc"
