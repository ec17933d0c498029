#include "app/Texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <mutex>

#include "app/AppConfig.h"
#include "app/StringText.h"

namespace {

constexpr const char* kStringTableContext = "StringTable";

struct TextState {
    std::mutex mutex;
    std::unique_ptr<QTranslator> english;  // string table in English, always there
    std::unique_ptr<QTranslator> language; // the chosen language, when it has texts
    std::unique_ptr<QTranslator> qtBase;   // Qt's own dialog buttons in that language
    QString applied;
};

TextState& State() {
    static TextState state;
    return state;
}

std::unique_ptr<QTranslator> LoadTranslator(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("vestrel"), QStringLiteral("_"),
                          QStringLiteral(":/i18n")))
        return nullptr;
    return translator;
}

void EnsureEnglishLocked(TextState& s) {
    if (!s.english)
        s.english = LoadTranslator(QLocale(QLocale::English, QLocale::UnitedStates));
}

std::string ProvideText(int id) {
    return LoadStringText(id).toStdString();
}

} // namespace

QString LoadStringText(int id) {
    TextState& s = State();
    std::lock_guard<std::mutex> guard(s.mutex);
    EnsureEnglishLocked(s);
    const QByteArray key = QByteArray::number(id);
    for (const QTranslator* t : {s.language.get(), s.english.get()}) {
        if (t == nullptr)
            continue;
        const QString text = t->translate(kStringTableContext, key.constData());
        if (!text.isNull())
            return text;
    }
    return {};
}

QString ApplyLanguage(const QString& languageCode) {
    TextState& s = State();
    std::lock_guard<std::mutex> guard(s.mutex);
    EnsureEnglishLocked(s);

    QString name = QString::fromStdString(SelectLanguageName(languageCode.toStdString()));
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QLocale locale = name.isEmpty() ? QLocale::system() : QLocale(name);

    if (s.language)
        QCoreApplication::removeTranslator(s.language.get());
    if (s.qtBase)
        QCoreApplication::removeTranslator(s.qtBase.get());
    if (s.english)
        QCoreApplication::removeTranslator(s.english.get());
    s.language.reset();
    s.qtBase.reset();

    // Only texts in another language than English need a translator of their own.
    auto chosen = LoadTranslator(locale);
    if (chosen && chosen->language() != s.english->language())
        s.language = std::move(chosen);
    const QLocale effective = s.language ? QLocale(s.language->language())
                                         : QLocale(QLocale::English, QLocale::UnitedStates);
    if (s.language) {
        auto qtBase = std::make_unique<QTranslator>();
        if (qtBase->load(effective, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            s.qtBase = std::move(qtBase);
    }

    // Later installs are searched first.
    if (s.english)
        QCoreApplication::installTranslator(s.english.get());
    if (s.qtBase)
        QCoreApplication::installTranslator(s.qtBase.get());
    if (s.language)
        QCoreApplication::installTranslator(s.language.get());
    QLocale::setDefault(effective);
    SetStringTextProvider(&ProvideText);
    s.applied = effective.name();
    return s.applied;
}
