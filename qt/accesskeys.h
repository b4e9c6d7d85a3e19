// The access keys (Alt + the underlined letter) a window offers, and those that two of its
// controls claim at once: a key pressed then only moves between them and does neither.
#pragma once

#include <QChar>
#include <QString>
#include <vector>

class QWidget;

namespace kelvara::qt {

struct AccessKey {
  QString scope;    // the window's or the menu's object name: keys are unique within one scope
  QChar key;        // upper case
  QString control;  // the object name of the control, action or tab
  QString text;
};

// The letter after a single '&', upper case; none when the text has no access key.
QChar AccessKeyOf(const QString& text);

// Every access key of the window: its menu bar's top-level items, buttons, group boxes, labels
// with a buddy and tabs in one scope, and each menu of the menu bar (and its submenus) in a
// scope of its own.
std::vector<AccessKey> AccessKeys(const QWidget& window);

// The keys claimed twice within one scope, each clash as "scope: X (a, b)".
std::vector<QString> AccessKeyClashes(const QWidget& window);

}  // namespace kelvara::qt
