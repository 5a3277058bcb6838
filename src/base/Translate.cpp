#include "base/Translate.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace cdk {

QString countedText(const char *context, const char *pluralSource, const char *englishOne, int n)
{
    const QString number = QString::number(n);
    const QString translated = QCoreApplication::translate(context, pluralSource, nullptr, n);
    // Without a translation Qt hands back the source with the count filled in.
    const QString untranslated = QString::fromUtf8(pluralSource).replace(QStringLiteral("%n"), number);
    if (translated != untranslated || n != 1)
        return translated;
    return QString::fromUtf8(englishOne).replace(QStringLiteral("%n"), number);
}

QString installTranslations(QCoreApplication &app, const QString &folder)
{
    const QString where = QDir(QCoreApplication::applicationDirPath())
                              .absoluteFilePath(folder.isEmpty()
                                                    ? QStringLiteral(CHRONODECK_TRANSLATIONS_DIR)
                                                    : folder);
    for (const QString &language : QLocale().uiLanguages()) {
        // "de-DE" looks for chronodeck_de_DE.qm, then for chronodeck_de.qm.
        const QString name = QString(language).replace(QLatin1Char('-'), QLatin1Char('_'));
        const QString base = name.section(QLatin1Char('_'), 0, 0);
        if (base == QLatin1String("en") || base == QLatin1String("C"))
            return {};
        auto *program = new QTranslator(&app);
        if (!program->load(QStringLiteral("chronodeck_") + name, where)) {
            delete program;
            continue;
        }
        // The translator installed last is asked first, and most texts are ours.
        auto *qt = new QTranslator(&app);
        if (qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        QCoreApplication::installTranslator(program);
        return base;
    }
    return {};
}

} // namespace cdk
