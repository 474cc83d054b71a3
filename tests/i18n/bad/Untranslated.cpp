// The check's self-test: a Korean text outside tr() must fail it.
#include <QCoreApplication>

QString Greeting()
{
    const QString fine = QCoreApplication::translate("Untranslated", "안녕하세요");
    // "주석" in a comment is no text of the program.
    return fine + QStringLiteral(" 손님");
}
