#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace {
// libpq's own values of sslmode; the address may name only these.
const QStringList& sslModes()
{
    static const QStringList modes = {QStringLiteral("disable"),   QStringLiteral("allow"),
                                      QStringLiteral("prefer"),    QStringLiteral("require"),
                                      QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    return modes;
}

bool isName(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.-]*$"));
    return re.match(text).hasMatch();
}

bool isHost(const QString& text)
{
    // A name or an IPv4 address, or an IPv6 address (QUrl gives it without brackets).
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$"));
    static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*$"));
    return name.match(text).hasMatch() || ipv6.match(text).hasMatch();
}
} // namespace

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
    const auto badField = [&](const QString& field, const QString& value) {
        return refuse(QCoreApplication::translate("ServerAddress", "서버 주소의 %1에 쓸 수 없는 글자가 있습니다: %2")
                          .arg(field, value));
    };
    *this = ServerAddress();
    const QString trimmed = text.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!Looks(text) || !url.isValid() || url.host().isEmpty() || url.hasFragment())
        return refuse(QCoreApplication::translate(
            "ServerAddress", "서버 주소는 postgresql://[사용자@]호스트[:포트]/데이터베이스 꼴로 씁니다."));
    // "user:@host" too: any password part, even an empty one.
    const QString authority = trimmed.section(QStringLiteral("://"), 1).section(QLatin1Char('/'), 0, 0);
    if (!url.password().isEmpty() || authority.section(QLatin1Char('@'), 0, -2).contains(QLatin1Char(':')))
        return refuse(QCoreApplication::translate(
            "ServerAddress", "서버 주소에 암호를 쓰지 않습니다. 암호는 ~/.pgpass 또는 PGPASSWORD에 둡니다."));
    const QString userName = url.userName(QUrl::FullyDecoded);
    if (!userName.isEmpty() && !isName(userName))
        return badField(QCoreApplication::translate("ServerAddress", "사용자"), userName);
    if (!isHost(url.host(QUrl::FullyDecoded)))
        return badField(QCoreApplication::translate("ServerAddress", "호스트"), url.host(QUrl::FullyDecoded));
    const int givenPort = url.port(-1);
    if (givenPort == 0)
        return refuse(QCoreApplication::translate("ServerAddress", "서버 주소의 포트는 1에서 65535 사이입니다."));
    const QString path = url.path(QUrl::FullyDecoded).mid(1);
    if (path.isEmpty())
        return refuse(QCoreApplication::translate("ServerAddress", "서버 주소에 데이터베이스 이름이 없습니다."));
    if (!isName(path))
        return badField(QCoreApplication::translate("ServerAddress", "데이터베이스 이름"), path);
    QString mode;
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key != QLatin1String("sslmode"))
            return refuse(
                QCoreApplication::translate("ServerAddress", "서버 주소의 알 수 없는 설정입니다: %1").arg(key));
        if (!mode.isEmpty())
            return refuse(
                QCoreApplication::translate("ServerAddress", "서버 주소에 같은 설정이 두 번 있습니다: %1").arg(key));
        // The value is taken from the known list, never as it was typed.
        const qsizetype known = sslModes().indexOf(value);
        if (known < 0)
            return refuse(QCoreApplication::translate("ServerAddress", "서버 주소의 sslmode는 %1 가운데 하나입니다: %2")
                              .arg(sslModes().join(QStringLiteral(", ")), value));
        mode = sslModes().at(known);
    }
    user = userName;
    host = url.host(QUrl::FullyDecoded);
    port = givenPort;
    dbname = path;
    sslmode = mode;
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
    const qsizetype known = sslModes().indexOf(sslmode);
    if (known >= 0)
        options += QStringLiteral(";sslmode=") + sslModes().at(known);
    return options;
}
