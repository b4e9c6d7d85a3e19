// Help > Keyboard shortcuts: every shortcut and access key of the main window, the yard's keys and
// the other windows' access keys, read from them when the list opens, so it is always the one the
// game answers to.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QStringList>
#include <vector>

#include "services/national.h"

class QTableWidget;

namespace kelvara::qt {

struct ShortcutRow {
  QString place;    // the menu or the window it is in
  QString command;  // its caption without the access key's mark
  QString keys;     // its shortcuts, then its access key as pressed
};

// What the main window answers to: each menu item with a shortcut or an access key, and the
// buttons with an access key.
std::vector<ShortcutRow> CollectShortcuts(const QMainWindow& window);
// Another window's access keys, under its title: its buttons and boxes, the labels that lead to a
// control, the tabs of its pages.
std::vector<ShortcutRow> CollectWindowKeys(const QWidget& window);
// A key of the yard as the list names it.
QString YardKeyName(const QKeySequence& key);
// The keys of the yard when it has the keyboard, from the table it answers by.
std::vector<ShortcutRow> YardShortcuts(const ITexts& texts);

class frmShortcuts : public QDialog {
 public:
  // `others`: the other windows of the game, made for the list and not shown.
  frmShortcuts(QWidget* parent, const QMainWindow& window, const National& texts,
               const std::vector<const QWidget*>& others = {});

 private:
  QTableWidget* lstKeys = nullptr;
};

}  // namespace kelvara::qt
