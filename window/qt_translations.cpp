#include "window/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include "pattern/translation.h"

namespace orvane {

void UseQtTranslations(const Language &language)
{
    // One translator for the application's life, loaded again when the
    // language changes (the tests change it between windows).
    static QTranslator *qtTexts = nullptr;
    static QString loaded;
    // Qt names its catalogues as locales do: pt_BR, zh_CN.
    const QString code = QString::fromLatin1(language.code).replace('-', '_');
    if (code == loaded)
        return;
    if (qtTexts) {
        QCoreApplication::removeTranslator(qtTexts);
        delete qtTexts;
        qtTexts = nullptr;
    }
    loaded = code;
    if (code == QLatin1String("en"))
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        qtTexts = translator;
    } else {
        delete translator;
    }
}

} // namespace orvane
