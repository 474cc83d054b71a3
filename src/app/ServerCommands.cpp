#include "app/ServerCommands.h"

#include "app/CommandLine.h"
#include "data/books/AppPaths.h"
#include "data/books/BooksCopy.h"
#include "data/books/ServerSchema.h"
#include "data/db/Database.h"
#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTextStream>

QString ServerBooks(const QString& named)
{
    if (!named.isEmpty())
        return ServerAddress::Looks(named) ? named.trimmed() : QString();
    const QString stored = UserSettings()->value(QStringLiteral("General/dbPath")).toString();
    return ServerAddress::Looks(stored) ? stored.trimmed() : QString();
}

QString ServerUsageText()
{
    return QCoreApplication::translate(
        "CommandLine",
        "\n서버의 장부 (폴더 대신 postgresql://[사용자@]호스트[:포트]/데이터베이스):\n"
        "  --init-server 주소         빈 PostgreSQL 데이터베이스에 Tallox 장부를 만듭니다\n"
        "  --copy 원본 대상           장부를 폴더에서 서버로 (또는 반대로) 복사하고 건수와 합계를 확인합니다\n"
        "  암호는 ~/.pgpass, PGPASSWORD 또는 서비스 파일에 둡니다 (Tallox는 암호를 저장하지 않습니다).\n");
}

int RunInitServer(const QString& address, QTextStream& out, QTextStream& err)
{
    ErrorInfo e;
    Database db;
    if (!ServerAddress::Looks(address)) {
        err << "tallox: " << QCoreApplication::translate("CommandLine", "서버 주소가 아닙니다: %1").arg(address)
            << Qt::endl;
        return ExitUsage;
    }
    if (!db.open(address, &e, false, false, false) || !CreateServerSchema(db, &e)) {
        err << "tallox: " << QCoreApplication::translate("CommandLine", "서버를 쓸 수 없습니다: %1").arg(ErrorLine(e))
            << Qt::endl;
        return ExitDatabase;
    }
    out << QCoreApplication::translate("CommandLine", "서버에 Tallox 장부를 만들었습니다: %1").arg(db.path())
        << Qt::endl;
    return ExitOk;
}

int RunCopyBooks(const QString& from, const QString& to, QTextStream& out, QTextStream& err)
{
    ErrorInfo e;
    CopyCounts counts;
    if (!CopyBooks(from, to, &counts, &e)) {
        err << "tallox: "
            << QCoreApplication::translate("CommandLine", "장부를 복사하지 못했습니다: %1").arg(ErrorLine(e))
            << Qt::endl;
        return ExitDatabase;
    }
    out << QCoreApplication::translate(
               "CommandLine", "장부를 복사했습니다: %1 → %2 (카드사 %3곳, 자료 %4건, 이월금액 %5건, 변경 이력 %6건)")
               .arg(from, to)
               .arg(counts.cards)
               .arg(counts.entries)
               .arg(counts.carryOverRows)
               .arg(counts.historyRows)
        << Qt::endl;
    return ExitOk;
}
