#pragma once
// Menu entries of the main window: a caption, a shortcut and a slot that runs
// guarded (a failure becomes the error report, never a crash).
#include "ui/dialogs/UnitError.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace v7300 {

template <typename Slot>
QAction* addEntry(QWidget* owner, QMenu* menu, const QString& caption, const QKeySequence& key, Slot slot) {
    QAction* a = menu->addAction(caption);
    if (!key.isEmpty()) a->setShortcut(key);
    QObject::connect(a, &QAction::triggered, owner,
                     [owner, slot](bool checked) { Guarded(owner, [&] { slot(checked); }); });
    return a;
}

// A shortcut that works although no menu shows it.
template <typename Slot>
void addHidden(QWidget* owner, const QString& caption, const QList<QKeySequence>& keys, Slot slot) {
    auto* a = new QAction(caption, owner);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(a, &QAction::triggered, owner, [owner, slot] { Guarded(owner, [&] { slot(); }); });
    owner->addAction(a);
}

} // namespace v7300
