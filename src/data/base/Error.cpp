#include "data/base/Error.h"

#include <QCoreApplication>

namespace {
// The number and text the boxes have always shown for each of the program's own errors.
struct Legacy {
    int number;
    const char* text;
};

Legacy LegacyOf(ErrorCode code)
{
    switch (code) {
    case ErrorCode::None:
    case ErrorCode::Engine:
        break;
    case ErrorCode::NoConnection:
        return {91, "Object variable or With block variable not set"};
    case ErrorCode::NoRecord:
        return {3021, "No current record."};
    case ErrorCode::NoSuchField:
        return {3265, "Item not found in this collection."};
    case ErrorCode::BadName:
        return {1, "invalid table or field name"};
    case ErrorCode::TypeMismatch:
        return {13, "Type mismatch"};
    case ErrorCode::Overflow:
        return {6, "Overflow"};
    case ErrorCode::MissingValue:
        return {94, "Invalid use of Null"};
    case ErrorCode::NoResult:
        return {5, "no result"};
    case ErrorCode::CarryOverFailed:
        return {0, ""};
    case ErrorCode::FileAccess:
        return {75, "Path/File access error"};
    case ErrorCode::PathNotFound:
        return {76, "Path not found"};
    case ErrorCode::Exception:
        return {-1, ""};
    }
    return {0, ""};
}
} // namespace

ErrorInfo::ErrorInfo(ErrorCode c, const QString& text)
    : code(c), description(text.isEmpty() ? QString::fromLatin1(LegacyOf(c).text) : text)
{
}

int ErrorInfo::shownNumber() const
{
    return code == ErrorCode::Engine || code == ErrorCode::None ? engineCode : LegacyOf(code).number;
}

ErrorPlaceWording WordingOf(ErrorPlace place)
{
    const QString modMain = QStringLiteral("modMain");
    const QString modSumBill = QStringLiteral("modSumBill");
    const QString frmMain = QStringLiteral("frmMain");
    switch (place) {
    case ErrorPlace::None:
        break;
    case ErrorPlace::AddField:
        return {QStringLiteral("AddField_Dao"), modMain};
    case ErrorPlace::UpgradeSchema:
        return {QStringLiteral("UpgradeSchema"), modMain};
    case ErrorPlace::ReadUpgraded:
        return {QStringLiteral("ReadAsUpgraded"), modMain};
    case ErrorPlace::CardNames:
        return {QStringLiteral("FillPlastra"), QStringLiteral("modMain_SQL")};
    case ErrorPlace::NextCode:
        return {QStringLiteral("GetNextCode"), modMain};
    case ErrorPlace::PrevBalances:
        return {QStringLiteral("PrevBalancesByCard"), modMain};
    case ErrorPlace::PrevBalance:
        return {QStringLiteral("GetPrevBalance"), modMain};
    case ErrorPlace::Fee:
        return {QStringLiteral("GetFee"), modMain};
    case ErrorPlace::SummaryLines:
        return {QStringLiteral("LoadSumBillLines"), modSumBill};
    case ErrorPlace::MonthlySummary:
        return {QStringLiteral("LoadMonthlySummary"), modSumBill};
    case ErrorPlace::LedgerRows:
        return {QStringLiteral("RefreshSheet"), frmMain, true};
    case ErrorPlace::CarryOverCheck:
        return {QStringLiteral("CheckPrevBalance"), frmMain, true};
    case ErrorPlace::CarryOverShift:
        return {QStringLiteral("CalcPrevBaln"), frmMain, true};
    case ErrorPlace::Rebuild:
        return {QStringLiteral("mnuTool_ReBaln_Click"), frmMain, true};
    }
    return {};
}

ErrorInfo ErrorInfo::asEngine(const QString& whatFailed) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Engine;
    e.what = whatFailed;
    return e;
}

ErrorInfo ErrorInfo::at(ErrorPlace where) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Procedure;
    e.place = where;
    return e;
}

ErrorInfo ErrorInfo::asQuery(const QString& statement) const
{
    ErrorInfo e = *this;
    e.kind = Kind::Query;
    e.sql = statement;
    return e;
}

ErrorInfo ErrorInfo::notice(const QString& text, ErrorCode c)
{
    ErrorInfo e;
    e.code = c;
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
    return QStringLiteral("Error ") + QString::number(error.shownNumber()) + QStringLiteral(" (") + error.description +
           QStringLiteral(") in procedure ") + procedure +
           (ownerIsForm ? QStringLiteral(" of Form ") : QStringLiteral(" of Module ")) + owner;
}

QString ErrorLine(const ErrorInfo& error)
{
    const auto details = [&] {
        return QCoreApplication::translate("Error", "오류번호 %1: %2").arg(error.shownNumber()).arg(error.description);
    };
    QString line;
    switch (error.kind) {
    case ErrorInfo::Kind::Engine:
        line = error.what + QStringLiteral(" (") + details() + QStringLiteral(")");
        break;
    case ErrorInfo::Kind::Procedure: {
        const ErrorPlaceWording w = WordingOf(error.place);
        line = ProcErrorText(error, w.procedure, w.owner, w.ownerIsForm);
    } break;
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
