#include "qt/qtcontrols.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

void QtControls::Register(const std::string& name, QObject* object) {
  object->setObjectName(QString::fromStdString(name));
  controls_.emplace_back(name, object);
}

QObject* QtControls::Find(std::string_view name) const {
  for (const auto& [n, object] : controls_) {
    if (n == name) return object;
  }
  return nullptr;
}

bool QtControls::IsEnabled(std::string_view name) const {
  QObject* object = Find(name);
  if (auto* a = qobject_cast<QAction*>(object)) return a->isEnabled();
  if (auto* w = qobject_cast<QWidget*>(object)) return w->isEnabled();
  if (auto* t = qobject_cast<QTimer*>(object)) return t->isActive();
  return false;
}

void QtControls::SetCondition(const std::string& name, std::function<bool()> allowed) {
  conditions_[name] = std::move(allowed);
}

void QtControls::SetEnabled(std::string_view name, bool on) {
  QObject* object = Find(name);
  if (const auto c = conditions_.find(name); on && c != conditions_.end() && c->second) on = c->second();
  if (auto* a = qobject_cast<QAction*>(object)) a->setEnabled(on);
  if (auto* t = qobject_cast<QTimer*>(object); t != nullptr && t->isActive() != on) on ? t->start() : t->stop();
  auto* w = qobject_cast<QWidget*>(object);
  if (w == nullptr || w->isEnabled() == on) return;
  // A control switched off while a command runs gives the keyboard focus back when it is
  // switched on again, unless the focus went somewhere meanwhile or the game asked for it.
  const bool parking = !on && w->hasFocus();
  // The focus parked here on its way from a control switched off before is still the other's.
  if (parking && !(parkedFocus_ && w == focusMovedTo_)) parkedFocus_ = w;
  w->setEnabled(on);
  // Qt hands the focus of a control switched off to the next one; that is no choice of the
  // player's, and the focus comes back from there too.
  if (parking) focusMovedTo_ = QApplication::focusWidget();
  if (on && w == focusWanted_) {
    w->setFocus();
    focusWanted_ = nullptr;
  } else if (on && w == parkedFocus_ && focusWanted_ == nullptr) {
    const QWidget* now = QApplication::focusWidget();
    if (now == nullptr || now->window() != &window_ || !now->isEnabled() || now == focusMovedTo_) w->setFocus();
    parkedFocus_ = nullptr;
    focusMovedTo_ = nullptr;
  }
}

void QtControls::SetVisible(std::string_view name, bool on) {
  QObject* object = Find(name);
  if (auto* a = qobject_cast<QAction*>(object)) a->setVisible(on);
  if (auto* w = qobject_cast<QWidget*>(object)) w->setVisible(on);
}

std::string QtControls::Text(std::string_view name) const {
  QObject* object = Find(name);
  if (auto* box = qobject_cast<QComboBox*>(object)) return S(box->currentText());
  if (auto* label = qobject_cast<QLabel*>(object)) return S(label->text());
  return {};
}

void QtControls::SetText(std::string_view name, std::string_view text) {
  QObject* object = Find(name);
  if (auto* box = qobject_cast<QComboBox*>(object)) box->setEditText(Q(text));
  if (auto* label = qobject_cast<QLabel*>(object)) label->setText(Q(text).replace("\r\n", "\n"));
}

void QtControls::SetFocus(std::string_view name) {
  auto* w = qobject_cast<QWidget*>(Find(name));
  if (w == nullptr) return;
  // Asked for while the command still runs, the control is off: it takes the focus when it is on.
  if (w->isEnabled()) {
    w->setFocus();
  } else {
    focusWanted_ = w;
  }
}

QLabel* QtStatusBar::Label(const QString& key) const {
  for (const auto& [k, label] : panels_) {
    if (k == key) return label;
  }
  return nullptr;
}

void QtStatusBar::SetPanel(std::string_view key, std::string_view text) {
  QLabel* label = Label(Q(key));
  if (label == nullptr) return;
  if (auto* line = qobject_cast<OneLineLabel*>(label)) {
    line->SetFull(Q(text));
  } else {
    label->setText(Q(text));
  }
  // A number alone says nothing to a screen reader: "Pulls: 3".
  const QString caption = label->property("Caption").toString();
  if (!caption.isEmpty()) label->setAccessibleName(caption + ": " + Q(text));
}

std::string QtStatusBar::Panel(std::string_view key) const {
  const QLabel* label = Label(Q(key));
  if (const auto* line = qobject_cast<const OneLineLabel*>(label)) return S(line->Full());
  return label == nullptr ? std::string() : S(label->text());
}

void OneLineLabel::SetFull(const QString& text) {
  full_ = text;
  line_ = text;
  line_.replace("\r\n", "\n");
  line_.replace(QLatin1Char('\n'), QStringLiteral("  ·  "));
  setAccessibleName(line_);
  Fit();
}

void OneLineLabel::Fit() {
  setText(fontMetrics().elidedText(line_, Qt::ElideRight, std::max(width() - 2 * margin() - 4, 8)));
  setToolTip(text() == line_ ? QString() : line_);
}

void OneLineLabel::resizeEvent(QResizeEvent* e) {
  QLabel::resizeEvent(e);
  Fit();
}

// The panel takes the width the bar gives it, never more because of a long text.
QSize OneLineLabel::minimumSizeHint() const { return {minimumWidth(), QLabel::minimumSizeHint().height()}; }
QSize OneLineLabel::sizeHint() const { return {minimumWidth(), QLabel::sizeHint().height()}; }

}  // namespace kelvara::qt
