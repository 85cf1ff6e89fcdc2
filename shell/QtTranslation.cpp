#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Qt ships Chinese as zh_CN and zh_TW only; Hong Kong, Macao and Singapore read one of the two.
QLocale nearestChinese(const QLocale& locale)
{
    if (locale.script() == QLocale::TraditionalChineseScript)
        return QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
}

} // namespace

namespace QtTranslation {

void Install(const QStringList& catalogues)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale locale;
    for (const QString& catalogue : catalogues) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        const bool loaded = translator->load(locale, catalogue, QStringLiteral("_"), folder) ||
                            (locale.language() == QLocale::Chinese &&
                             translator->load(nearestChinese(locale), catalogue, QStringLiteral("_"), folder));
        if (loaded)
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace QtTranslation
