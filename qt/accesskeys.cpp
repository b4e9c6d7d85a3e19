#include "qt/accesskeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QWidget>
#include <map>

namespace kelvara::qt {

QChar AccessKeyOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return text[i + 1].toUpper();
  }
  return {};
}

namespace {

void Add(std::vector<AccessKey>& out, const QString& scope, const QString& control, const QString& text) {
  if (const QChar key = AccessKeyOf(text); !key.isNull()) out.push_back({scope, key, control, text});
}

void AddMenu(std::vector<AccessKey>& out, const QMenu& menu) {
  for (QAction* a : menu.actions()) {
    if (a->isSeparator()) continue;
    Add(out, menu.objectName().isEmpty() ? menu.title() : menu.objectName(), a->objectName(), a->text());
    if (a->menu() != nullptr) AddMenu(out, *a->menu());
  }
}

}  // namespace

std::vector<AccessKey> AccessKeys(const QWidget& window) {
  std::vector<AccessKey> out;
  const QString scope = window.objectName();
  // Controls of a window of their own (a dialog the window owns) answer in that window only.
  auto inThisWindow = [&](const QWidget* w) { return w->window() == &window; };
  for (const QMenuBar* bar : window.findChildren<QMenuBar*>()) {
    if (!inThisWindow(bar)) continue;
    for (QAction* a : bar->actions()) {
      if (a->isSeparator()) continue;
      Add(out, scope, a->objectName(), a->text());
      if (a->menu() != nullptr) AddMenu(out, *a->menu());
    }
  }
  for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
    if (inThisWindow(b)) Add(out, scope, b->objectName(), b->text());
  }
  for (const QGroupBox* g : window.findChildren<QGroupBox*>()) {
    if (inThisWindow(g)) Add(out, scope, g->objectName(), g->title());
  }
  for (const QLabel* l : window.findChildren<QLabel*>()) {
    if (inThisWindow(l) && l->buddy() != nullptr) Add(out, scope, l->objectName(), l->text());
  }
  for (const QTabBar* t : window.findChildren<QTabBar*>()) {
    if (!inThisWindow(t)) continue;
    for (int i = 0; i < t->count(); ++i) Add(out, scope, QStringLiteral("%1[%2]").arg(t->objectName()).arg(i), t->tabText(i));
  }
  return out;
}

std::vector<QString> AccessKeyClashes(const QWidget& window) {
  std::map<std::pair<QString, QChar>, QStringList> claims;
  for (const AccessKey& k : AccessKeys(window)) claims[{k.scope, k.key}].push_back(k.control);
  std::vector<QString> out;
  for (const auto& [where, controls] : claims) {
    if (controls.size() > 1) out.push_back(QStringLiteral("%1: %2 (%3)").arg(where.first, where.second, controls.join(", ")));
  }
  return out;
}

}  // namespace kelvara::qt
