#include "data/base/Error.h"

#include <QCoreApplication>

ErrorInfo ErrorInfo::asEngine(const QString& whatFailed) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Engine;
    e.what = whatFailed;
    return e;
}

ErrorInfo ErrorInfo::inProcedure(const QString& proc, const QString& ownerName, bool isForm) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Procedure;
    e.procedure = proc;
    e.owner = ownerName;
    e.ownerIsForm = isForm;
    return e;
}

ErrorInfo ErrorInfo::asQuery(const QString& statement) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Query;
    e.sql = statement;
    return e;
}

ErrorInfo ErrorInfo::notice(const QString& text)
{
    ErrorInfo e;
    e.kind = Kind::Notice;
    e.what = text;
    return e;
}

ErrorInfo ErrorInfo::info(const QString& text)
{
    ErrorInfo e;
    e.kind = Kind::Info;
    e.what = text;
    return e;
}

QString ProcErrorText(const ErrorInfo& error, const QString& procedure, const QString& owner, bool ownerIsForm)
{
    return QStringLiteral("Error ") + QString::number(error.number) + QStringLiteral(" (") + error.description +
           QStringLiteral(") in procedure ") + procedure +
           (ownerIsForm ? QStringLiteral(" of Form ") : QStringLiteral(" of Module ")) + owner;
}

QString ErrorLine(const ErrorInfo& error)
{
    const auto details = [&] {
        return QCoreApplication::translate("Error", "오류번호 %1: %2").arg(error.number).arg(error.description);
    };
    QString line;
    switch (error.kind) {
    case ErrorInfo::Kind::Engine:
        line = error.what + QStringLiteral(" (") + details() + QStringLiteral(")");
        break;
    case ErrorInfo::Kind::Procedure:
        line = ProcErrorText(error, error.procedure, error.owner, error.ownerIsForm);
        break;
    case ErrorInfo::Kind::Notice:
    case ErrorInfo::Kind::Info:
        line = error.what;
        break;
    case ErrorInfo::Kind::Query:
        line = details() + QStringLiteral(" [") + error.sql + QStringLiteral("]");
        break;
    case ErrorInfo::Kind::Plain:
        line = error.what.isEmpty() ? details() : error.what + QStringLiteral(" (") + details() + QStringLiteral(")");
        break;
    }
    return line.simplified();
}
