#include "qt/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace kelvara::qt {

namespace {

class AnnouncerAccessible : public QAccessibleWidget {
 public:
  explicit AnnouncerAccessible(Announcer* w) : QAccessibleWidget(w, QAccessible::Notification) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<Announcer*>(widget())->Last();
    return {};
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.invisible = false;  // one pixel, but there: what it says stands on the screen's record
    return s;
  }
};

QAccessibleInterface* AnnouncerFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("kelvara::qt::Announcer") && object->isWidgetType()) {
    return new AnnouncerAccessible(static_cast<Announcer*>(object));
  }
  return nullptr;
}

}  // namespace

void InstallAnnouncerAccess() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(AnnouncerFactory);
}

Announcer::Announcer(QWidget* parent, QWidget* source) : QWidget(parent), source_(source) {
  setObjectName("Announcer");
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  resize(1, 1);
  hide();  // shown with the first thing it says: a notification of nothing is no news
}

void Announcer::Say(const QString& text) {
  last_ = text;
  ++said_;
  if (isHidden()) {
    show();  // which says it, as a notification that shows itself
    return;
  }
  if (!QAccessible::isActive()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent announcement(source_, text);
  QAccessible::updateAccessibility(&announcement);
#else
  (void)source_;
  // A notification that shows itself is spoken, its name after its role.
  QAccessibleEvent name(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&name);
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
#endif
}

QString Sentences(const QStringList& parts) {
  QStringList out;
  for (const QString& part : parts) {
    const QString text = part.trimmed();
    if (text.isEmpty()) continue;
    if (!out.isEmpty() && !QStringLiteral(".!?:。！？").contains(out.back().back())) {
      out.back() += out.back().back().unicode() < 0x3000 ? QChar('.') : QChar(0x3002);
    }
    out << text;
  }
  return out.join(' ');
}

}  // namespace kelvara::qt
