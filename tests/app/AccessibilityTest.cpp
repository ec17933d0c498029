// Every interactive control and every plot of the main window (all its pages)
// and of the threshold generator has an accessible name in the language in
// force: its own text, the text of the label beside it, or (plots) the title.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <map>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "app/VORA_Vestrel_ToolDlg.h"
#include "realtime/SensingGeneratorDlg.h"
#include "support/TempDir.h"
#include "wave/WaveWnd.h"

namespace {

bool IsNamedControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QProgressBar*>(w) ||
           qobject_cast<const CWaveWnd*>(w);
}

// The name assistive technology reads, and the text a sighted user sees for the
// control (own text, else its label "lbl<id>").
struct Seen {
    QString name;
    QString visible;
};

QString VisibleText(const QWidget* root, const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty())
        return b->text();
    QString id = w->objectName();
    if (id.startsWith(QLatin1String("ctl"))) {
        id.replace(0, 3, QStringLiteral("lbl"));
        if (const auto* label = root->findChild<QLabel*>(id))
            return label->text();
    }
    return {};
}

void Collect(const QWidget* root, const QString& prefix, std::map<QString, Seen>& out) {
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (!IsNamedControl(w) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        // Inner parts of compound controls (a combo box's line edit) are named
        // by the compound.
        // (a combo box's line edit, a scroll area's scroll bars) are named by
        // the compound.
        if (qobject_cast<const QComboBox*>(w->parentWidget()) ||
            qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) ||
            (w->parentWidget() && w->parentWidget()->objectName().startsWith(QLatin1String("qt_"))))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
        QString name = a != nullptr ? a->text(QAccessible::Name) : QString();
        // On Linux Qt gives a combo box its current item as the name; screen
        // readers announce it by the label it is "labelled by".
        if (a != nullptr && qobject_cast<const QComboBox*>(w)) {
            name.clear();
            for (const auto& [other, relation] : a->relations(QAccessible::Label))
                name += other->text(QAccessible::Name);
        }
        QString key = prefix + QLatin1Char('/') + w->objectName();
        if (w->objectName().isEmpty()) // unnamed: by class, parent and order
            key += QStringLiteral("<%1 in %2 #%3>")
                       .arg(QString::fromLatin1(w->metaObject()->className()),
                            w->parentWidget() ? w->parentWidget()->objectName() : QString())
                       .arg(out.size());
        out[key] = {name.trimmed(), VisibleText(root, w)};
    }
}

std::map<QString, Seen> NamesIn(const char* language) {
    ApplyLanguage(QString::fromLatin1(language));
    std::map<QString, Seen> names;
    CVORA_Vestrel_ToolDlg w;
    w.show();
    Collect(&w, QStringLiteral("main"), names);
    CSensingGeneratorDlg generator(w.DeviceHandle(), 4.0, 1.5, &w);
    Collect(&generator, QStringLiteral("generator"), names);
    return names;
}

} // namespace

TEST(Accessibility, EveryControlAndPlotIsNamedInTheLanguageInForce) {
    TempDir dir;
    SetAppBaseDirectory(dir.path());
    LoadAppConfig();
    const auto english = NamesIn("ENG");
    const auto chinese = NamesIn("CHS");
    SetAppBaseDirectory({});
    ApplyLanguage(QStringLiteral("ENG"));

    ASSERT_GT(english.size(), 40u); // two parameter groups of 16 fields alone
    EXPECT_EQ(english.size(), chinese.size());
    for (const auto& [key, en] : english) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_FALSE(en.name.isEmpty());
        const auto it = chinese.find(key);
        ASSERT_NE(it, chinese.end());
        const Seen& zh = it->second;
        EXPECT_FALSE(zh.name.isEmpty());
        // What the user reads changed with the language, so must what is heard.
        if (!en.visible.isEmpty() && en.visible != zh.visible) {
            EXPECT_NE(en.name, zh.name) << en.name.toStdString();
        }
        if (!zh.visible.isEmpty() && zh.visible.trimmed() != en.visible.trimmed()) {
            EXPECT_TRUE(zh.name.contains(zh.visible.trimmed().section(QLatin1Char('\n'), 0, 0)))
                << zh.name.toStdString() << " / " << zh.visible.toStdString();
        }
    }
    // Threshold fields: group title and gate label.
    const auto field = [](const std::map<QString, Seen>& names, int id) {
        const auto it = names.find(QStringLiteral("main/ctl%1").arg(id));
        return it == names.end() ? QString() : it->second.name;
    };
    int trigger00 = 0;
    for (const auto& [key, seen] : english)
        if (seen.name == QStringLiteral("Trigger Threshold 00"))
            trigger00 = key.mid(key.indexOf(QLatin1String("/ctl")) + 4).toInt();
    ASSERT_NE(trigger00, 0) << "no field named \"Trigger Threshold 00\"";
    EXPECT_EQ(field(chinese, trigger00), QStringLiteral("触发门限 00"));
}
