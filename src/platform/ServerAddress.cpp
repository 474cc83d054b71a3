#include "platform/ServerAddress.h"

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>

bool ServerAddress::Looks(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

bool ServerAddress::parse(const QString& text, QString* why)
{
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!Looks(text) || !url.isValid() || url.host().isEmpty())
        return refuse(QCoreApplication::translate(
            "ServerAddress", "서버 주소는 postgresql://[사용자@]호스트[:포트]/데이터베이스 꼴로 씁니다."));
    if (!url.password().isEmpty())
        return refuse(QCoreApplication::translate(
            "ServerAddress", "서버 주소에 암호를 쓰지 않습니다. 암호는 ~/.pgpass 또는 PGPASSWORD에 둡니다."));
    user = url.userName();
    host = url.host();
    port = url.port(-1);
    dbname = url.path().mid(1);
    if (dbname.isEmpty() || dbname.contains(QLatin1Char('/')))
        return refuse(QCoreApplication::translate("ServerAddress", "서버 주소에 데이터베이스 이름이 없습니다."));
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key != QLatin1String("sslmode"))
            return refuse(
                QCoreApplication::translate("ServerAddress", "서버 주소의 알 수 없는 설정입니다: %1").arg(key));
        sslmode = value;
    }
    return true;
}

QString ServerAddress::display() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    if (port > 0)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + dbname;
    if (!sslmode.isEmpty())
        text += QStringLiteral("?sslmode=") + sslmode;
    return text;
}

QString ServerAddress::connectOptions() const
{
    // A server that does not answer is named after a few seconds, not after minutes.
    QString options = QStringLiteral("connect_timeout=5;application_name=tallox");
    if (!sslmode.isEmpty())
        options += QStringLiteral(";sslmode=") + sslmode;
    return options;
}
