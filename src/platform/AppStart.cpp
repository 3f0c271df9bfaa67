#include "AppStart.h"

#include "WindowKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QShortcut>
#include <QTranslator>
#include <QWidget>

#include <clocale>
#include <vector>

namespace platform {
namespace {

// The window whose shortcut an action or shortcut object is: that of its
// nearest widget, where a menu stands for the bar or menu it opens from.
QWidget* owningWindow(const QObject* object) {
    QObject* p = object->parent();
    while (p && !p->isWidgetType()) p = p->parent();
    auto* w = static_cast<QWidget*>(p);
    while (w && w->windowType() == Qt::Popup && w->parentWidget()) w = w->parentWidget();
    return w ? w->window() : nullptr;
}

bool actsInWindow(Qt::ShortcutContext context) {
    return context == Qt::WindowShortcut || context == Qt::ApplicationShortcut;
}

void addSingleKeys(std::vector<int>& keys, const QList<QKeySequence>& sequences) {
    for (const QKeySequence& s : sequences)
        if (s.count() == 1) keys.push_back(s[0].toCombined());
}

// The enabled shortcuts that act in `window`.
std::vector<int> windowShortcuts(QWidget* window) {
    std::vector<int> keys;
    for (const QAction* a : window->findChildren<QAction*>()) {
        if (a->isEnabled() && actsInWindow(a->shortcutContext()) && owningWindow(a) == window)
            addSingleKeys(keys, a->shortcuts());
    }
    for (const QShortcut* s : window->findChildren<QShortcut*>()) {
        if (s->isEnabled() && actsInWindow(s->context()) && owningWindow(s) == window) addSingleKeys(keys, s->keys());
    }
    return keys;
}

// Qt asks the focused control, and then its parents, whether it wants a key
// that is also a shortcut (QEvent::ShortcutOverride); a text box says yes to
// its editing bindings (Ctrl+U, Ctrl+A, Ctrl+E ...). Where the key is one of
// the window's shortcuts the answer is no, so the shortcut acts.
class WindowShortcutsFirst final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!windowTakesKey(key->keyCombination().toCombined(), windowShortcuts(window))) return false;
        key->ignore();
        return true;
    }
};

// Without Qt's translation installed, Qt's texts stay English.
void loadQtJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

void prepareApplication(QApplication& app) {
    // The application object took the user's locale; libmpv refuses to start
    // unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    loadQtJapanese(app);
    app.installEventFilter(new WindowShortcutsFirst(&app));
}

}  // namespace platform
