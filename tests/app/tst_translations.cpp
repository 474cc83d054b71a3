#include "data/base/Language.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <QTest>

// The language Tallox speaks: Korean, its own text, unless the system's
// language is English. The command-line runs start the real program, whose
// start-up installs the built-in translation.
class TestTranslations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choice_data();
    void choice();
    void commandLine_data();
    void commandLine();
    void guide_hasEnglishTwin();
};

void TestTranslations::choice_data()
{
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<bool>("english");
    QTest::newRow("en-US") << QStringList{"en-US", "en"} << true;
    QTest::newRow("en_GB") << QStringList{"en_GB"} << true;
    QTest::newRow("ko-KR") << QStringList{"ko-KR", "ko"} << false;
    QTest::newRow("C") << QStringList{"C"} << false;
    QTest::newRow("nothing") << QStringList{} << false;
    QTest::newRow("German only") << QStringList{"de-DE", "de"} << false;
    QTest::newRow("German, then English") << QStringList{"de-DE", "en"} << true;
    QTest::newRow("Korean before English") << QStringList{"ko", "en"} << false;
}

void TestTranslations::choice()
{
    QFETCH(QStringList, uiLanguages);
    QFETCH(bool, english);
    QCOMPARE(Language::PrefersEnglish(uiLanguages), english);
}

void TestTranslations::commandLine_data()
{
    // LANGUAGE, LANG, LC_ALL ("-" unsets), and the message.
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("said");
    const QString english = QStringLiteral("tallox: Unknown option: --bogus");
    const QString korean = QStringLiteral("tallox: 알 수 없는 옵션입니다: --bogus");
    QTest::newRow("LANGUAGE=en") << QStringList{"en", "C.UTF-8", "C.UTF-8"} << english;
    QTest::newRow("LANG=en_US") << QStringList{"-", "en_US.UTF-8", "-"} << english;
    QTest::newRow("C.UTF-8") << QStringList{"-", "C.UTF-8", "C.UTF-8"} << korean;
    QTest::newRow("LANGUAGE empty") << QStringList{"", "C.UTF-8", "C.UTF-8"} << korean;
    QTest::newRow("ko_KR") << QStringList{"-", "ko_KR.UTF-8", "-"} << korean;
    QTest::newRow("LANGUAGE=ko over LANG=en_US") << QStringList{"ko", "en_US.UTF-8", "-"} << korean;
}

void TestTranslations::commandLine()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, said);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QStringList names = {"LANGUAGE", "LANG", "LC_ALL"};
    for (int i = 0; i < names.size(); ++i) {
        if (environment[i] == QLatin1String("-"))
            env.remove(names[i]);
        else
            env.insert(names[i], environment[i]);
    }
    env.remove(QStringLiteral("LC_MESSAGES"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TALLOX_EXE), {QStringLiteral("--bogus")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    // Qt may warn first (no XDG_RUNTIME_DIR); the message is a line of its own.
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.split(QLatin1Char('\n')).contains(said), qPrintable(err));
}

void TestTranslations::guide_hasEnglishTwin()
{
    // The same sections in both, so that neither guide falls behind.
    const auto sections = [](const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QStringList{path + QStringLiteral(" is missing")};
        QStringList ids;
        const QRegularExpression id(QStringLiteral("<h2 id=\"([a-z]+)\""));
        for (auto m = id.globalMatch(QString::fromUtf8(f.readAll())); m.hasNext();)
            ids << m.next().captured(1);
        return ids;
    };
    const QStringList korean = sections(QStringLiteral(":/help/guide.html"));
    QVERIFY(korean.size() >= 5);
    QCOMPARE(sections(QStringLiteral(":/help/guide_en.html")), korean);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
