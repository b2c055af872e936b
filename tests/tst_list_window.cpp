#include "list_window_probe.h"
#include "objlist/lst_line.h"

#include <QRandomGenerator>
#include <QtTest>

namespace
{

// A receiver that records the objects handed to it.
class RecordingReceiver : public Velto_object
{
public:
    using Velto_object::set_object;
    void set_object(const QString &name, const QString &ra, const QString &dec,
                    const QString &epoch) override
    {
        calls << QStringList{name, ra, dec, epoch}.join(QLatin1Char('|'));
    }
    QStringList calls;
};

// A double click as the window system delivers it: press, release, double
// click, release.
void double_click(QWidget *viewport, QPoint pos)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, pos);
}

// A shown list window over its own object list, freed with the test.
struct ListFixture {
    ListFixture() : window(nullptr, &objects), probe(window) { window.set_receiver(&receiver); }
    ~ListFixture() { qDeleteAll(objects); }

    QList<Velto_object *> objects;
    RecordingReceiver receiver;
    Velto_list window;
    ListWindowProbe probe;
};

// Rows 0 "A" (object), 1 a comment, 2 "B" (object): the last insert leaves
// row 2 current and last.
void fill_three_rows(Velto_list &window)
{
    window.insert_object(0, QStringLiteral("A"), QStringLiteral("01:00:00"),
                         QStringLiteral("+10:00:00"), QStringLiteral("2000.0"));
    window.insert_comment(1, QStringLiteral("note"));
    window.insert_object(2, QStringLiteral("B"), QStringLiteral("02:00:00"),
                         QStringLiteral("-20:00:00"), QStringLiteral("1950.0"));
}

void check_invariants(const QList<Velto_object *> &objects, const ListWindowProbe &probe)
{
    QCOMPARE(probe.rows().count(), objects.size());
    for (int i = 0; i < objects.size(); ++i) {
        QCOMPARE(objects.at(i)->num, i);
        const bool object_row = parse_lst_line(probe.rows().item(i)->text()).is_object;
        QCOMPARE(!objects.at(i)->is_comment, object_row);
    }
}

} // namespace

class TestListWindow : public QObject
{
    Q_OBJECT

private slots:
    void formOfTheWindow();
    void retranslateSetsTheTexts();
    void insertObject_data();
    void insertObject();
    void removeRow_data();
    void removeRow();
    void clearKeepsLastRow();
    void choosing_data();
    void choosing();
    void mouseClicksReachTheReceiver();
    void resizeMovesListAndBox();
};

void TestListWindow::formOfTheWindow()
{
    ListFixture f;
    const Ui::Velto_list &form = f.probe.form();
    QCOMPARE(f.window.objectName(), QStringLiteral("Velto_list"));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Velto List"));
    QCOMPARE(f.window.size(), QSize(550, 500));
    QCOMPARE(f.window.frameShape(), QFrame::StyledPanel);
    QCOMPARE(f.window.frameShadow(), QFrame::Raised);
    QCOMPARE(form.velto_btn_box->geometry(), QRect(0, 0, 569, 56));
    QCOMPARE(form.velto_btn_box->minimumHeight(), 50);
    QCOMPARE(form.velto_btn_box->title(),
             QStringLiteral("         LIst of observational objects."));
    QCOMPARE(form.velto_btn_box->font().pointSize(), 12);
    QVERIFY(form.velto_btn_box->font().italic());
    QCOMPARE(form.velto_clr_lst_btn->geometry(), QRect(5, 25, 131, 24));
    QCOMPARE(form.velto_get_lst_btn->geometry(), QRect(145, 25, 141, 24));
    for (QPushButton *button : {form.velto_clr_lst_btn, form.velto_get_lst_btn}) {
        QCOMPARE(button->font().pointSize(), 10);
        QVERIFY(button->font().bold());
    }
    QCOMPARE(form.velto_clr_lst_btn->text(), QStringLiteral("Clear list"));
    QCOMPARE(form.velto_clr_lst_btn->toolTip(),
             QStringLiteral("<html><head/><body><p>Clear objects list</p></body></html>"));
    QCOMPARE(form.velto_get_lst_btn->text(), QStringLiteral("Read .lst file"));
    QCOMPARE(form.velto_get_lst_btn->toolTip(),
             QStringLiteral("<html><head/><body><p>Select .lst file, Read it and Add objects to "
                            "list</p></body></html>"));
    QCOMPARE(form.velto_obj_box->geometry(), QRect(0, 50, 1920, 1080));
    QCOMPARE(form.velto_obj_lst->geometry(), QRect(5, 5, 541, 441));
    QCOMPARE(form.velto_obj_lst->font().family(), QStringLiteral("Monospace"));
    QCOMPARE(form.velto_obj_lst->font().pointSize(), 10);
    QCOMPARE(f.probe.lastRow(), -1);
    QVERIFY(f.probe.lastFile().isNull());
    QCOMPARE(f.window.current_row(), 0);
    QCOMPARE(QLocale().name(), QLocale::c().name());
}

void TestListWindow::retranslateSetsTheTexts()
{
    ListFixture f;
    const Ui::Velto_list &form = f.probe.form();
    f.window.setWindowTitle(QString());
    form.velto_btn_box->setTitle(QString());
    form.velto_clr_lst_btn->setText(QString());
    form.velto_get_lst_btn->setToolTip(QString());
    f.window.retranslateUi();
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Velto List"));
    QCOMPARE(form.velto_btn_box->title(),
             QStringLiteral("         LIst of observational objects."));
    QCOMPARE(form.velto_clr_lst_btn->text(), QStringLiteral("Clear list"));
    QVERIFY(form.velto_get_lst_btn->toolTip().contains(QLatin1String("Read it and Add")));
}

void TestListWindow::insertObject_data()
{
    QTest::addColumn<bool>("filled"); // starts with the three rows A, note, B
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QStringList>("texts");

    const QString a = QStringLiteral(" 01 00 00    : +10 00 00   ; 2000.0 # A");
    const QString b = QStringLiteral(" 02 00 00    : -20 00 00   ; 1950.0 # B");
    const QString note = QStringLiteral("# note");
    const QString n = QStringLiteral(" 12 00 00    : +10 00 00   ; 2000.0 # N");
    QTest::newRow("empty list takes row 0") << false << 0 << "12:00:00"
                                            << "+10:00:00" << QStringList{n};
    QTest::newRow("empty list refuses row 1") << false << 1 << "12:00:00"
                                              << "+10:00:00" << QStringList{};
    QTest::newRow("before the first row") << true << 0 << "12:00:00"
                                          << "+10:00:00" << QStringList{n, a, note, b};
    QTest::newRow("in the middle") << true << 2 << "12:00:00"
                                   << "+10:00:00" << QStringList{a, note, n, b};
    QTest::newRow("after the last row") << true << 3 << "12:00:00"
                                        << "+10:00:00" << QStringList{a, note, b, n};
    QTest::newRow("beyond the end is refused") << true << 4 << "12:00:00"
                                               << "+10:00:00" << QStringList{a, note, b};
    QTest::newRow("negative row is refused") << true << -1 << "12:00:00"
                                             << "+10:00:00" << QStringList{a, note, b};
    QTest::newRow("empty right ascension makes a comment")
        << true << 1 << ""
        << "+10:00:00" << QStringList{a, "# N", note, b};
    QTest::newRow("one-character right ascension makes a comment")
        << true << 1 << "5"
        << "+10:00:00" << QStringList{a, "# N", note, b};
    QTest::newRow("single-digit degrees are an object")
        << false << 0 << "12:00:00"
        << "-5:00:00" << QStringList{" 12 00 00    : -5 00 00    ; 2000.0 # N"};
}

void TestListWindow::insertObject()
{
    QFETCH(bool, filled);
    QFETCH(int, row);
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QStringList, texts);
    ListFixture f;
    if (filled)
        fill_three_rows(f.window);
    const int before = int(f.objects.size());
    f.window.insert_object(row, QStringLiteral("N"), ra, dec, QStringLiteral("2000.0"));
    QCOMPARE(f.probe.texts(), texts);
    check_invariants(f.objects, f.probe);
    if (texts.size() > before) {
        QCOMPARE(f.probe.rows().currentRow(), row);
        QCOMPARE(f.probe.lastRow(), row);
        const Velto_object *object = f.objects.at(row);
        const bool is_object = !object->is_comment;
        QCOMPARE(object->name, is_object ? QStringLiteral("N") : QString());
        QCOMPARE(object->ra_str, is_object ? ra : QString());
    }
}

void TestListWindow::removeRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("names"); // names of the objects left, "" for comments

    QTest::newRow("first row") << 0 << QStringList{"", "B"};
    QTest::newRow("comment row") << 1 << QStringList{"A", "B"};
    QTest::newRow("last row") << 2 << QStringList{"A", ""};
    QTest::newRow("beyond the end is ignored") << 3 << QStringList{"A", "", "B"};
    QTest::newRow("no current row is ignored") << -1 << QStringList{"A", "", "B"};
}

void TestListWindow::removeRow()
{
    QFETCH(int, row);
    QFETCH(QStringList, names);
    ListFixture f;
    fill_three_rows(f.window);
    f.window.remove_row(row);
    QStringList left;
    for (const Velto_object *object : std::as_const(f.objects))
        left << object->name;
    QCOMPARE(left, names);
    check_invariants(f.objects, f.probe);
    QCOMPARE(f.probe.lastRow(), f.window.current_row());
}

void TestListWindow::clearKeepsLastRow()
{
    ListFixture f;
    fill_three_rows(f.window);
    f.window.clear_list();
    QCOMPARE(f.probe.rows().count(), 0);
    QVERIFY(f.objects.isEmpty());
    QCOMPARE(f.probe.lastRow(), 2);
    QCOMPARE(f.window.current_row(), 0);
    f.window.remove_row(0);
    QCOMPARE(f.probe.rows().count(), 0);
}

// Steps: "click r" (a click on row r), "double r", "pick r" (select_row from
// the sky chart), "choice r" (velto_list_choice), "remove r".
void TestListWindow::choosing_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<int>("last_row");

    const QString a = QStringLiteral("A|01:00:00|+10:00:00|2000.0");
    const QString b = QStringLiteral("B|02:00:00|-20:00:00|1950.0");
    QTest::newRow("first click on another row only highlights")
        << QStringList{"click 0"} << QStringList{} << 0;
    QTest::newRow("second click on the row fills the form")
        << QStringList{"click 0", "click 0"} << QStringList{a} << 0;
    QTest::newRow("click on the row just inserted fills the form")
        << QStringList{"click 2"} << QStringList{b} << 2;
    QTest::newRow("clicks on two rows fill nothing")
        << QStringList{"click 0", "click 2"} << QStringList{} << 2;
    QTest::newRow("double click fills the form at once")
        << QStringList{"double 0"} << QStringList{a} << 0;
    QTest::newRow("clicks on a comment row do nothing")
        << QStringList{"click 1", "click 1", "double 1"} << QStringList{} << 1;
    QTest::newRow("a comment click in between breaks the pair")
        << QStringList{"click 0", "click 1", "click 0"} << QStringList{} << 0;
    QTest::newRow("two picks on the chart fill the form")
        << QStringList{"pick 0", "pick 0"} << QStringList{a} << 0;
    QTest::newRow("pick of the row just inserted fills the form")
        << QStringList{"pick 2"} << QStringList{b} << 2;
    QTest::newRow("pick then click fills the form")
        << QStringList{"pick 0", "click 0"} << QStringList{a} << 0;
    QTest::newRow("picks of comment rows do nothing")
        << QStringList{"pick 1", "pick 1"} << QStringList{} << 1;
    QTest::newRow("picks out of range are ignored")
        << QStringList{"pick 3", "pick -1"} << QStringList{} << 2;
    QTest::newRow("choice fills the form and keeps the last row")
        << QStringList{"choice 0"} << QStringList{a} << 2;
    QTest::newRow("choice of a comment or out of range does nothing")
        << QStringList{"choice 1", "choice 3", "choice -1"} << QStringList{} << 2;
    QTest::newRow("the row current after a removal is the last row")
        << QStringList{"remove 1", "click 1"} << QStringList{b} << 1;
}

void TestListWindow::choosing()
{
    QFETCH(QStringList, steps);
    ListFixture f;
    fill_three_rows(f.window);
    QListWidget &rows = f.probe.rows();
    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const int row = words.at(1).toInt();
        if (words.at(0) == QLatin1String("click")) {
            rows.setCurrentRow(row);
            f.window.velto_list_click(rows.item(row));
        } else if (words.at(0) == QLatin1String("double")) {
            f.window.velto_list_doubleclick(rows.item(row));
        } else if (words.at(0) == QLatin1String("pick")) {
            f.window.select_row(row);
            if (row >= 0 && row < rows.count())
                QCOMPARE(rows.currentRow(), row);
        } else if (words.at(0) == QLatin1String("choice")) {
            f.window.velto_list_choice(row);
        } else {
            f.window.remove_row(row);
        }
    }
    QTEST(f.receiver.calls, "chosen");
    QTEST(f.probe.lastRow(), "last_row");
}

// The same through the mouse: the list's signals reach the window's slots.
void TestListWindow::mouseClicksReachTheReceiver()
{
    ListFixture f;
    fill_three_rows(f.window);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QListWidget &rows = f.probe.rows();
    const QPoint first = rows.visualItemRect(rows.item(0)).center();
    QTest::mouseClick(rows.viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(f.probe.lastRow(), 0);
    QVERIFY(f.receiver.calls.isEmpty());
    QTest::mouseClick(rows.viewport(), Qt::LeftButton, {}, first);
    QCOMPARE(f.receiver.calls, QStringList{QStringLiteral("A|01:00:00|+10:00:00|2000.0")});

    f.receiver.calls.clear();
    const QPoint comment = rows.visualItemRect(rows.item(1)).center();
    double_click(rows.viewport(), comment);
    QVERIFY(f.receiver.calls.isEmpty());
    double_click(rows.viewport(), rows.visualItemRect(rows.item(2)).center());
    QVERIFY(!f.receiver.calls.isEmpty());
    QCOMPARE(f.receiver.calls.first(), QStringLiteral("B|02:00:00|-20:00:00|1950.0"));
    QCOMPARE(f.probe.lastRow(), 2);
}

void TestListWindow::resizeMovesListAndBox()
{
    ListFixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const Ui::Velto_list &form = f.probe.form();
    QCOMPARE(form.velto_obj_lst->size(), QSize(541, 441));
    f.window.resize(650, 550);
    QTRY_COMPARE(form.velto_obj_lst->size(), QSize(641, 491));
    QCOMPARE(form.velto_btn_box->size(), QSize(669, 56));
    f.window.resize(500, 400);
    QTRY_COMPARE(form.velto_obj_lst->size(), QSize(491, 341));
    QCOMPARE(form.velto_btn_box->size(), QSize(519, 56));
}

QTEST_MAIN(TestListWindow)
#include "tst_list_window.moc"
