// Finding the desktop window's menu items as a user sees them.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace qt_test {

// The action of a menu or sub-menu item, by its caption without "&".
inline QAction* find_action(QMenuBar* bar, const QString& text) {
    std::function<QAction*(const QList<QAction*>&)> search = [&](const QList<QAction*>& actions) -> QAction* {
        for (QAction* a : actions) {
            if (QString(a->text()).remove(QLatin1Char('&')) == text) return a;
            if (a->menu())
                if (QAction* found = search(a->menu()->actions())) return found;
        }
        return nullptr;
    };
    return search(bar->actions());
}

}  // namespace qt_test
