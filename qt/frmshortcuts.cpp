#include "qt/frmshortcuts.h"

#include <QAbstractButton>
#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "qt/yardview.h"

namespace kelvara::qt {

namespace {

// The letter after the single "&" of a caption, upper-cased; empty for none.
QString AccessKey(const QString& caption) {
  for (int i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return caption[i + 1].toUpper();
  }
  return {};
}

QString Plain(QString caption) {
  if (const int open = caption.indexOf("(&"); open >= 0) caption.truncate(open);
  caption.remove('&');
  return caption.trimmed();
}

}  // namespace

std::vector<ShortcutRow> CollectShortcuts(const QMainWindow& window) {
  std::vector<ShortcutRow> rows;
  const QString alt = QKeySequence(Qt::ALT).toString(QKeySequence::NativeText);
  for (QAction* top : window.menuBar()->actions()) {
    QMenu* menu = top->menu();
    if (menu == nullptr || !top->isVisible()) continue;
    const QString menuKey = AccessKey(top->text());
    for (QAction* item : menu->actions()) {
      if (item->isSeparator() || !item->isVisible() || item->menu() != nullptr) continue;
      QStringList keys;
      for (const QKeySequence& k : item->shortcuts()) keys << k.toString(QKeySequence::NativeText);
      const QString key = AccessKey(item->text());
      if (!key.isEmpty() && !menuKey.isEmpty()) keys << alt + menuKey + ", " + key;
      if (!keys.isEmpty()) rows.push_back({Plain(top->text()), Plain(item->text()), keys.join("   ")});
    }
  }
  const QString title = window.windowTitle();
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->window() != &window || !button->isVisible()) continue;
    const QString key = AccessKey(button->text());
    if (!key.isEmpty()) rows.push_back({title, Plain(button->text()), alt + key});
  }
  return rows;
}

std::vector<ShortcutRow> CollectWindowKeys(const QWidget& window) {
  std::vector<ShortcutRow> rows;
  const QString alt = QKeySequence(Qt::ALT).toString(QKeySequence::NativeText);
  const QString title = window.windowTitle();
  auto add = [&](const QString& caption) {
    const QString key = AccessKey(caption);
    if (!key.isEmpty()) rows.push_back({title, Plain(caption), alt + key});
  };
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&window)) continue;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) add(button->text());
    if (const auto* label = qobject_cast<const QLabel*>(w); label != nullptr && label->buddy() != nullptr) add(label->text());
    if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
    }
  }
  return rows;
}

QString YardKeyName(const QKeySequence& key) {
  // The arrows as arrows; the others as printed on the keys (Qt's Japanese translation calls
  // Backspace "Backspae").
  const Qt::Key k = key[0].key();
  const bool arrow = k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down;
  return key.toString(arrow ? QKeySequence::NativeText : QKeySequence::PortableText);
}

std::vector<ShortcutRow> YardShortcuts(const ITexts& texts) {
  std::vector<ShortcutRow> rows;
  const QString place = QString::fromStdString(texts.Text(7500));
  for (const YardKey& key : YardKeys()) {
    const QString command = QString::fromStdString(texts.Text(key.text));
    QStringList keys;
    if (key.action == YardKeyAction::Digit) {
      keys << YardKeyName(key.keys.front()) + QStringLiteral(" \u2013 ") + YardKeyName(key.keys.back());
    } else {
      for (const QKeySequence& k : key.keys) keys << YardKeyName(k);
    }
    // Keys that do the same, such as Left and Right, share a row.
    if (!rows.empty() && rows.back().command == command) {
      rows.back().keys += "   " + keys.join("   ");
    } else {
      rows.push_back({place, command, keys.join("   ")});
    }
  }
  return rows;
}

frmShortcuts::frmShortcuts(QWidget* parent, const QMainWindow& window, const National& texts,
                           const std::vector<const QWidget*>& others)
    : QDialog(parent) {
  auto Q = [](const std::string& s) { return QString::fromStdString(s); };
  setObjectName("frmShortcuts");
  setWindowTitle(Q(texts.Text(7400)));
  auto* layout = new QVBoxLayout(this);
  std::vector<ShortcutRow> rows = CollectShortcuts(window);
  for (ShortcutRow& row : YardShortcuts(texts)) rows.push_back(std::move(row));
  for (const QWidget* other : others) {
    for (ShortcutRow& row : CollectWindowKeys(*other)) rows.push_back(std::move(row));
  }
  lstKeys = new QTableWidget(static_cast<int>(rows.size()), 3, this);
  lstKeys->setObjectName("lstKeys");
  lstKeys->setHorizontalHeaderLabels({Q(texts.Text(7410)), Q(texts.Text(7420)), Q(texts.Text(7430))});
  lstKeys->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstKeys->setTabKeyNavigation(false);  // Tab goes on to Close; the arrows move in the table
  lstKeys->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstKeys->verticalHeader()->hide();
  // The keys are read whole: their column as wide as its widest cell, the command column takes
  // what is left.
  lstKeys->horizontalHeader()->setStretchLastSection(false);
  lstKeys->setAccessibleName(Q(texts.Text(7400)));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const ShortcutRow& row = rows[static_cast<std::size_t>(r)];
    lstKeys->setItem(r, 0, new QTableWidgetItem(row.place));
    lstKeys->setItem(r, 1, new QTableWidgetItem(row.command));
    lstKeys->setItem(r, 2, new QTableWidgetItem(row.keys));
  }
  lstKeys->resizeColumnsToContents();
  lstKeys->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  lstKeys->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  layout->addWidget(lstKeys, 1);
  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(Q(texts.Text(6200)), this);
  close->setObjectName("cmdClose");
  close->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  // As wide as the three columns need, within the screen.
  int wide = lstKeys->verticalScrollBar()->sizeHint().width() + 2 * lstKeys->frameWidth() + 40;
  for (int c = 0; c < 3; ++c) wide += lstKeys->horizontalHeader()->sectionSizeHint(c) > 0 ? lstKeys->columnWidth(c) : 0;
  const QRect area = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
  resize(std::clamp(wide, 560, area.width() - 40), std::min(560, area.height() - 80));
  close->setFocus();
}

}  // namespace kelvara::qt
