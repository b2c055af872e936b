#include "tcs/tcs_url.h"

#include <QtTest>

// What the TCS host receives: the query text character for character.
class TestTcsUrl : public QObject
{
    Q_OBJECT

private slots:
    void valueEncoding_data();
    void valueEncoding();
    void itemsKeepTheirOrder();
    void noItemsNoQuery();
    void urlKeepsTheEncodingAsBuilt();
};

void TestTcsUrl::valueEncoding_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("declination keeps plus and colons")
        << "+12:30:00.0" << QByteArray("+12:30:00.0");
    QTest::newRow("space encoded") << "M 31" << QByteArray("M%2031");
    QTest::newRow("ampersand encoded") << "a&b" << QByteArray("a%26b");
    QTest::newRow("equals encoded") << "a=b" << QByteArray("a%3Db");
    QTest::newRow("slash and question mark kept") << "a/b?c" << QByteArray("a/b?c");
    QTest::newRow("sub-delimiters kept") << "!$'()*,;@" << QByteArray("!$'()*,;@");
    QTest::newRow("unreserved kept") << "Az09-._~" << QByteArray("Az09-._~");
    QTest::newRow("percent encoded") << "50%" << QByteArray("50%25");
    QTest::newRow("hash encoded") << "#1" << QByteArray("%231");
    QTest::newRow("brackets and quotes encoded") << "[\"x\"]" << QByteArray("%5B%22x%22%5D");
    QTest::newRow("non-ASCII as UTF-8")
        << QString::fromUtf8("Вега") << QByteArray("%D0%92%D0%B5%D0%B3%D0%B0");
    QTest::newRow("empty value") << "" << QByteArray("");
}

void TestTcsUrl::valueEncoding()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, sent);
    QCOMPARE(encode_query({{QStringLiteral("Name"), value}}), "Name=" + sent);
    const QUrl url =
        tcs_url(QStringLiteral("tcs.example:8080"), QStringLiteral("/tcs/vtcs_send.cgi"),
                {{QStringLiteral("Name"), value}});
    QCOMPARE(url.toEncoded(), "http://tcs.example:8080/tcs/vtcs_send.cgi?Name=" + sent);
}

void TestTcsUrl::itemsKeepTheirOrder()
{
    const QueryItems items = {{"User", "obs 1"}, {"Pass", "p&w=d+"}, {"Cmd", "Stop"}};
    QCOMPARE(encode_query(items), QByteArray("User=obs%201&Pass=p%26w%3Dd+&Cmd=Stop"));
}

void TestTcsUrl::noItemsNoQuery()
{
    const QUrl url = tcs_url(QStringLiteral("127.0.0.1:8642"), QStringLiteral("/tcs/vtcs_get.cgi"));
    QCOMPARE(url.toEncoded(), QByteArray("http://127.0.0.1:8642/tcs/vtcs_get.cgi"));
    QVERIFY(!url.hasQuery());
}

void TestTcsUrl::urlKeepsTheEncodingAsBuilt()
{
    const QueryItems items = {
        {"RA", "12:34:56.7"}, {"Dec", "-05:10:00"}, {"Mess", "from Velto_Obj_List"}};
    const QUrl url = tcs_url(QStringLiteral("h"), QStringLiteral("/tcs/vtcs_send.cgi"), items);
    QVERIFY(url.isValid());
    QCOMPARE(url.query(QUrl::FullyEncoded).toLatin1(), encode_query(items));
}

QTEST_APPLESS_MAIN(TestTcsUrl)
#include "tst_tcs_url.moc"
