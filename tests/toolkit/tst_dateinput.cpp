#include "TestSupport.h"

#include "data/base/Clock.h"
#include "data/books/AppInfo.h"
#include "gui/toolkit/DateInput.h"

// Typed date forms: what each becomes, and the box shown for what is no date.
class TestDateInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void refusal_exactMessage();
    void refusal_emptyText();
    void refusal_showsTextAsTyped();
    void dayOfMonth_leapYears();

private:
    std::unique_ptr<TestEnv> m_env;
};

void TestDateInput::init()
{
    // Today: 15 June 2005, a month of 30 days.
    m_env = std::make_unique<TestEnv>(QDate(2005, 6, 15), false);
    MessageHook::reset();
}

void TestDateInput::cleanup()
{
    QVERIFY(MessageHook::unscripted().isEmpty());
    m_env.reset();
}

void TestDateInput::accepted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("1 is the first of this month") << "1"
                                                  << "2005-06-01";
    QTest::newRow("5") << "5"
                       << "2005-06-05";
    QTest::newRow("05") << "05"
                        << "2005-06-05";
    QTest::newRow("30 in June") << "30"
                                << "2005-06-30";
    QTest::newRow("101") << "101"
                         << "2005-01-01";
    QTest::newRow("0101") << "0101"
                          << "2005-01-01";
    QTest::newRow("1001 is October") << "1001"
                                     << "2005-10-01";
    QTest::newRow("1231") << "1231"
                          << "2005-12-31";
    QTest::newRow("228") << "228"
                         << "2005-02-28";
    QTest::newRow("040101") << "040101"
                            << "2004-01-01";
    QTest::newRow("991231 always in the 2000s") << "991231"
                                                << "2099-12-31";
    QTest::newRow("000101") << "000101"
                            << "2000-01-01";
    QTest::newRow("20040101") << "20040101"
                              << "2004-01-01";
    QTest::newRow("20040229 leap day") << "20040229"
                                       << "2004-02-29";
    QTest::newRow("full date unchanged") << "2004-01-01"
                                         << "2004-01-01";
    QTest::newRow("slashes become dashes") << "2004/01/01"
                                           << "2004-01-01";
    QTest::newRow("one-digit month") << "2004-1-09"
                                     << "2004-01-09";
    QTest::newRow("one-digit day with slashes") << "2004/12/9"
                                                << "2004-12-09";
}

void TestDateInput::accepted()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QString text = typed;
    QVERIFY(ParseDateInput(text));
    QCOMPARE(text, result);
    QVERIFY(MessageHook::shown().isEmpty());
}

void TestDateInput::refused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("31 in a month of 30 days") << "31";
    QTest::newRow("0") << "0";
    QTest::newRow("00") << "00";
    QTest::newRow("1301 no month 13") << "1301";
    QTest::newRow("0230") << "0230";
    QTest::newRow("100 day 0") << "100";
    QTest::newRow("20040230 no such day") << "20040230";
    QTest::newRow("20050229 common year") << "20050229";
    QTest::newRow("041301") << "041301";
    QTest::newRow("12345 five characters") << "12345";
    QTest::newRow("1234567 seven characters") << "1234567";
    QTest::newRow("2004-02-30") << "2004-02-30";
    QTest::newRow("letters") << "abc";
    QTest::newRow("one letter") << "a";
    QTest::newRow("blank and digit") << " 5";
    QTest::newRow("negative day") << "-5";
    QTest::newRow("short year with dashes") << "04-01-01";
    QTest::newRow("MM/DD") << "1/01";
    // Eight characters are the YYYYMMDD form, digits only.
    QTest::newRow("eight characters with dashes") << "2004-1-9";
    QTest::newRow("fullwidth digits") << QStringLiteral("１２");
    QTest::newRow("ten characters, no date") << "2004-13-01";
    QTest::newRow("date and time") << "2004-01-01 12:00";
}

void TestDateInput::refused()
{
    QFETCH(QString, typed);
    QString text = typed;
    ErrorInfo e;
    QVERIFY(!Say(ParseDateInput(text, &e), e));
    QCOMPARE(text, typed);
    QCOMPARE(MessageHook::shown().size(), 1);
    QCOMPARE(MessageHook::shown().first().kind, QStringLiteral("info"));
    QCOMPARE(MessageHook::shown().first().icon, MsgIcon::Information);
    QCOMPARE(MessageHook::shown().first().title, AppTitle());
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("[") + typed + QStringLiteral("]")));
}

void TestDateInput::refusal_exactMessage()
{
    QString text = QStringLiteral("31");
    ErrorInfo e;
    QVERIFY(!Say(ParseDateInput(text, &e), e));
    const QString expected = QStringLiteral("[31]는 날짜형식이 아닙니다.             \r\n"
                                            "\r\n"
                                            " 가능한 형식은 아래와 같습니다.\r\n"
                                            "\r\n"
                                            "   * 2004-01-01\r\n"
                                            "   * 20040101\r\n"
                                            "   * 040101\r\n"
                                            "   * 0101\r\n"
                                            "   * 101 (※10월1일은 1001)\r\n"
                                            "   * 1 (당월의 일자지정시)");
    TALLOX_COMPARE_LAST_BOX("info", AppTitle(), expected);
    QCOMPARE(DateFormsMessage(QStringLiteral("31")), expected);
}

void TestDateInput::refusal_emptyText()
{
    QString text;
    ErrorInfo e;
    QVERIFY(!Say(ParseDateInput(text, &e), e));
    QVERIFY(text.isEmpty());
    QCOMPARE(MessageHook::shown().size(), 1);
    const QStringList lines = MessageHook::shown().first().text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.first(), QStringLiteral("[]는 날짜형식이 아닙니다.             "));
}

void TestDateInput::refusal_showsTextAsTyped()
{
    // Eight digits are laid out as 2004-02-30 before the test; the box shows what was typed.
    QString text = QStringLiteral("20040230");
    ErrorInfo e;
    QVERIFY(!Say(ParseDateInput(text, &e), e));
    QCOMPARE(text, QStringLiteral("20040230"));
    QVERIFY(MessageHook::shown().first().text.startsWith(QStringLiteral("[20040230]는 날짜형식이 아닙니다.")));
}

void TestDateInput::dayOfMonth_leapYears()
{
    Clock::setToday(QDate(2004, 2, 10));
    QString leap = QStringLiteral("29");
    QVERIFY(ParseDateInput(leap));
    QCOMPARE(leap, QStringLiteral("2004-02-29"));
    QString mmdd = QStringLiteral("229");
    QVERIFY(ParseDateInput(mmdd));
    QCOMPARE(mmdd, QStringLiteral("2004-02-29"));

    Clock::setToday(QDate(2005, 2, 10));
    QString common = QStringLiteral("29");
    ErrorInfo e;
    QVERIFY(!Say(ParseDateInput(common, &e), e));
    QCOMPARE(common, QStringLiteral("29"));

    // Today is read at the moment of the call.
    Clock::setToday(QDate(2005, 12, 31));
    QString day = QStringLiteral("1");
    QVERIFY(ParseDateInput(day));
    QCOMPARE(day, QStringLiteral("2005-12-01"));
}

QTEST_MAIN(TestDateInput)
#include "tst_dateinput.moc"
