#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

// The Russian translation source stays in step with the code: every text the
// code and the forms mark for translation has a finished Russian translation
// that keeps the text's placeholders, markup and edge blanks.
class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyTextOfTheCodeIsTranslated();
    void noTranslationOfVanishedTexts();
    void translationsKeepWhatTheProgramNeeds_data();
    void translationsKeepWhatTheProgramNeeds();
    void compiledTranslationMatchesTheSource();

private:
    struct Message {
        QString context;
        QString source;
        QString translation;
        bool finished = false;
    };
    using Messages = QHash<QString, Message>; // by context and source

    static QString key(const QString &context, const QString &source)
    {
        return context + QChar(0) + source;
    }
    static Messages read_ts(const QString &file_name);

    Messages committed;
    Messages in_code; // as lupdate finds them now
};

TestTranslation::Messages TestTranslation::read_ts(const QString &file_name)
{
    Messages messages;
    QFile file(file_name);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{context, {}, {}, false};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type")).toString();
            message.finished = type.isEmpty();
            message.translation = xml.readElementText();
            messages.insert(key(message.context, message.source), message);
        }
    }
    return messages;
}

void TestTranslation::initTestCase()
{
    committed = read_ts(VELTO_TS_FILE);
    QVERIFY2(!committed.isEmpty(), VELTO_TS_FILE);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fresh = dir.filePath("fresh_ru_RU.ts");
    QProcess lupdate;
    lupdate.setWorkingDirectory(VELTO_SOURCE_DIR);
    QStringList arguments{"-locations", "none", "-no-obsolete", "-extensions", "cpp,h,ui",
                          "-I",         "."};
    arguments += QString(VELTO_TR_SOURCE_DIRS).split(',');
    arguments += {"-ts", fresh};
    lupdate.start(VELTO_LUPDATE, arguments);
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());
    in_code = read_ts(fresh);
    QVERIFY(!in_code.isEmpty());
}

void TestTranslation::everyTextOfTheCodeIsTranslated()
{
    QStringList missing;
    for (const Message &m : std::as_const(in_code)) {
        const Message found = committed.value(key(m.context, m.source));
        if (!found.finished || found.translation.isEmpty())
            missing << m.context + ": \"" + m.source + '"';
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable("not translated:\n" + missing.join('\n')));
}

void TestTranslation::noTranslationOfVanishedTexts()
{
    QStringList vanished;
    for (const Message &m : std::as_const(committed))
        if (!in_code.contains(key(m.context, m.source)))
            vanished << m.context + ": \"" + m.source + '"';
    vanished.sort();
    QVERIFY2(vanished.isEmpty(), qPrintable("no longer in the code:\n" + vanished.join('\n')));
}

void TestTranslation::translationsKeepWhatTheProgramNeeds_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    QStringList keys = committed.keys();
    keys.sort();
    for (const QString &k : keys) {
        const Message &m = committed[k];
        const QString row = m.context + ": " + m.source.left(60);
        QTest::newRow(qPrintable(row)) << m.source << m.translation;
    }
}

void TestTranslation::translationsKeepWhatTheProgramNeeds()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    // Placeholders in order, HTML tags in order (the labels and tooltips are
    // rich text), and the blanks at both ends that the program's texts carry.
    const auto matches = [](const QString &pattern, const QString &text) {
        QStringList found;
        for (const auto &match : QRegularExpression(pattern).globalMatch(text))
            found << match.captured();
        return found;
    };
    QCOMPARE(matches("%\\d", translation), matches("%\\d", source));
    QCOMPARE(matches("<[^>]*>", translation), matches("<[^>]*>", source));
    QCOMPARE(matches("^ *", translation), matches("^ *", source));
    QCOMPARE(matches(" *$", translation), matches(" *$", source));
    QCOMPARE(matches("\\(\\*\\.[^)]*\\)", translation), matches("\\(\\*\\.[^)]*\\)", source));
}

void TestTranslation::compiledTranslationMatchesTheSource()
{
    QTranslator translator;
    QVERIFY(translator.load(VELTO_DATA_DIR "/Velto_Obj_List_ru_RU.qm"));
    for (const Message &m : std::as_const(committed)) {
        const QString compiled =
            translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData());
        QVERIFY2(compiled == m.translation, qPrintable(m.context + ": " + m.source));
    }
}

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
