#include "corr_probe.h"
#include "local_tcs.h"
#include "main_window_probe.h"

#include <QButtonGroup>
#include <QTranslator>
#include <QtTest>

namespace
{

QFont font_of(int size, bool bold, const QString &family = QString())
{
    QFont font;
    if (!family.isEmpty())
        font.setFamily(family);
    font.setPointSize(size);
    font.setBold(bold);
    return font;
}

// Translates the corrections window's texts only.
class CorrTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (QLatin1String(context) != QLatin1String("Velto_corr"))
            return QString();
        return QLatin1String("[ru] ") + QLatin1String(source);
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestVeltoCorr : public QObject
{
    Q_OBJECT

private slots:
    void windowAndGroupBox();
    void fixedTexts_data();
    void fixedTexts();
    void fonts_data();
    void fonts();
    void padLayout_data();
    void padLayout();
    void valueRows();
    void presets_data();
    void presets();
    void presetRowsAreExclusiveGroups();
    void slidersAtBothEnds_data();
    void slidersAtBothEnds();
    void presetOverwritesTheSliderValue();
    void retranslateSetsOnlyTheTwoTitles();
    void mainWindowCreatesItHidden();
    void windowsMenuTogglesIt();
    void quitClosesIt();

private:
    LocalTcs tcs; // answers the users list of every main window
};

void TestVeltoCorr::windowAndGroupBox()
{
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    QCOMPARE(window.windowTitle(), QStringLiteral("Velto Corr"));
    QCOMPARE(window.size(), QSize(408, 318));
    QCOMPARE(f.groupBox->title(), QStringLiteral("Velto-1000 correcrions"));
    QCOMPARE(f.groupBox->geometry(), QRect(10, 10, 391, 301));
    QVERIFY(!f.groupBox->isCheckable());
    QCOMPARE(f.verticalLayoutWidget->geometry(), QRect(10, 30, 371, 70));
    QCOMPARE(f.gridLayoutWidget->geometry(), QRect(50, 100, 277, 121));
    QCOMPARE(f.verticalLayoutWidget_2->geometry(), QRect(10, 220, 365, 70));
    QCOMPARE(f.gridLayout->contentsMargins(), QMargins());
    QCOMPARE(f.verticalLayout->contentsMargins(), QMargins());
    QCOMPARE(f.verticalLayout_2->contentsMargins(), QMargins());
}

void TestVeltoCorr::fixedTexts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text");

    const QStringList ha = {"1s", "0.5s", "0.2s", "0.08s", "0.04s", "0.02s"};
    const QStringList dec = {"15\"", "7.5\"", "3.0\"", "1.2\"", "0.6\"", "0.3\""};
    for (int i = 0; i < 6; ++i) {
        const QString ha_name = QStringLiteral("dha_rb%1").arg(i + 1);
        const QString dec_name = QStringLiteral("ddec_rb%1").arg(i + 1);
        QTest::newRow(qPrintable(ha_name)) << ha_name << ha[i];
        QTest::newRow(qPrintable(dec_name)) << dec_name << dec[i];
    }
    QTest::newRow("hour-angle label") << "dha_lab"
                                      << " dHA:";
    QTest::newRow("declination label") << "ddec_lab"
                                       << " dDec:";
    QTest::newRow("hour-angle value") << "dha_val"
                                      << "0.02";
    QTest::newRow("declination value") << "ddec_val"
                                       << "0.3";
    QTest::newRow("-HA +Dec") << "sub_ha_add_dec"
                              << "-HA  +Dec";
    QTest::newRow("+Dec") << "add_dec"
                          << "Add(+)Dec";
    QTest::newRow("+HA +Dec") << "add_ha_dec"
                              << "+HA  +Dec";
    QTest::newRow("-HA") << "sub_ha"
                         << "Sub(-)HA";
    QTest::newRow("cos(Dec)") << "div_ha"
                              << "/cos(Dec)";
    QTest::newRow("+HA") << "add_ha"
                         << "Add(+)HA";
    QTest::newRow("-HA -Dec") << "sub_ha_dec"
                              << "-HA  -Dec";
    QTest::newRow("-Dec") << "sub_dec"
                          << "Sub(-)Dec";
    QTest::newRow("+HA -Dec") << "add_ha_sub_dec"
                              << "+HA  -Dec";
}

void TestVeltoCorr::fixedTexts()
{
    QFETCH(QString, object);
    QFETCH(QString, text);
    Velto_corr window;
    auto *widget = window.findChild<QWidget *>(object);
    QVERIFY(widget);
    QCOMPARE(widget->property("text").toString(), text);
}

void TestVeltoCorr::fonts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QFont>("font");

    const QFont group = font_of(10, true);
    const QFont normal = font_of(10, false);
    const QFont mono = font_of(10, true, QStringLiteral("Noto Sans Mono"));
    QTest::newRow("group box") << "groupBox" << group;
    for (int i = 1; i <= 6; ++i) {
        QTest::newRow(qPrintable(QStringLiteral("dha_rb%1").arg(i)))
            << QStringLiteral("dha_rb%1").arg(i) << normal;
        QTest::newRow(qPrintable(QStringLiteral("ddec_rb%1").arg(i)))
            << QStringLiteral("ddec_rb%1").arg(i) << normal;
    }
    QTest::newRow("check box") << "div_ha" << normal;
    QTest::newRow("hour-angle value") << "dha_val" << normal;
    QTest::newRow("declination value") << "ddec_val" << normal;
    QTest::newRow("Add(+)Dec") << "add_dec" << mono;
    QTest::newRow("Sub(-)Dec") << "sub_dec" << mono;
    QTest::newRow("Add(+)HA inherits") << "add_ha" << group;
    QTest::newRow("diagonal inherits") << "sub_ha_add_dec" << group;
    QTest::newRow("label inherits") << "dha_lab" << group;
}

void TestVeltoCorr::fonts()
{
    QFETCH(QString, object);
    QFETCH(QFont, font);
    Velto_corr window;
    auto *widget = window.findChild<QWidget *>(object);
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSize(), font.pointSize());
    QCOMPARE(widget->font().bold(), font.bold());
    if (font.family() == QLatin1String("Noto Sans Mono"))
        QCOMPARE(widget->font().family(), font.family());
    else
        QCOMPARE(widget->font().family(), window.font().family());
}

void TestVeltoCorr::padLayout_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("-HA +Dec") << "sub_ha_add_dec" << 0 << 0;
    QTest::newRow("+Dec") << "add_dec" << 0 << 1;
    QTest::newRow("+HA +Dec") << "add_ha_dec" << 0 << 2;
    QTest::newRow("-HA") << "sub_ha" << 1 << 0;
    QTest::newRow("cos(Dec)") << "div_ha" << 1 << 1;
    QTest::newRow("+HA") << "add_ha" << 1 << 2;
    QTest::newRow("-HA -Dec") << "sub_ha_dec" << 2 << 0;
    QTest::newRow("-Dec") << "sub_dec" << 2 << 1;
    QTest::newRow("+HA -Dec") << "add_ha_sub_dec" << 2 << 2;
}

void TestVeltoCorr::padLayout()
{
    QFETCH(QString, object);
    QFETCH(int, row);
    QFETCH(int, column);
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    auto *widget = window.findChild<QWidget *>(object);
    QVERIFY(widget);
    const int index = f.gridLayout->indexOf(widget);
    QVERIFY(index >= 0);
    int r = -1, c = -1, rows = 0, columns = 0;
    f.gridLayout->getItemPosition(index, &r, &c, &rows, &columns);
    QCOMPARE(r, row);
    QCOMPARE(c, column);
    QVERIFY(!f.div_ha->isChecked());
}

// Presets first, then the label, the field and the slider of each axis.
void TestVeltoCorr::valueRows()
{
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(f.horizontalLayout->itemAt(i)->widget()->objectName(),
                 QStringLiteral("dha_rb%1").arg(i + 1));
        QCOMPARE(f.horizontalLayout_3->itemAt(i)->widget()->objectName(),
                 QStringLiteral("ddec_rb%1").arg(i + 1));
    }
    QCOMPARE(f.horizontalLayout_2->itemAt(0)->widget(), f.dha_lab);
    QCOMPARE(f.horizontalLayout_2->itemAt(1)->widget(), f.dha_val);
    QCOMPARE(f.horizontalLayout_2->itemAt(2)->widget(), f.dha_slide);
    QCOMPARE(f.horizontalLayout_4->itemAt(0)->widget(), f.ddec_lab);
    QCOMPARE(f.horizontalLayout_4->itemAt(1)->widget(), f.ddec_val);
    QCOMPARE(f.horizontalLayout_4->itemAt(2)->widget(), f.ddec_slide);
    QCOMPARE(f.dha_lab->minimumWidth(), 40);
    QCOMPARE(f.ddec_lab->minimumWidth(), 40);
    QCOMPARE(f.dha_val->maximumWidth(), 40);
    QCOMPARE(f.ddec_val->maximumWidth(), 40);
    QCOMPARE(f.dha_slide->orientation(), Qt::Horizontal);
    QCOMPARE(f.dha_slide->minimum(), 1);
    QCOMPARE(f.dha_slide->maximum(), 400);
    QCOMPARE(f.dha_slide->value(), 1);
    QCOMPARE(f.ddec_slide->orientation(), Qt::Horizontal);
    QCOMPARE(f.ddec_slide->minimum(), 1);
    QCOMPARE(f.ddec_slide->maximum(), 600);
    QCOMPARE(f.ddec_slide->value(), 1);
}

void TestVeltoCorr::presets_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("ha");
    QTest::addColumn<QString>("dec");

    QTest::newRow("1 s and 15 arcseconds") << 1 << "1.0"
                                           << "15.0";
    QTest::newRow("0.5 s and 7.5 arcseconds") << 2 << "0.5"
                                              << "7.5";
    QTest::newRow("0.2 s and 3 arcseconds") << 3 << "0.2"
                                            << "3.0";
    QTest::newRow("0.08 s and 1.2 arcseconds") << 4 << "0.08"
                                               << "1.2";
    QTest::newRow("0.04 s and 0.6 arcseconds") << 5 << "0.04"
                                               << "0.6";
    QTest::newRow("0.02 s and 0.3 arcseconds") << 6 << "0.02"
                                               << "0.3";
}

void TestVeltoCorr::presets()
{
    QFETCH(int, row);
    QFETCH(QString, ha);
    QFETCH(QString, dec);
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    f.dha_val->setText(QStringLiteral("9.99"));
    f.ddec_val->setText(QStringLiteral("9.9"));

    window.findChild<QRadioButton *>(QStringLiteral("dha_rb%1").arg(row))->click();
    QCOMPARE(f.dha_val->text(), ha);
    QCOMPARE(f.ddec_val->text(), QStringLiteral("9.9"));

    window.findChild<QRadioButton *>(QStringLiteral("ddec_rb%1").arg(row))->click();
    QCOMPARE(f.ddec_val->text(), dec);
    QCOMPARE(f.dha_val->text(), ha);
    QCOMPARE(f.dha_slide->value(), 1);
    QCOMPARE(f.ddec_slide->value(), 1);
}

void TestVeltoCorr::presetRowsAreExclusiveGroups()
{
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    QVERIFY(f.dha_group->exclusive());
    QVERIFY(f.ddec_group->exclusive());
    QCOMPARE(f.dha_group->buttons().size(), 6);
    QCOMPARE(f.ddec_group->buttons().size(), 6);
    QCOMPARE(f.dha_group->checkedButton(), nullptr);
    QCOMPARE(f.ddec_group->checkedButton(), nullptr);

    f.dha_rb2->click();
    f.ddec_rb5->click();
    f.dha_rb4->click();
    QCOMPARE(f.dha_group->checkedButton(), f.dha_rb4);
    QCOMPARE(f.ddec_group->checkedButton(), f.ddec_rb5);
}

void TestVeltoCorr::slidersAtBothEnds_data()
{
    QTest::addColumn<int>("haPosition");
    QTest::addColumn<int>("decPosition");
    QTest::addColumn<QString>("ha");
    QTest::addColumn<QString>("dec");

    QTest::newRow("right ends") << 400 << 600 << "4.00"
                                << "60.0";
    QTest::newRow("left ends") << 1 << 1 << "0.01"
                               << "0.1";
    QTest::newRow("beyond the right ends") << 1000 << 1000 << "4.00"
                                           << "60.0";
    QTest::newRow("middle") << 150 << 75 << "1.50"
                            << "7.5";
}

// While the slider is dragged it reports sliderMoved (with tracking off,
// nothing else); on release, valueChanged. Each writes the value field. It
// starts at its left end, so that end is reached from the middle.
void TestVeltoCorr::slidersAtBothEnds()
{
    QFETCH(int, haPosition);
    QFETCH(int, decPosition);
    QFETCH(QString, ha);
    QFETCH(QString, dec);
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    for (QSlider *slider : {f.dha_slide, f.ddec_slide}) {
        slider->setValue(50);
        slider->setTracking(false);
        slider->setSliderDown(true);
    }
    f.dha_slide->setSliderPosition(haPosition);
    f.ddec_slide->setSliderPosition(decPosition);
    QCOMPARE(f.dha_val->text(), ha);
    QCOMPARE(f.ddec_val->text(), dec);

    f.dha_val->clear();
    f.ddec_val->clear();
    for (QSlider *slider : {f.dha_slide, f.ddec_slide})
        slider->setSliderDown(false);
    QCOMPARE(f.dha_val->text(), ha);
    QCOMPARE(f.ddec_val->text(), dec);
}

void TestVeltoCorr::presetOverwritesTheSliderValue()
{
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    f.dha_slide->setValue(400);
    f.ddec_slide->setValue(600);
    f.dha_rb3->click();
    f.ddec_rb3->click();
    QCOMPARE(f.dha_val->text(), QStringLiteral("0.2"));
    QCOMPARE(f.ddec_val->text(), QStringLiteral("3.0"));
    QCOMPARE(f.dha_slide->value(), 400);
    QCOMPARE(f.ddec_slide->value(), 600);
}

void TestVeltoCorr::retranslateSetsOnlyTheTwoTitles()
{
    Velto_corr window;
    auto &f = CorrProbe(window).form();
    f.dha_val->setText(QStringLiteral("0.7"));
    f.div_ha->setChecked(true);

    CorrTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    window.retranslateUi();
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(window.windowTitle(), QStringLiteral("[ru] Velto Corr"));
    QCOMPARE(f.groupBox->title(), QStringLiteral("[ru] Velto-1000 correcrions"));
    QCOMPARE(f.dha_val->text(), QStringLiteral("0.7"));
    QCOMPARE(f.ddec_val->text(), QStringLiteral("0.3"));
    QCOMPARE(f.dha_lab->text(), QStringLiteral(" dHA:"));
    QCOMPARE(f.dha_rb1->text(), QStringLiteral("1s"));
    QCOMPARE(f.add_dec->text(), QStringLiteral("Add(+)Dec"));
    QCOMPARE(f.div_ha->text(), QStringLiteral("/cos(Dec)"));
    QVERIFY(f.div_ha->isChecked());

    window.retranslateUi();
    QCOMPARE(window.windowTitle(), QStringLiteral("Velto Corr"));
    QCOMPARE(f.groupBox->title(), QStringLiteral("Velto-1000 correcrions"));
}

void TestVeltoCorr::mainWindowCreatesItHidden()
{
    Velto_Obj_List main;
    Velto_corr *corr = MainWindowProbe(main).corrWindow();
    QVERIFY(corr);
    QVERIFY(!corr->isVisible());
    QCOMPARE(corr->parent(), nullptr);
}

void TestVeltoCorr::windowsMenuTogglesIt()
{
    Velto_Obj_List main;
    MainWindowProbe probe(main);
    Velto_corr *corr = probe.corrWindow();
    probe.form().actionVelto_Corr->trigger();
    QVERIFY(corr->isVisible());
    probe.form().actionVelto_Corr->trigger();
    QVERIFY(!corr->isVisible());

    probe.form().actionVelto_Corr->trigger();
    corr->close();
    QVERIFY(!corr->isVisible());
    probe.form().actionVelto_Corr->trigger();
    QVERIFY(corr->isVisible());
    corr->hide();
}

void TestVeltoCorr::quitClosesIt()
{
    Velto_Obj_List main;
    MainWindowProbe probe(main);
    main.show();
    probe.form().actionVelto_Corr->trigger();
    QVERIFY(probe.corrWindow()->isVisible());
    probe.form().actionQuit->trigger();
    QVERIFY(!probe.corrWindow()->isVisible());
    QVERIFY(!main.isVisible());
}

QTEST_MAIN(TestVeltoCorr)
#include "tst_velto_corr.moc"
