#include "tcs/command_check.h"

#include <QTranslator>
#include <QtTest>

namespace
{

// A form that passes every check, for an operator logged in while tracking.
CommandInput good_input()
{
    CommandInput input;
    input.user = QStringLiteral("observer");
    input.passwd = QStringLiteral("secret");
    input.ra = QStringLiteral("12:30:00.0");
    input.dec = QStringLiteral("+45:00:00");
    input.epoch = QStringLiteral("2000.0");
    input.name = QStringLiteral("M 31");
    input.off_ha = QStringLiteral("1.5");
    input.off_dec = QStringLiteral("-2.0");
    input.corr_ha = QStringLiteral("0.50");
    input.corr_dec = QStringLiteral("0.0");
    input.state_text = QStringLiteral("Track");
    return input;
}

QStringList pairs(const QueryItems &items)
{
    QStringList list;
    for (const auto &[key, value] : items)
        list << key + QLatin1Char('=') + value;
    return list;
}

const QStringList login = {QStringLiteral("User=observer"), QStringLiteral("Pass=secret")};

// Translates the main window's texts only, so a test sees which context a
// text is looked up in.
class MainWindowTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (QLatin1String(context) != QLatin1String("Velto_Obj_List"))
            return QString();
        return QLatin1String("[ru] ") + QLatin1String(source);
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestCommandCheck : public QObject
{
    Q_OBJECT

private slots:
    void objectCommand_data();
    void objectCommand();
    void offsets_data();
    void offsets();
    void corrections_data();
    void corrections();
    void emptyPasswordComesFirst_data();
    void emptyPasswordComesFirst();
    void stopWhateverTheState();
    void statusTextIsTranslatedInTheMainWindowContext();

private:
    void addResultColumns();
    void compareResult(const CommandCheck &check);
};

void TestCommandCheck::addResultColumns()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("errorLine");
}

// A refusal has no items; a command that passes has no refusal texts.
void TestCommandCheck::compareResult(const CommandCheck &check)
{
    QFETCH(QStringList, items);
    QFETCH(QString, status);
    QFETCH(QString, errorLine);
    QCOMPARE(pairs(check.items), items);
    QCOMPARE(check.refused(), !status.isEmpty());
    QCOMPARE(check.status_text(), status);
    QCOMPARE(check.error_line, errorLine);
}

void TestCommandCheck::objectCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<QString>("name");
    addResultColumns();

    const auto sent = [](const QString &ra, const QString &dec, const QStringList &more,
                         const QString &cmd = QStringLiteral("Send")) {
        return login + QStringList{QLatin1String("RA=") + ra, QLatin1String("Dec=") + dec} + more +
               QStringList{QStringLiteral("Mess=from Velto_Obj_List"), QLatin1String("Cmd=") + cmd};
    };
    const QStringList both = {"Epoch=2000.0", "Name=M 31"};
    const QString ra_refused = "Wrong or Empty R.A.!";
    const QString dec_refused = "Wrong or Empty Decl.";

    QTest::newRow("send with every item") << "Send"
                                          << "12:30:00.0"
                                          << "+45:00:00"
                                          << "2000.0"
                                          << "M 31" << sent("12:30:00.0", "+45:00:00", both) << ""
                                          << "";
    QTest::newRow("slew with every item")
        << "Slew"
        << "12:30:00.0"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << sent("12:30:00.0", "+45:00:00", both, "Slew") << ""
        << "";
    QTest::newRow("texts simplified") << "Send"
                                      << " 12:30:00.0\t"
                                      << " +45:00:00 "
                                      << " 2000.0 "
                                      << "  M \t 31 " << sent("12:30:00.0", "+45:00:00", both) << ""
                                      << "";
    QTest::newRow("RA 1:2:3 sent") << "Send"
                                   << "1:2:3"
                                   << "+45:00:00"
                                   << "2000.0"
                                   << "M 31" << sent("1:2:3", "+45:00:00", both) << ""
                                   << "";
    QTest::newRow("RA with points after the seconds sent")
        << "Send"
        << "12:30:00.0.5"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << sent("12:30:00.0.5", "+45:00:00", both) << ""
        << "";
    QTest::newRow("RA fields out of range sent")
        << "Send"
        << "99:99:99"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << sent("99:99:99", "+45:00:00", both) << ""
        << "";
    QTest::newRow("RA 12:30 refused")
        << "Send"
        << "12:30"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <12:30>";
    QTest::newRow("RA 12 30 00 refused")
        << "Send"
        << "12 30 00"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <12 30 00>";
    QTest::newRow("RA empty refused")
        << "Send"
        << ""
        << "+45:00:00"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <>";
    QTest::newRow("RA with a sign refused")
        << "Send"
        << "+12:30:00"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <+12:30:00>";
    QTest::newRow("RA with a letter refused")
        << "Send"
        << "12:30:00h"
        << "+45:00:00"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <12:30:00h>";
    QTest::newRow("RA checked before Dec")
        << "Send"
        << "12:30"
        << "45"
        << "2000.0"
        << "M 31" << QStringList() << ra_refused << "Wrong or Empty R.A. <12:30>";
    QTest::newRow("Dec -05:10:00 sent") << "Send"
                                        << "1:2:3"
                                        << "-05:10:00"
                                        << "2000.0"
                                        << "M 31" << sent("1:2:3", "-05:10:00", both) << ""
                                        << "";
    QTest::newRow("Dec without a sign sent") << "Send"
                                             << "1:2:3"
                                             << "05:10:00"
                                             << "2000.0"
                                             << "M 31" << sent("1:2:3", "05:10:00", both) << ""
                                             << "";
    QTest::newRow("Dec +-5:10:00 sent") << "Send"
                                        << "1:2:3"
                                        << "+-5:10:00"
                                        << "2000.0"
                                        << "M 31" << sent("1:2:3", "+-5:10:00", both) << ""
                                        << "";
    QTest::newRow("Dec 45:00 refused")
        << "Send"
        << "1:2:3"
        << "45:00"
        << "2000.0"
        << "M 31" << QStringList() << dec_refused << "Wrong or Empty Decl. <45:00>";
    QTest::newRow("Dec empty refused")
        << "Slew"
        << "1:2:3"
        << " "
        << "2000.0"
        << "M 31" << QStringList() << dec_refused << "Wrong or Empty Decl. <>";
    QTest::newRow("Dec with a sign after the digits refused")
        << "Send"
        << "1:2:3"
        << "45:00:00-"
        << "2000.0"
        << "M 31" << QStringList() << dec_refused << "Wrong or Empty Decl. <45:00:00->";
    QTest::newRow("epoch 2000 sent") << "Send"
                                     << "1:2:3"
                                     << "+1:2:3"
                                     << "2000"
                                     << "" << sent("1:2:3", "+1:2:3", {"Epoch=2000"}) << ""
                                     << "";
    QTest::newRow("epoch 1950.0 sent") << "Send"
                                       << "1:2:3"
                                       << "+1:2:3"
                                       << "1950.0"
                                       << "" << sent("1:2:3", "+1:2:3", {"Epoch=1950.0"}) << ""
                                       << "";
    QTest::newRow("epoch 2098.99 sent") << "Send"
                                        << "1:2:3"
                                        << "+1:2:3"
                                        << "2098.99"
                                        << "" << sent("1:2:3", "+1:2:3", {"Epoch=2098.99"}) << ""
                                        << "";
    QTest::newRow("epoch 2099.0 left out") << "Send"
                                           << "1:2:3"
                                           << "+1:2:3"
                                           << "2099.0"
                                           << "" << sent("1:2:3", "+1:2:3", {}) << ""
                                           << "";
    QTest::newRow("epoch 1949.9 left out") << "Send"
                                           << "1:2:3"
                                           << "+1:2:3"
                                           << "1949.9"
                                           << "" << sent("1:2:3", "+1:2:3", {}) << ""
                                           << "";
    QTest::newRow("epoch J2000 left out") << "Send"
                                          << "1:2:3"
                                          << "+1:2:3"
                                          << "J2000"
                                          << "" << sent("1:2:3", "+1:2:3", {}) << ""
                                          << "";
    QTest::newRow("epoch 200 left out") << "Send"
                                        << "1:2:3"
                                        << "+1:2:3"
                                        << "200"
                                        << "" << sent("1:2:3", "+1:2:3", {}) << ""
                                        << "";
    QTest::newRow("epoch empty left out") << "Send"
                                          << "1:2:3"
                                          << "+1:2:3"
                                          << ""
                                          << "" << sent("1:2:3", "+1:2:3", {}) << ""
                                          << "";
    QTest::newRow("epoch nan left out") << "Send"
                                        << "1:2:3"
                                        << "+1:2:3"
                                        << "nan"
                                        << "M 31" << sent("1:2:3", "+1:2:3", {"Name=M 31"}) << ""
                                        << "";
    QTest::newRow("name of blanks left out")
        << "Send"
        << "1:2:3"
        << "+1:2:3"
        << "2000.0"
        << "   " << sent("1:2:3", "+1:2:3", {"Epoch=2000.0"}) << ""
        << "";
}

void TestCommandCheck::objectCommand()
{
    QFETCH(QString, command);
    CommandInput input = good_input();
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QString, epoch);
    QFETCH(QString, name);
    input.ra = ra;
    input.dec = dec;
    input.epoch = epoch;
    input.name = name;
    compareResult(check_command(command, input));
}

void TestCommandCheck::offsets_data()
{
    QTest::addColumn<QString>("offHA");
    QTest::addColumn<QString>("offDec");
    addResultColumns();

    const auto sent = [](const QString &ha, const QString &dec) {
        return login + QStringList{QLatin1String("offHA=") + ha, QLatin1String("offDec=") + dec,
                                   QStringLiteral("Cmd=Corr")};
    };
    const QString refused = "Wrong or Empty Offsets";

    QTest::newRow("0.0 and 0.0 refused") << "0.0"
                                         << "0.0" << QStringList() << refused << refused;
    QTest::newRow("0.01 and 0 sent") << "0.01"
                                     << "0" << sent("0.01", "0") << ""
                                     << "";
    QTest::newRow("0 and 0.05 refused") << "0"
                                        << "0.05" << QStringList() << refused << refused;
    QTest::newRow("0 and 0.1 sent") << "0"
                                    << "0.1" << sent("0", "0.1") << ""
                                    << "";
    QTest::newRow("abc and 1 refused") << "abc"
                                       << "1" << QStringList() << refused << refused;
    QTest::newRow("1 and abc refused") << "1"
                                       << "abc" << QStringList() << refused << refused;
    QTest::newRow("hour angle at the threshold refused")
        << "0.009"
        << "0" << QStringList() << refused << refused;
    QTest::newRow("declination at the threshold refused")
        << "0"
        << "0.09" << QStringList() << refused << refused;
    QTest::newRow("negative hour angle sent") << "-0.01"
                                              << "0" << sent("-0.01", "0") << ""
                                              << "";
    QTest::newRow("negative declination sent") << "0"
                                               << "-0.1" << sent("0", "-0.1") << ""
                                               << "";
    QTest::newRow("texts simplified, not reformatted") << " 5 "
                                                       << "\t-3.50" << sent("5", "-3.50") << ""
                                                       << "";
    QTest::newRow("empty hour angle refused") << ""
                                              << "5" << QStringList() << refused << refused;
    QTest::newRow("empty declination refused") << "5"
                                               << "" << QStringList() << refused << refused;
    QTest::newRow("nan refused") << "nan"
                                 << "5" << QStringList() << refused << refused;
    QTest::newRow("infinity refused") << "0"
                                      << "inf" << QStringList() << refused << refused;
    QTest::newRow("overflow refused") << "1e999"
                                      << "0" << QStringList() << refused << refused;
}

void TestCommandCheck::offsets()
{
    QFETCH(QString, offHA);
    QFETCH(QString, offDec);
    CommandInput input = good_input();
    input.off_ha = offHA;
    input.off_dec = offDec;
    input.state_text = QStringLiteral("Stop");
    compareResult(check_command(QStringLiteral("Corr"), input));
}

void TestCommandCheck::corrections_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("dHA");
    QTest::addColumn<QString>("dDec");
    addResultColumns();

    const auto sent = [](const QString &ha, const QString &dec) {
        return login + QStringList{QLatin1String("dHA=") + ha, QLatin1String("dDec=") + dec,
                                   QStringLiteral("Cmd=AdCorr")};
    };
    const QString refused = "Wrong or Empty Corrections";
    const QString not_tracking = "Not in Tracking mode";

    QTest::newRow("hour-angle step sent") << "Track"
                                          << "0.50"
                                          << "0.0" << sent("0.50", "0.0") << ""
                                          << "";
    QTest::newRow("declination step sent") << "Track"
                                           << "0.0"
                                           << "-7.5" << sent("0.0", "-7.5") << ""
                                           << "";
    QTest::newRow("zero hour angle with a declination step sent")
        << "Track"
        << "0.00"
        << "3.0" << sent("0.00", "3.0") << ""
        << "";
    QTest::newRow("state beginning with Track sent") << "Tracking"
                                                     << "-0.02"
                                                     << "0.0" << sent("-0.02", "0.0") << ""
                                                     << "";
    QTest::newRow("both zero, as from a 0.004 s step, refused")
        << "Track"
        << "0.00"
        << "0.0" << QStringList() << refused << refused;
    QTest::newRow("smallest declination step refused")
        << "Track"
        << "0.0"
        << "0.09" << QStringList() << refused << refused;
    QTest::newRow("hour angle beyond the pole guard refused")
        << "Track"
        << ""
        << "3.0" << QStringList() << refused << refused;
    QTest::newRow("unreadable step refused") << "Track"
                                             << "abc"
                                             << "1" << QStringList() << refused << refused;
    QTest::newRow("infinite step refused") << "Track"
                                           << "inf"
                                           << "0.0" << QStringList() << refused << refused;
    QTest::newRow("not tracking while Unknown")
        << "Unknown"
        << "0.50"
        << "0.0" << QStringList() << not_tracking << not_tracking;
    QTest::newRow("not tracking while slewing")
        << "Slew"
        << "0.50"
        << "0.0" << QStringList() << not_tracking << not_tracking;
    QTest::newRow("state compared case-sensitively")
        << "track"
        << "0.50"
        << "0.0" << QStringList() << not_tracking << not_tracking;
    QTest::newRow("state checked before the steps")
        << "Stop"
        << ""
        << "" << QStringList() << not_tracking << not_tracking;
}

void TestCommandCheck::corrections()
{
    QFETCH(QString, state);
    QFETCH(QString, dHA);
    QFETCH(QString, dDec);
    CommandInput input = good_input();
    input.state_text = state;
    input.corr_ha = dHA;
    input.corr_dec = dDec;
    compareResult(check_command(QStringLiteral("AdCorr"), input));
}

void TestCommandCheck::emptyPasswordComesFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("send") << "Send";
    QTest::newRow("slew") << "Slew";
    QTest::newRow("offsets") << "Corr";
    QTest::newRow("corrections") << "AdCorr";
    QTest::newRow("stop") << "Stop";
}

// Every other check would refuse this form too; the password is first.
void TestCommandCheck::emptyPasswordComesFirst()
{
    QFETCH(QString, command);
    CommandInput input;
    input.user = QStringLiteral("observer");
    const CommandCheck check =
        command == QLatin1String("Stop") ? check_stop(input) : check_command(command, input);
    QVERIFY(check.refused());
    QVERIFY(check.items.isEmpty());
    QCOMPARE(check.status_text(), QStringLiteral("Empty Velto password!"));
    QCOMPARE(check.error_line, QStringLiteral("Empty Velto password!"));
}

void TestCommandCheck::stopWhateverTheState()
{
    CommandInput input = good_input();
    input.state_text = QStringLiteral("Unknown");
    input.ra.clear();
    input.off_ha = QStringLiteral("abc");
    const CommandCheck check = check_stop(input);
    QVERIFY(!check.refused());
    QCOMPARE(pairs(check.items), login + QStringList{QStringLiteral("Cmd=Stop")});
}

void TestCommandCheck::statusTextIsTranslatedInTheMainWindowContext()
{
    CommandInput input = good_input();
    input.ra = QStringLiteral("12:30");
    const CommandCheck check = check_command(QStringLiteral("Send"), input);

    MainWindowTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const QString translated = check.status_text();
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(translated, QStringLiteral("[ru] Wrong or Empty R.A.!"));
    QCOMPARE(check.error_line, QStringLiteral("Wrong or Empty R.A. <12:30>"));
}

QTEST_GUILESS_MAIN(TestCommandCheck)
#include "tst_command_check.moc"
