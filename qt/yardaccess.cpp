#include "qt/yardaccess.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <array>
#include <map>

#include "base/ports.h"
#include "model/game.h"
#include "qt/yardview.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Text(const YardView& view, int id) { return view.Texts() != nullptr ? Q(view.Texts()->Text(id)) : QString(); }

QString Filled(const YardView& view, int id, const QString& one, const QString& two = {}) {
  return view.Texts() != nullptr ? Q(Fill(view.Texts()->Text(id), one.toStdString(), two.toStdString())) : one + " " + two;
}

}  // namespace

QString LineName(const ITexts& texts, int line) {
  return line == kHeadShunt ? Q(texts.Text(7510)) : Q(Fill(texts.Text(7520), std::to_string(line)));
}

QString SlotName(const YardView& view, int cell) {
  const QString slot = Q(view.SlotText(cell)).trimmed();
  if (slot.isEmpty() || slot == ".") return Text(view, 7530);
  if (slot.startsWith('L')) return Filled(view, 7550, slot.mid(1), QString::number(view.LocoUnits()));
  return Filled(view, 7540, slot);
}

QString SlotPlace(const ITexts& texts, int cell) {
  const int line = cell / kVisible, k = cell % kVisible;
  const std::string number = NumberGuide(line).substr(static_cast<std::size_t>(3 * k), 2);
  return Q(Fill(texts.Text(7570), LineName(texts, line).toStdString(), number));
}

QString CursorGuide(const YardView& view, int cell) {
  if (view.Texts() == nullptr || cell < 0 || cell >= kCells) return {};
  return Filled(view, 7560, SlotName(view, cell), SlotPlace(*view.Texts(), cell));
}

QString RouteName(const YardView& view) {
  const int line = view.Display(1) == Part::JunctionRoute2 ? 2 : 1;
  return Filled(view, 7590, view.Texts() != nullptr ? LineName(*view.Texts(), line) : QString::number(line));
}

QString SignName(const YardView& view, int sign) {
  if (sign == 0) {
    const Part shown = view.Display(2);
    const QString state = shown == Part::SignalLine1   ? Filled(view, 7630, "1")
                          : shown == Part::SignalLine2 ? Filled(view, 7630, "2")
                                                       : Text(view, 7620);
    return Filled(view, 7610, state);
  }
  const bool proceed = view.Display(2 + sign) == Part::ShuntProceed;
  return Filled(view, 7640, QString::number(sign), Text(view, proceed ? 7650 : 7620));
}

QString LineSummary(const YardView& view, int line) {
  if (view.Texts() == nullptr) return {};
  // Read from the junction end: the head shunt's is on the right, the sidings' on the left. A
  // siding's empty slots up to its car stopper are said too: they are how far it can push.
  const bool head = line == kHeadShunt;
  auto cellAt = [&](int i) { return line * kVisible + (head ? kVisible - 1 - i : i); };
  auto empty = [&](int i) { return Q(view.SlotText(cellAt(i))).trimmed() == "."; };
  int last = -1;
  for (int i = 0; i < kVisible; ++i) {
    if (!empty(i)) last = i;
  }
  if (last < 0) return {};
  const int end = head ? last : kVisible - 1;
  QStringList parts;
  int empties = 0;
  for (int i = 0; i <= end; ++i) {
    if (empty(i)) {
      ++empties;
      continue;
    }
    if (empties > 0) parts << Filled(view, 7580, QString::number(empties));
    empties = 0;
    parts << SlotName(view, cellAt(i));
  }
  if (empties > 0) parts << Filled(view, 7580, QString::number(empties));
  return Filled(view, 7670, LineName(*view.Texts(), line), parts.join(", "));
}

QString YardSummary(const YardView& view) {
  QStringList lines;
  for (int line = 0; line < kDumpLines; ++line) {
    const QString summary = LineSummary(view, line);
    if (!summary.isEmpty()) lines << summary;
  }
  return lines.join("; ");
}

// ---- the structure handed to assistive technology ------------------------------------------------

namespace {

class YardAccessible;

// One part of the yard that is not a widget of its own: a line, a slot, the route or a sign.
class PartAccessible : public QAccessibleInterface {
 public:
  PartAccessible(YardView* view, QAccessibleInterface* parent) : view_(view), parent_(parent) {}
  bool isValid() const override { return !view_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return parent_->window(); }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return parent_; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  // A rectangle of the design picture on the screen.
  QRect OnScreen(const QRect& design) const {
    if (view_.isNull()) return {};
    const double s = view_->Scale();
    const QRect local(qRound(design.x() * s), qRound(design.y() * s), qRound(design.width() * s),
                      qRound(design.height() * s));
    return QRect(view_->mapToGlobal(local.topLeft()), local.size());
  }
  QPointer<YardView> view_;
  QAccessibleInterface* parent_;
};

// A slot: named by what stands there; pressing it pulls out up to it, as Enter does on the yard.
class SlotAccessible : public PartAccessible, public QAccessibleActionInterface {
 public:
  SlotAccessible(YardView* view, QAccessibleInterface* parent, int cell) : PartAccessible(view, parent), cell_(cell) {}
  QString text(QAccessible::Text t) const override {
    if (view_.isNull()) return {};
    if (t == QAccessible::Name) return SlotName(*view_, cell_);
    if (t == QAccessible::Description && view_->Texts() != nullptr) return SlotPlace(*view_->Texts(), cell_);
    return {};
  }
  QRect rect() const override { return OnScreen(YardView::CellRect(cell_)); }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    if (!view_.isNull() && view_->Cursor() == cell_) {
      s.selected = true;
      s.focused = view_->hasFocus();
    }
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
  void doAction(const QString& name) override {
    if (view_.isNull()) return;
    if (name == setFocusAction() || name == pressAction()) {
      view_->setFocus(Qt::OtherFocusReason);
      view_->SetCursor(cell_);
    }
    if (name == pressAction()) emit view_->pullRequested(cell_);
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    return name == pressAction() ? QStringList{QKeySequence(Qt::Key_Return).toString(QKeySequence::NativeText)} : QStringList{};
  }

 private:
  int cell_;
};

// The route or a sign: a picture, named by what it shows. Not a label: a screen reader reads every
// label of a pane each time the pane takes the keyboard, and the signs are read when asked for.
class SignAccessible : public PartAccessible {
 public:
  SignAccessible(YardView* view, QAccessibleInterface* parent, int sign) : PartAccessible(view, parent), sign_(sign) {}
  QString text(QAccessible::Text t) const override {
    if (view_.isNull() || t != QAccessible::Name) return {};
    return sign_ < 0 ? RouteName(*view_) : SignName(*view_, sign_);
  }
  QRect rect() const override { return OnScreen(YardView::DisplayRect(sign_ < 0 ? 1 : sign_ + 2)); }
  QAccessible::Role role() const override { return QAccessible::Graphic; }
  QAccessible::State state() const override { return {}; }

 private:
  int sign_;  // -1 the route
};

// A line: the list of its 20 slots.
class LineAccessible : public PartAccessible {
 public:
  LineAccessible(YardView* view, QAccessibleInterface* parent, int line) : PartAccessible(view, parent), line_(line) {
    for (int k = 0; k < kVisible; ++k) {
      slots_[static_cast<std::size_t>(k)] =
          QAccessible::registerAccessibleInterface(new SlotAccessible(view, this, line * kVisible + k));
    }
  }
  ~LineAccessible() override {
    for (QAccessible::Id id : slots_) QAccessible::deleteAccessibleInterface(id);
  }
  QString text(QAccessible::Text t) const override {
    if (view_.isNull() || view_->Texts() == nullptr) return {};
    if (t == QAccessible::Name) return LineName(*view_->Texts(), line_);
    if (t == QAccessible::Description) return LineSummary(*view_, line_);
    return {};
  }
  QRect rect() const override {
    return OnScreen(YardView::CellRect(line_ * kVisible).united(YardView::CellRect(line_ * kVisible + kVisible - 1)));
  }
  QAccessible::Role role() const override { return QAccessible::List; }
  QAccessible::State state() const override { return {}; }
  int childCount() const override { return kVisible; }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < kVisible ? QAccessible::accessibleInterface(slots_[static_cast<std::size_t>(index)]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int k = 0; k < kVisible; ++k) {
      if (QAccessible::accessibleInterface(slots_[static_cast<std::size_t>(k)]) == child) return k;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int k = 0; k < kVisible; ++k) {
      QAccessibleInterface* slot = child(k);
      if (slot != nullptr && slot->rect().contains(x, y)) return slot;
    }
    return nullptr;
  }

 private:
  int line_;
  std::array<QAccessible::Id, kVisible> slots_{};
};

// The yard: lines 0 to 2, then the route and the three signs. Its description is what it last
// announced.
class YardAccessible : public QAccessibleWidget {
 public:
  explicit YardAccessible(YardView* view) : QAccessibleWidget(view, QAccessible::Pane) {
    for (int line = 0; line < kDumpLines; ++line) parts_.push_back(QAccessible::registerAccessibleInterface(new LineAccessible(view, this, line)));
    for (int sign = -1; sign < kSigns; ++sign) parts_.push_back(QAccessible::registerAccessibleInterface(new SignAccessible(view, this, sign)));
  }
  ~YardAccessible() override {
    for (QAccessible::Id id : parts_) QAccessible::deleteAccessibleInterface(id);
  }
  YardView* View() const { return static_cast<YardView*>(widget()); }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return Text(*View(), 7500);
    if (t == QAccessible::Description) return View()->Announcement().isEmpty() ? Text(*View(), 7780) : View()->Announcement();
    if (t == QAccessible::Help) return Text(*View(), 7780);
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return static_cast<int>(parts_.size()); }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < childCount() ? QAccessible::accessibleInterface(parts_[static_cast<std::size_t>(index)]) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (QAccessible::accessibleInterface(parts_[static_cast<std::size_t>(i)]) == child) return i;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int line = 0; line < kDumpLines; ++line) {
      if (QAccessibleInterface* slot = child(line)->childAt(x, y)) return slot;
    }
    return nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const int cell = View()->Cursor();
    if (!View()->hasFocus() || cell < 0) return nullptr;
    return child(cell / kVisible)->child(cell % kVisible);
  }
  QAccessibleInterface* Slot(int cell) const { return child(cell / kVisible)->child(cell % kVisible); }
  QAccessibleInterface* Sign(int index) const { return child(kDumpLines + index); }  // 0 the route

 private:
  std::vector<QAccessible::Id> parts_;
};

QAccessibleInterface* YardFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("kelvara::qt::YardView") && object != nullptr && object->isWidgetType()) {
    return new YardAccessible(static_cast<YardView*>(object));
  }
  return nullptr;
}

YardAccessible* Access(YardView& view) {
  if (!QAccessible::isActive()) return nullptr;
  return dynamic_cast<YardAccessible*>(QAccessible::queryAccessibleInterface(&view));
}

void Send(QAccessibleInterface* part, QAccessible::Event event) {
  if (part == nullptr) return;
  QAccessibleEvent e(part, event);
  QAccessible::updateAccessibility(&e);
}

}  // namespace

void InstallYardAccess() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(YardFactory);
}

void NotifySlots(YardView& view, const std::vector<int>& cells) {
  YardAccessible* yard = Access(view);
  if (yard == nullptr) return;
  std::array<bool, kDumpLines> lines{};
  for (int cell : cells) {
    Send(yard->Slot(cell), QAccessible::NameChanged);
    lines[static_cast<std::size_t>(cell / kVisible)] = true;
  }
  for (int line = 0; line < kDumpLines; ++line) {
    if (lines[static_cast<std::size_t>(line)]) Send(yard->child(line), QAccessible::DescriptionChanged);
  }
}

void NotifySigns(YardView& view) {
  YardAccessible* yard = Access(view);
  if (yard == nullptr) return;
  for (int i = 0; i <= kSigns; ++i) Send(yard->Sign(i), QAccessible::NameChanged);
}

void NotifyAnnouncement(YardView& view) {
  if (YardAccessible* yard = Access(view)) Send(yard, QAccessible::DescriptionChanged);
}

void NotifyCursor(YardView& view) {
  YardAccessible* yard = Access(view);
  if (yard == nullptr || view.Cursor() < 0) return;
  QAccessibleInterface* slot = yard->Slot(view.Cursor());
  Send(slot, QAccessible::Selection);
  if (view.hasFocus()) Send(slot, QAccessible::Focus);
}

}  // namespace kelvara::qt
