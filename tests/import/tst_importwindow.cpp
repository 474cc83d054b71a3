#include "LedgerWindowTestBase.h"

#include "data/import/ImportProfile.h"
#include "gui/ledger/ImportDialog.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/PeriodBar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSpinBox>
#include <QTableWidget>

// 자료 가져오기 in the ledger window: the dialog driven as a user would, from
// the tool menu and from a file dropped onto the window.
class TestImportWindow : public LedgerWindowTestBase {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        startEnv();
        env->addCard(1, QStringLiteral("BC카드"));
        env->addCard(2, QStringLiteral("신한카드"));
        env->addEntry(QStringLiteral("2005-05-02"), 2, 1000, 20, 980, 1);
        m_file = env->appFolder() + QStringLiteral("/terminal.csv");
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("date;who;n;amount;fee;paid\n"
                "2005.05.02;shinhan;1;1000;20;980\n"
                "2005.05.03;BC카드;2;\"2,000\";50;1950\n"
                "2005.05.04;lotte;1;300;9;291\n"
                "2005.05.05;shinhan;;500;10;490\n");
    }
    void cleanup()
    {
        ModalHook::reset();
        stopEnv();
    }

    void menu_mapsColumnsAndCardsSavesProfileAndStores();
    void droppedFile_opensTheDialog();
    void guessedColumns_skipRows_cancelRegistersNothing();

private:
    static bool choose(QComboBox* box, int data)
    {
        const int index = box ? box->findData(data) : -1;
        if (index < 0)
            return false;
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
        return true;
    }
    static QComboBox* cardChoice(ImportDialog* d, const QString& name)
    {
        QTableWidget* map = d->cardMap();
        for (int r = 0; r < map->rowCount(); ++r)
            if (map->item(r, 0)->text() == name)
                return qobject_cast<QComboBox*>(map->cellWidget(r, 1));
        return nullptr;
    }
    QString m_file;
};

void TestImportWindow::menu_mapsColumnsAndCardsSavesProfileAndStores()
{
    openWindow();
    ModalHook::push([this](QDialog* dialog) {
        auto* d = qobject_cast<ImportDialog*>(dialog);
        QVERIFY(d && d->openFile(m_file)); // as 파일 선택 would
        for (int field = 0; field < 6; ++field)
            QVERIFY(choose(d->columnBox(field), field)); // the file's columns are in the ledger's order
        QCOMPARE(d->plan().counts().refused, 3);         // no card name is known yet but BC카드
        QVERIFY(choose(cardChoice(d, QStringLiteral("shinhan")), 2));
        ModalHook::push([](QDialog* ask) { // its fee rate
            qobject_cast<QInputDialog*>(ask)->setDoubleValue(1.5);
            ask->accept();
        });
        QVERIFY(choose(cardChoice(d, QStringLiteral("lotte")), -2)); // a new card, registered on storing
        QCOMPARE(env->ctx().card.scalar(QStringLiteral("SELECT count(*) FROM Plastra")).toInt(), 2);
        const ImportCounts counts = d->plan().counts();
        QCOMPARE(counts.ready, 3);
        QCOMPARE(counts.duplicates, 1); // 2005-05-02 is in the ledger already
        QCOMPARE(counts.refused, 0);
        d->profileName()->setText(QStringLiteral("단말기"));
        d->saveProfile();
        d->store();
    });
    win->findChild<QAction*>(QStringLiteral("mnuTool_Import"))->trigger();
    QCOMPARE(ModalHook::shown(), (QStringList{QStringLiteral("ImportDialog"), QStringLiteral("NewCardFeeDialog")}));
    QVERIFY(MessageHook::shown().last().text.contains(QStringLiteral("저장 3건, 중복으로 건너뜀 1건, 거부 0건")));
    QCOMPARE(env->ctx().card.scalar(QStringLiteral("SELECT fee FROM Plastra WHERE name = 'lotte'")).toDouble(), 1.5);
    QCOMPARE(period()->dateText(0), QStringLiteral("2005-05-03"));
    QCOMPARE(period()->dateText(1), QStringLiteral("2005-05-05"));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 4);
    // The saved profile knows the file again, with its card names.
    ImportTable table;
    ImportProfile profile;
    QVERIFY(ReadImportFile(m_file, &table, nullptr));
    QVERIFY(ImportProfiles::Recognize(table, &profile));
    QCOMPARE(profile.name, QStringLiteral("단말기"));
    // Written by the cards' names, which other books read the same way.
    QCOMPARE(profile.cards.value(QStringLiteral("shinhan")), QStringLiteral("신한카드"));
    QCOMPARE(profile.cards.value(QStringLiteral("lotte")), QStringLiteral("lotte"));
}

void TestImportWindow::droppedFile_opensTheDialog()
{
    openWindow();
    QString shown;
    ModalHook::push([&shown](QDialog* d) {
        shown = d->findChild<QLineEdit*>()->text();
        d->reject();
    });
    QMimeData other; // a kind of file the import does not read is not taken
    other.setUrls({QUrl::fromLocalFile(env->appFolder() + QStringLiteral("/report.pdf"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(win, &refused);
    QVERIFY(!refused.isAccepted());
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(m_file)});
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(win, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(win, &drop);
    QTRY_COMPARE(ModalHook::shown(), QStringList{QStringLiteral("ImportDialog")});
    QCOMPARE(shown, QDir::toNativeSeparators(m_file));
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
}

// A statement under a title row: columns guessed from its header and marked,
// their labels following the rows skipped; total rows skipped when chosen;
// a new card company chosen and then the dialog closed registers nothing.
void TestImportWindow::guessedColumns_skipRows_cancelRegistersNothing()
{
    QFile f(m_file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("5월 카드 매출 내역\n"
            "거래일자;카드사;승인금액\n"
            "2005.05.03;BC카드;2000\n"
            "2005.05.04;하나카드;300\n"
            "합계;;2300\n");
    f.close();
    openWindow();
    ModalHook::push([this](QDialog* dialog) {
        auto* d = qobject_cast<ImportDialog*>(dialog);
        QVERIFY(d && d->openFile(m_file));
        QCOMPARE(d->guessed(), (QList<int>{0, 1, 3}));
        QCOMPARE(d->skipBox()->value(), 2);
        QVERIFY(d->columnBox(0)->currentText().contains(QStringLiteral("거래일자")));
        d->skipBox()->setValue(1);
        QVERIFY2(d->columnBox(0)->itemText(1).contains(QStringLiteral("5월 카드")),
                 qPrintable(d->columnBox(0)->itemText(1)));
        d->skipBox()->setValue(2);
        QVERIFY(d->columnBox(3)->itemText(3).contains(QStringLiteral("승인금액")));
        QCOMPARE(d->plan().counts().refused, 2); // the total row, and 하나카드 not in the books
        d->skipTotalsBox()->setChecked(true);
        QCOMPARE(d->plan().counts().skipped, 1);
        ModalHook::push([](QDialog* ask) { ask->accept(); });
        QVERIFY(choose(cardChoice(d, QStringLiteral("하나카드")), -2));
        QCOMPARE(d->plan().counts().ready, 2);
        d->reject();
    });
    win->findChild<QAction*>(QStringLiteral("mnuTool_Import"))->trigger();
    QCOMPARE(env->ctx().card.scalar(QStringLiteral("SELECT count(*) FROM Plastra")).toInt(), 2);
    QCOMPARE(env->count(QStringLiteral("Tallox")), 1);
}

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"
