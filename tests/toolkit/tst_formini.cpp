#include "TestSupport.h"

#include "data/books/AppPaths.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/FormIni.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

class tst_FormIni : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;

    // A window like the ledger window: a wide grid and a one-cell date box.
    std::unique_ptr<QWidget> makeWindow(SpreadGrid** list = nullptr, SpreadGrid** date = nullptr)
    {
        auto w = std::make_unique<QWidget>();
        w->setObjectName(QStringLiteral("frmMain"));
        auto* g = new SpreadGrid(w.get());
        g->setObjectName(QStringLiteral("spList"));
        g->setMaxCols(13);
        g->setColWidth(2, 9.5);
        auto* d = new SpreadGrid(w.get());
        d->setObjectName(QStringLiteral("spDate"));
        d->setMaxCols(1);
        d->setColWidth(1, 10);
        if (list)
            *list = g;
        if (date)
            *date = d;
        w->resize(600, 400);
        return w;
    }

    QString path() const { return FormIniPath(QStringLiteral("frmMain")); }

    void write(const QString& key, const QString& value)
    {
        QDir().mkpath(AppPaths::formIniFolder());
        QSettings ini(path(), QSettings::IniFormat);
        ini.setValue(key, value);
    }

    QString read(const QString& key)
    {
        QSettings ini(path(), QSettings::IniFormat);
        return ini.value(key).toString();
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>(QDate(2005, 6, 15), false);
        MessageHook::enable();
        MessageHook::reset();
    }

    void cleanup()
    {
        MessageHook::disable();
        env.reset();
    }

    void firstOpenKeepsDesignAndCloseWrites()
    {
        SpreadGrid* list = nullptr;
        auto w = makeWindow(&list);
        QVERIFY(!QDir(AppPaths::formIniFolder()).exists());
        LoadFormIni(w.get());
        QVERIFY(!QDir(AppPaths::formIniFolder()).exists()); // reading never creates the folder
        QCOMPARE(list->colWidth(2), 9.5);
        w->move(30, 40);
        w->show();
        SaveFormIni(w.get());
        QVERIFY(QFile::exists(path()));
        QCOMPARE(read(QStringLiteral("FormPosition/WindowState")), QStringLiteral("0"));
        QCOMPARE(read(QStringLiteral("FormPosition/Width")), QString::number(qRound(PixelsToTwipsX(600))));
        QCOMPARE(read(QStringLiteral("FormPosition/Height")), QString::number(qRound(PixelsToTwipsY(400))));
        QCOMPARE(read(QStringLiteral("FormPosition/Left")), QString::number(qRound(PixelsToTwipsX(w->x()))));

        auto again = makeWindow();
        LoadFormIni(again.get());
        QCOMPARE(again->size(), QSize(600, 400));
        QCOMPARE(again->pos(), w->pos());
    }

    void maximisedKeepsNormalGeometry()
    {
        write(QStringLiteral("FormPosition/Left"), QStringLiteral("1500"));
        write(QStringLiteral("FormPosition/Width"), QStringLiteral("9000"));
        auto w = makeWindow();
        w->show();
        w->setWindowState(Qt::WindowMaximized);
        SaveFormIni(w.get());
        QCOMPARE(read(QStringLiteral("FormPosition/WindowState")), QStringLiteral("2"));
        QCOMPARE(read(QStringLiteral("FormPosition/Left")), QStringLiteral("1500"));
        QCOMPARE(read(QStringLiteral("FormPosition/Width")), QStringLiteral("9000"));

        auto again = makeWindow();
        LoadFormIni(again.get());
        QVERIFY(again->windowState() & Qt::WindowMaximized);
        again->setWindowState(Qt::WindowNoState);
        QCOMPARE(again->width(), TwipsToPixelsX(9000)); // the old normal size under the maximised state
    }

    void minimisedStoresNothing()
    {
        auto w = makeWindow();
        w->show();
        w->setWindowState(Qt::WindowMinimized);
        SaveFormIni(w.get());
        QVERIFY(!QFile::exists(path()));
        auto hidden = makeWindow();
        SaveFormIni(hidden.get()); // not visible
        QVERIFY(!QFile::exists(path()));
    }

    void gridLayoutReadBack()
    {
        SpreadGrid* list = nullptr;
        SpreadGrid* date = nullptr;
        auto w = makeWindow(&list, &date);
        w->show();
        list->setColWidth(4, 20.25);
        SaveSpreadIni_Col(w.get(), list, 4);
        QCOMPARE(read(QStringLiteral("spList_ColsWidth/4")), QStringLiteral("20.25"));
        write(QStringLiteral("spList_ColsWidth/2"), QStringLiteral("abc"));        // no number: ignored
        write(QStringLiteral("spList_ColsWidth/5"), QStringLiteral("12.3456789")); // nine characters count
        write(QStringLiteral("spList_General/RowHeight"), QStringLiteral("15"));
        write(QStringLiteral("spList_General/FontSize"), QStringLiteral("12"));
        write(QStringLiteral("spDate_ColsWidth/1"), QStringLiteral("30")); // a narrow grid is never read
        write(QStringLiteral("spDate_General/RowHeight"), QStringLiteral("18"));

        SpreadGrid* list2 = nullptr;
        SpreadGrid* date2 = nullptr;
        auto again = makeWindow(&list2, &date2);
        LoadFormIni(again.get());
        QCOMPARE(list2->colWidth(4), 20.25);
        QCOMPARE(list2->colWidth(2), 9.5);
        QCOMPARE(list2->colWidth(5), 12.345678);
        QCOMPARE(list2->rowHeight(-1), 15.0);
        QCOMPARE(list2->rowHeight(0), 17.0);
        QCOMPARE(list2->fontSize(3, 3), 12.0);
        QCOMPARE(list2->fontSize(3, 0), 10.0);
        QCOMPARE(date2->colWidth(1), 10.0);
        QVERIFY(date2->rowHeight(-1) != 18.0);
    }

    void zeroOrTextLeavesDesign()
    {
        write(QStringLiteral("spList_General/RowHeight"), QStringLiteral("0"));
        write(QStringLiteral("spList_General/FontSize"), QStringLiteral("big"));
        SpreadGrid* list = nullptr;
        auto w = makeWindow(&list);
        const double height = list->rowHeight(-1), font = list->fontSize(1, 1);
        LoadFormIni(w.get());
        QCOMPARE(list->rowHeight(-1), height);
        QCOMPARE(list->fontSize(1, 1), font);
    }

    void gnWritesAndDelete()
    {
        SpreadGrid* list = nullptr;
        auto w = makeWindow(&list);
        SaveSpreadIni_Gn(w.get(), list, QStringLiteral("FontSize"), QStringLiteral("0"));
        QCOMPARE(read(QStringLiteral("spList_General/FontSize")), QStringLiteral("0"));
        DelFormIni(QStringLiteral("frmMain"));
        QVERIFY(!QFile::exists(path()));
        DelFormIni(QStringLiteral("frmMain")); // nothing there: nothing happens
        QVERIFY(MessageHook::shown().isEmpty());
    }

    // Values of a damaged or foreign layout file are cut to sane sizes and the
    // window stays whole on the screen.
    void outlandishValuesAreClamped_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("row height") << "spList_General/RowHeight"
                                    << "999999999";
        QTest::newRow("font size") << "spList_General/FontSize"
                                   << "1e9";
        QTest::newRow("column width") << "spList_ColsWidth/2"
                                      << "1e12";
        QTest::newRow("far left") << "FormPosition/Left"
                                  << "-99999999";
        QTest::newRow("far down") << "FormPosition/Top"
                                  << "99999999";
        QTest::newRow("huge width") << "FormPosition/Width"
                                    << "999999999";
        QTest::newRow("huge height") << "FormPosition/Height"
                                     << "1e300";
    }
    void outlandishValuesAreClamped()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        write(key, value);
        SpreadGrid* list = nullptr;
        auto w = makeWindow(&list);
        list->setMaxRows(3);
        LoadFormIni(w.get());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(w->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())));
        QVERIFY(list->rowHeight(1) <= 100);
        QVERIFY(list->fontSize(1, 1) <= 40);
        QVERIFY(list->colWidth(2) <= 200);
    }

    void folderThatCannotBeCreatedIsReported()
    {
        // A file where the folder should be.
        QDir().mkpath(AppPaths::appFolder());
        QFile blocker(AppPaths::formIniFolder());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SpreadGrid* list = nullptr;
        auto w = makeWindow(&list);
        SaveSpreadIni_Gn(w.get(), list, QStringLiteral("RowHeight"), QStringLiteral("12"));
        QCOMPARE(MessageHook::shown().size(), 1);
        QCOMPARE(MessageHook::shown().last().text,
                 QStringLiteral("Error 76 (Path not found) in procedure SaveSpreadIni_Gn of Module modFormIni"));
        QVERIFY(QFileInfo(AppPaths::formIniFolder()).isFile());
    }
};

QTEST_MAIN(tst_FormIni)
#include "tst_formini.moc"
