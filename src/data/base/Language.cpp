#include "data/base/Language.h"

#include <QLocale>

namespace Language {

bool PrefersEnglish(const QStringList& uiLanguages)
{
    // LANGUAGE may list several ("de:en"); the first one Tallox has decides.
    for (const QString& name : uiLanguages) {
        const QString lang = name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (lang == QLatin1String("en"))
            return true;
        if (lang == QLatin1String("ko") || lang == QLatin1String("c") || lang == QLatin1String("posix"))
            return false;
    }
    return false;
}

bool English()
{
    return PrefersEnglish(QLocale::system().uiLanguages());
}

} // namespace Language
