#include "dialog_answer.h"
#include "list_window_probe.h"
#include "local_tcs.h"
#include "main_window_probe.h"
#include "objlist/lst_line.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

struct FormTexts {
    QString name;
    QString ra;
    QString dec;
    QString epoch;
};

void fill_form(Ui::Velto_Obj_List &form, const FormTexts &texts)
{
    form.velto_obj_edt->setText(texts.name);
    form.velto_ra_edt->setText(texts.ra);
    form.velto_decl_edt->setText(texts.dec);
    form.velto_epoch_edt->setText(texts.epoch);
}

// The row the main window builds for the form's texts.
QString expected_row(const FormTexts &texts)
{
    const QString ra = colon_form(texts.ra);
    const QString dec = colon_form(texts.dec);
    if (!valid_coordinates(ra, dec))
        return comment_line_text(texts.name.trimmed());
    return object_line_text(texts.name.trimmed(), ra, dec, texts.epoch.simplified());
}

FormTexts random_form(QRandomGenerator &random)
{
    static const QStringList ras = {"12:00:00", "12 30 00", " 1 2 3 ", "", "5", "ab", "23:59:59.9"};
    static const QStringList decs = {"+10:00:00", "-5 00 00", "+89", "", "x", "-00:30:00"};
    static const QStringList names = {"M 31", " Vega ", "", "%1 # ; :", "NGC 7000"};
    static const QStringList epochs = {"2000.0", " 1950.0 ", "", "J2000"};
    auto pick = [&random](const QStringList &list) {
        return list.at(random.bounded(int(list.size())));
    };
    return {pick(names), pick(ras), pick(decs), pick(epochs)};
}

} // namespace

class TestListActions : public QObject
{
    Q_OBJECT

private slots:
    void listWindowAtStart();
    void insertAndAddOnAnEmptyList_data();
    void insertAndAddOnAnEmptyList();
    void formObjectRow_data();
    void formObjectRow();
    void blankSeparatedCoordinatesGetColons();
    void insertCommentWithoutCurrentRowGoesToTheTop();
    void insertCommentWithEmptyName();
    void removeOnAnEmptyListDoesNothing();
    void clearShowsTheHiddenWindow();
    void toggleShowsAndHides();
    void doubleClickFillsTheMainForm();
    void quitClosesTheListWindow();
    void readAndAddShowsTheListWindow();
    void saveListWritesTheRows();
    void randomEditingKeepsTheInvariants();

private:
    LocalTcs tcs; // answers the users list of every main window
};

void TestListActions::listWindowAtStart()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    Velto_list *list = probe.listWindow();
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QVERIFY(!list->parent());
    QCOMPARE(list->pos(), QPoint(100, 10));
    QVERIFY(probe.objList().isEmpty());
}

void TestListActions::insertAndAddOnAnEmptyList_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Insert Object") << "actionInsert_Object";
    QTest::newRow("Add Object") << "actionAdd_Object";
}

void TestListActions::insertAndAddOnAnEmptyList()
{
    QFETCH(QString, action);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    fill_form(probe.form(), {"A", "12:00:00", "+10:00:00", "2000.0"});
    window.findChild<QAction *>(action)->trigger();
    ListWindowProbe list(*probe.listWindow());
    QCOMPARE(list.texts(), QStringList{" 12 00 00    : +10 00 00   ; 2000.0 # A"});
    QCOMPARE(list.rows().currentRow(), 0);
    QCOMPARE(probe.objList().size(), 1);
    QVERIFY(!probe.objList().first()->is_comment);
}

void TestListActions::formObjectRow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<QString>("row");

    QTest::newRow("padded object line") << "A"
                                        << "12:00:00"
                                        << "+10:00:00"
                                        << "2000.0"
                                        << " 12 00 00    : +10 00 00   ; 2000.0 # A";
    QTest::newRow("texts are simplified") << "  M  31 "
                                          << "  12:34:56.70 "
                                          << " +45:23:32.3"
                                          << " 2000.0 "
                                          << " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M  31";
    QTest::newRow("empty right ascension makes the name a comment") << " Note text "
                                                                    << ""
                                                                    << "+10:00:00"
                                                                    << "2000.0"
                                                                    << "# Note text";
    QTest::newRow("one-character right ascension makes a comment") << "A"
                                                                   << "5"
                                                                   << "+10:00:00"
                                                                   << "2000.0"
                                                                   << "# A";
    QTest::newRow("declination without digits makes a comment") << "A"
                                                                << "12:00:00"
                                                                << "+"
                                                                << "2000.0"
                                                                << "# A";
}

void TestListActions::formObjectRow()
{
    QFETCH(QString, name);
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QString, epoch);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    fill_form(probe.form(), {name, ra, dec, epoch});
    probe.form().actionAdd_Object->trigger();
    QTEST(ListWindowProbe(*probe.listWindow()).rows().item(0)->text(), "row");
}

void TestListActions::blankSeparatedCoordinatesGetColons()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    fill_form(probe.form(), {"B", "12 30 00", "-05 30 00", "2000.0"});
    probe.form().actionAdd_Object->trigger();
    const Velto_object *object = probe.objList().first();
    QCOMPARE(object->ra_str, QStringLiteral("12:30:00"));
    QCOMPARE(object->dec_str, QStringLiteral("-05:30:00"));
    QCOMPARE(object->ra_sec, 45000.0);
    QCOMPARE(object->dec_sec, -19800.0);
    // The object read back from its row is the same object.
    const Lst_line read_back = parse_lst_line(ListWindowProbe(*probe.listWindow()).texts().first());
    QCOMPARE(read_back.ra, object->ra_str);
    QCOMPARE(read_back.dec, object->dec_str);
}

void TestListActions::insertCommentWithoutCurrentRowGoesToTheTop()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    ListWindowProbe list(*probe.listWindow());
    fill_form(probe.form(), {"A", "12:00:00", "+10:00:00", "2000.0"});
    probe.form().actionAdd_Object->trigger();
    probe.form().actionAdd_Object->trigger();
    list.rows().setCurrentRow(-1);
    probe.form().velto_obj_edt->setText(QStringLiteral("  a comment  "));
    probe.form().actionInsert_Comment->trigger();
    QCOMPARE(list.rows().count(), 3);
    QCOMPARE(list.texts().first(), QStringLiteral("# a comment"));
    QVERIFY(probe.objList().first()->is_comment);
    QCOMPARE(probe.objList().at(2)->num, 2);
}

void TestListActions::insertCommentWithEmptyName()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    probe.form().velto_obj_edt->clear();
    probe.form().actionInsert_Comment->trigger();
    QCOMPARE(ListWindowProbe(*probe.listWindow()).texts(), QStringList{"# "});
}

void TestListActions::removeOnAnEmptyListDoesNothing()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    probe.form().actionRemove_Object->trigger();
    QVERIFY(probe.objList().isEmpty());
    fill_form(probe.form(), {"A", "12:00:00", "+10:00:00", "2000.0"});
    probe.form().actionAdd_Object->trigger();
    probe.form().actionRemove_Object->trigger();
    QVERIFY(probe.objList().isEmpty());
    QCOMPARE(ListWindowProbe(*probe.listWindow()).rows().count(), 0);
}

void TestListActions::clearShowsTheHiddenWindow()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    probe.form().actionAdd_Object->trigger();
    probe.listWindow()->hide();
    probe.form().actionClear_list->trigger();
    QVERIFY(probe.listWindow()->isVisible());
    QVERIFY(probe.objList().isEmpty());
}

void TestListActions::toggleShowsAndHides()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    Velto_list *list = probe.listWindow();
    probe.form().actionVelto_List->trigger();
    QVERIFY(!list->isVisible());
    probe.form().actionVelto_List->trigger();
    QVERIFY(list->isVisible());
    list->close();
    probe.form().actionVelto_List->trigger();
    QVERIFY(list->isVisible());
}

void TestListActions::doubleClickFillsTheMainForm()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    fill_form(probe.form(), {"M 31", "00:42:44.3", "+41:16:09", "2000.0"});
    probe.form().actionAdd_Object->trigger();
    probe.form().velto_clear_btn->click();
    window.hide();
    ListWindowProbe list(*probe.listWindow());
    probe.listWindow()->velto_list_doubleclick(list.rows().item(0));
    QVERIFY(window.isVisible());
    QCOMPARE(probe.form().velto_obj_edt->text(), QStringLiteral("M 31"));
    QCOMPARE(probe.form().velto_ra_edt->text(), QStringLiteral("00:42:44.3"));
    QCOMPARE(probe.form().velto_decl_edt->text(), QStringLiteral("+41:16:09"));
    QCOMPARE(probe.form().velto_epoch_edt->text(), QStringLiteral("2000.0"));
}

void TestListActions::quitClosesTheListWindow()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    window.show();
    probe.form().actionQuit->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(!probe.listWindow()->isVisible());
}

void TestListActions::readAndAddShowsTheListWindow()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("night.lst"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write("# night\n12 34 56 : +45 00 00 # A\n") > 0);
    out.close();
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    probe.form().velto_obj_edt->setText(QStringLiteral("kept"));
    probe.form().actionInsert_Comment->trigger();
    probe.listWindow()->hide();
    DialogAnswer<QFileDialog> answer([&](QFileDialog *dialog) {
        type_file_name(dialog, file);
        accept(dialog);
    });
    probe.form().actionRead_and_Add_list->trigger();
    QVERIFY(answer.answers > 0);
    QVERIFY(probe.listWindow()->isVisible());
    QCOMPARE(ListWindowProbe(*probe.listWindow()).texts(),
             (QStringList{"# kept", "# night", "12 34 56 : +45 00 00 # A"}));
    QCOMPARE(probe.objList().at(2)->num, 2);
    QVERIFY(!probe.objList().at(2)->is_comment);
}

void TestListActions::saveListWritesTheRows()
{
    QTemporaryDir dir;
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    fill_form(probe.form(), {"A", "12:00:00", "+10:00:00", "2000.0"});
    probe.form().actionAdd_Object->trigger();
    DialogAnswer<QFileDialog> answer([&](QFileDialog *dialog) {
        type_file_name(dialog, dir.filePath(QStringLiteral("saved")));
        accept(dialog);
    });
    probe.form().actionSave_list->trigger();
    QVERIFY(answer.answers > 0);
    QFile saved(dir.filePath(QStringLiteral("saved.lst")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray(" 12 00 00    : +10 00 00   ; 2000.0 # A\n"));
}

// Insert, add, comment, remove and clear through the main window's actions,
// in a long random sequence with random current rows (none included), against
// a plain list of the rows the actions should give.
void TestListActions::randomEditingKeepsTheInvariants()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    Ui::Velto_Obj_List &form = probe.form();
    ListWindowProbe list(*probe.listWindow());
    const QList<Velto_object *> &objects = probe.objList();
    QStringList model;         // row texts
    QList<bool> model_objects; // the row holds an object
    QRandomGenerator random(6061);
    for (int step = 0; step < 4000; ++step) {
        const int n = int(model.size());
        list.rows().setCurrentRow(n == 0 ? -1 : random.bounded(-1, n));
        const int current = list.rows().currentRow();
        const int before_current = qMax(current, 0);
        const FormTexts texts = random_form(random);
        const bool is_object = valid_coordinates(colon_form(texts.ra), colon_form(texts.dec));
        fill_form(form, texts);
        const int kind = random.bounded(100);
        if (kind < 30) {
            form.actionInsert_Object->trigger();
            model.insert(before_current, expected_row(texts));
            model_objects.insert(before_current, is_object);
            QCOMPARE(list.rows().currentRow(), before_current);
        } else if (kind < 55) {
            form.actionAdd_Object->trigger();
            model.append(expected_row(texts));
            model_objects.append(is_object);
            QCOMPARE(list.rows().currentRow(), n);
        } else if (kind < 70) {
            form.actionInsert_Comment->trigger();
            model.insert(before_current, comment_line_text(texts.name.trimmed()));
            model_objects.insert(before_current, false);
        } else if (kind < 98) {
            form.actionRemove_Object->trigger();
            if (current >= 0) {
                model.removeAt(current);
                model_objects.removeAt(current);
                QCOMPARE(list.lastRow(), probe.listWindow()->current_row());
            }
        } else {
            form.actionClear_list->trigger();
            model.clear();
            model_objects.clear();
        }
        QCOMPARE(list.texts(), model);
        QCOMPARE(objects.size(), model.size());
        for (int i = 0; i < objects.size(); ++i) {
            QCOMPARE(objects.at(i)->num, i);
            QCOMPARE(objects.at(i)->is_comment, !model_objects.at(i));
        }
    }
}

QTEST_MAIN(TestListActions)
#include "tst_list_actions.moc"
