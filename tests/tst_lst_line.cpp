#include "objlist/lst_line.h"

#include <QRandomGenerator>
#include <QtTest>

class TestLstLine : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void dateEpochs_data();
    void dateEpochs();
    void validCoordinates_data();
    void validCoordinates();
    void objectLineText_data();
    void objectLineText();
    void objectLineReadsBack_data();
    void objectLineReadsBack();
    void randomLinesKeepTheRules();
};

void TestLstLine::lines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("is_object");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("epoch");

    const QString unknown = QStringLiteral("Unknown");
    const QString j2000 = QStringLiteral("2000.0");
    QTest::newRow("written object line")
        << " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31" << true << "M 31"
        << "12:34:56.70"
        << "+45:23:32.3" << j2000;
    QTest::newRow("numbers without separator are a comment") << "12 34 56 +45 00 00" << false << ""
                                                             << ""
                                                             << ""
                                                             << "";
    QTest::newRow("two pieces take both defaults")
        << "12 34 56 : +45 00 00" << true << unknown << "12:34:56"
        << "+45:00:00" << j2000;
    QTest::newRow("three pieces with '#' name the object")
        << "12 34 56 ; -00 30 00 # Star B" << true << "Star B"
        << "12:34:56"
        << "-00:30:00" << j2000;
    QTest::newRow("three pieces without '#' give the epoch")
        << "12 34 56 ; +45 00 00 ; 1950.0" << true << unknown << "12:34:56"
        << "+45:00:00"
        << "1950.0";
    QTest::newRow("four pieces without '#' name with the fourth")
        << "12 34 56 ; +45 00 00 ; 1950.0 ;  Alpha   Lyr " << true << "Alpha Lyr"
        << "12:34:56"
        << "+45:00:00"
        << "1950.0";
    QTest::newRow("five pieces without '#' name with the last")
        << "12 34 56 ; +45 00 00 ; 1950.0 ; A ; B" << true << "B"
        << "12:34:56"
        << "+45:00:00"
        << "1950.0";
    QTest::newRow("separators are interchangeable")
        << "12 34 56 ; +45 00 00 : 1950.0 : Vega" << true << "Vega"
        << "12:34:56"
        << "+45:00:00"
        << "1950.0";
    QTest::newRow("name after '#' keeps ':' and ';'")
        << "12 34 56 : +45 00 00 ; 2000 # NGC:1;a" << true << "NGC:1;a"
        << "12:34:56"
        << "+45:00:00"
        << "2000";
    QTest::newRow("name after '#' keeps a second '#'")
        << "12 34 56 : +45 00 00 ; 2000 # HD#17 # b" << true << "HD#17 # b"
        << "12:34:56"
        << "+45:00:00"
        << "2000";
    QTest::newRow("'#' before the third piece leaves the epoch default")
        << "12 34 56 : +45 00 00 # Star:B" << true << "Star:B"
        << "12:34:56"
        << "+45:00:00" << j2000;
    QTest::newRow("'#' as first separator names everything after it")
        << "12 34 56 # +45 00 00 ; 1950.0 ; x" << true << "+45 00 00 ; 1950.0 ; x"
        << "12:34:56"
        << "+45:00:00" << j2000;
    QTest::newRow("nothing after '#' is an empty name")
        << "12 34 56 : +45 00 00 ; 1950.0 #   " << true << ""
        << "12:34:56"
        << "+45:00:00"
        << "1950.0";
    QTest::newRow("empty pieces are kept") << "12 34 56 :: 1950.0 # X" << true << "X"
                                           << "12:34:56"
                                           << ""
                                           << "1950.0";
    QTest::newRow("white space runs inside coordinates")
        << "   12   34  56.7 :  -5  0   0 ;1950.0;V1" << true << "V1"
        << "12:34:56.7"
        << "-5:0:0"
        << "1950.0";
    QTest::newRow("tabs separate numbers")
        << "12\t34\t56\t:\t+45\t00\t00" << true << unknown << "12:34:56"
        << "+45:00:00" << j2000;
    QTest::newRow("no-break spaces separate numbers")
        << QString::fromUtf8("12\u00a034\u00a056 : +45\u00a000\u00a000") << true << unknown
        << "12:34:56"
        << "+45:00:00" << j2000;
    QTest::newRow("two numbers are a comment") << "12 34 : +45 00 00" << false << ""
                                               << ""
                                               << ""
                                               << "";
    QTest::newRow("signed right ascension is a comment") << "-12 34 56 : +45 00 00" << false << ""
                                                         << ""
                                                         << ""
                                                         << "";
    QTest::newRow("leading word is a comment") << "Vega 18 36 56 : +38 47 01" << false << ""
                                               << ""
                                               << ""
                                               << "";
    QTest::newRow("'#' line is a comment") << "# 12 34 56 : +45 00 00" << false << ""
                                           << ""
                                           << ""
                                           << "";
    QTest::newRow("empty line is a comment") << "" << false << ""
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("blank line is a comment") << "    " << false << ""
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("digits in other scripts are no numbers")
        << QString::fromUtf8("١٢ ٣٤ ٥٦ : +45 00 00") << false << ""
        << ""
        << ""
        << "";
}

void TestLstLine::lines()
{
    QFETCH(QString, line);
    const Lst_line parsed = parse_lst_line(line);
    QTEST(parsed.is_object, "is_object");
    QTEST(parsed.name, "name");
    QTEST(parsed.ra, "ra");
    QTEST(parsed.dec, "dec");
    QTEST(parsed.epoch, "epoch");
}

void TestLstLine::dateEpochs_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("epoch");

    QTest::newRow("named month") << "15-Mar-2021"
                                 << "2021.20";
    QTest::newRow("numeric month") << "15-03-2021"
                                   << "2021.20";
    QTest::newRow("fraction of the year ignored") << "15-03-2021.7"
                                                  << "2021.20";
    QTest::newRow("blanks around the date") << "   15-Mar-2021  "
                                            << "2021.20";
    QTest::newRow("first of January") << "1-1-2000"
                                      << "2000.00";
    QTest::newRow("last of December gives the next year") << "31-12-2024"
                                                          << "2025.00";
    QTest::newRow("leap day") << "29-02-2024"
                              << "2024.16";
    QTest::newRow("leading zeros are decimal") << "09-08-2010"
                                               << "2010.61";
    QTest::newRow("pieces after the third ignored") << "15-03-2021-17"
                                                    << "2021.20";
    QTest::newRow("lower-case month keeps its text") << "15-mar-2021"
                                                     << "15-mar-2021";
    QTest::newRow("unknown month keeps its text") << "15-Mrz-2021"
                                                  << "15-Mrz-2021";
    QTest::newRow("day 31 of April keeps its text") << "31-04-2021"
                                                    << "31-04-2021";
    QTest::newRow("29 February of a common year keeps its text") << "29-02-2021"
                                                                 << "29-02-2021";
    QTest::newRow("month 13 keeps its text") << "1-13-2021"
                                             << "1-13-2021";
    QTest::newRow("day 0 keeps its text") << "0-1-2021"
                                          << "0-1-2021";
    QTest::newRow("year-first date keeps its text") << "2021-03-15"
                                                    << "2021-03-15";
    QTest::newRow("year 0 keeps its text") << "1-1-0"
                                           << "1-1-0";
    QTest::newRow("text after the year keeps its text") << "15-Mar-2021 UT"
                                                        << "15-Mar-2021 UT";
    QTest::newRow("overflowing day keeps its text") << "99999999999999-1-2021"
                                                    << "99999999999999-1-2021";
    QTest::newRow("decimal year is no date") << "1950.5"
                                             << "1950.5";
}

void TestLstLine::dateEpochs()
{
    QFETCH(QString, field);
    const Lst_line parsed =
        parse_lst_line(QLatin1String("12 34 56 : +45 00 00 ;") + field + QLatin1String("# X"));
    QVERIFY(parsed.is_object);
    QTEST(parsed.epoch, "epoch");
}

void TestLstLine::validCoordinates_data()
{
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<bool>("valid");

    QTest::newRow("full texts") << "12:00:00"
                                << "+10:00:00" << true;
    QTest::newRow("single-digit degrees") << "12:00:00"
                                          << "-5:00:00" << true;
    QTest::newRow("two-character fields") << "12"
                                          << "-5" << true;
    QTest::newRow("several signs") << "12"
                                   << "+-5" << true;
    QTest::newRow("one-character right ascension") << "5"
                                                   << "+10:00:00" << false;
    QTest::newRow("one-character declination") << "12:00:00"
                                               << "5" << false;
    QTest::newRow("empty right ascension") << ""
                                           << "+10:00:00" << false;
    QTest::newRow("empty declination") << "12:00:00"
                                       << "" << false;
    QTest::newRow("signed right ascension") << "+12:00"
                                            << "+10:00:00" << false;
    QTest::newRow("letters") << "ab"
                             << "+10" << false;
    QTest::newRow("signs only") << "12"
                                << "+-" << false;
    QTest::newRow("declination without digits") << "12"
                                                << "+:10" << false;
}

void TestLstLine::validCoordinates()
{
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QTEST(valid_coordinates(ra, dec), "valid");
}

void TestLstLine::objectLineText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("epoch");
    QTest::addColumn<QString>("text");

    QTest::newRow("fields that fill their width") << "M 31"
                                                  << "12:34:56.70"
                                                  << "+45:23:32.3"
                                                  << "2000.0"
                                                  << " 12 34 56.70 : +45 23 32.3 ; 2000.0 # M 31";
    QTest::newRow("short fields are padded") << "A"
                                             << "12:00:00"
                                             << "+10:00:00"
                                             << "2000.0"
                                             << " 12 00 00    : +10 00 00   ; 2000.0 # A";
    QTest::newRow("short epoch is padded") << "B"
                                           << "1:2:3"
                                           << "-4:5:6"
                                           << "2000"
                                           << " 1 2 3       : -4 5 6      ; 2000   # B";
    QTest::newRow("long fields are not cut") << "C"
                                             << "123:45:56.789"
                                             << "+123:45:56.789"
                                             << "2000.000000"
                                             << " 123 45 56.789 : +123 45 56.789 ; 2000.000000 # C";
    QTest::newRow("place markers in fields stay as typed")
        << "%1 %3"
        << "12:%2"
        << "+1%1"
        << "%3"
        << " 12 %2       : +1%1        ; %3     # %1 %3";
}

void TestLstLine::objectLineText()
{
    QFETCH(QString, name);
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QString, epoch);
    QTEST(object_line_text(name, ra, dec, epoch), "text");
    QCOMPARE(comment_line_text(name), QLatin1String("# ") + name);
}

void TestLstLine::objectLineReadsBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ra");
    QTest::addColumn<QString>("dec");
    QTest::addColumn<QString>("epoch");

    QTest::newRow("plain object") << "M 31"
                                  << "00:42:44.3"
                                  << "+41:16:09"
                                  << "2000.0";
    QTest::newRow("southern object") << "47 Tuc"
                                     << "00:24:05.7"
                                     << "-72:04:52.6"
                                     << "2000.0";
    QTest::newRow("name with separators") << "NGC:1;a # b"
                                          << "12:00:00"
                                          << "-5"
                                          << "1950.0";
}

// What the window writes for a typed object reads back as the same object.
void TestLstLine::objectLineReadsBack()
{
    QFETCH(QString, name);
    QFETCH(QString, ra);
    QFETCH(QString, dec);
    QFETCH(QString, epoch);
    const Lst_line parsed = parse_lst_line(object_line_text(name, ra, dec, epoch));
    QVERIFY(parsed.is_object);
    QCOMPARE(parsed.name, name);
    QCOMPARE(parsed.ra, ra);
    QCOMPARE(parsed.dec, dec);
    QCOMPARE(parsed.epoch, epoch);
}

// Lines made of the characters the rules care about: an object line's
// coordinates never hold white space, its name is simplified, and an epoch
// never becomes a non-number that was not written in the file.
void TestLstLine::randomLinesKeepTheRules()
{
    const QString alphabet = QString::fromUtf8("0123456789  \t\u00a0:;#-+.eEnaMrJinf");
    QRandomGenerator random(20261206);
    for (int i = 0; i < 50000; ++i) {
        QString line;
        const int length = random.bounded(40);
        for (int k = 0; k < length; ++k)
            line += alphabet.at(random.bounded(int(alphabet.size())));
        const Lst_line parsed = parse_lst_line(line);
        if (!parsed.is_object) {
            QVERIFY(parsed.name.isEmpty() && parsed.ra.isEmpty() && parsed.epoch.isEmpty());
            continue;
        }
        QVERIFY2(!parsed.ra.contains(QLatin1Char(' ')) && !parsed.dec.contains(QLatin1Char(' ')),
                 qPrintable(line));
        QCOMPARE(parsed.name, parsed.name.simplified());
        QCOMPARE(parsed.epoch, parsed.epoch.simplified());
        if (parsed.epoch.contains(QLatin1String("nan")))
            QVERIFY2(line.contains(QLatin1String("nan")), qPrintable(line));
        QCOMPARE(parse_lst_line(line).name, parsed.name);
    }
}

QTEST_APPLESS_MAIN(TestLstLine)
#include "tst_lst_line.moc"
