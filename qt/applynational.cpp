#include "qt/applynational.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QSet>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/number.h"
#include "services/national.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A caption number: the whole text a number, as the old conversion demanded; nothing otherwise.
std::optional<int> Number(const QVariant& v) {
  if (!v.isValid()) return std::nullopt;
  const std::string text = v.toString().toStdString();
  bool whole = false;
  const std::int32_t n = LeadingInt32(text, &whole);
  if (!whole) return std::nullopt;
  return n;
}

QString TypeName(QObject* o) {
  if (const QVariant t = o->property("ControlType"); t.isValid()) return t.toString();
  if (qobject_cast<QAction*>(o)) return "Menu";
  if (qobject_cast<QPushButton*>(o)) return "CommandButton";
  if (qobject_cast<QLabel*>(o)) return "Label";
  if (qobject_cast<QTabBar*>(o)) return "TabStrip";
  if (qobject_cast<QStatusBar*>(o)) return "StatusBar";
  if (qobject_cast<QComboBox*>(o)) return "ComboBox";
  if (qobject_cast<QTimer*>(o)) return "Timer";
  return "Other";
}

void SetCaption(QObject* o, const QString& text) {
  if (auto* a = qobject_cast<QAction*>(o)) {
    a->setText(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    b->setText(text);
  } else if (auto* l = qobject_cast<QLabel*>(o)) {
    l->setText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
    g->setTitle(text);
  }
}

void SetToolTip(QObject* o, const QString& text) {
  if (auto* a = qobject_cast<QAction*>(o)) {
    a->setToolTip(text);
  } else if (auto* w = qobject_cast<QWidget*>(o)) {
    w->setToolTip(text);
  }
}

void Apply(QObject* o, const National& texts) {
  const QString type = TypeName(o);
  const auto tag = Number(o->property("Tag"));
  const auto tip = Number(o->property("ToolTipText"));
  auto caption = [&](int n) { return Q(texts.GetCaptionText(n)); };
  if (type == "Label" || type == "CommandButton") {
    if (tag) SetCaption(o, caption(*tag));
    if (tip && *tip > 0) SetToolTip(o, caption(*tip));
  } else if (type == "Menu") {
    if (tag) SetCaption(o, caption(*tag));
  } else if (type == "TabStrip") {
    auto* bar = qobject_cast<QTabBar*>(o);
    const QStringList tags = o->property("TabTags").toStringList();
    const QStringList tips = o->property("TabToolTips").toStringList();
    for (int i = 0; bar != nullptr && i < bar->count(); ++i) {
      if (const auto n = i < tags.size() ? Number(tags[i]) : std::nullopt) bar->setTabText(i, caption(*n));
      if (const auto n = i < tips.size() ? Number(tips[i]) : std::nullopt) bar->setTabToolTip(i, caption(*n));
    }
  } else if (type == "StatusBar") {
    for (QLabel* panel : o->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (const auto n = Number(panel->property("Tag"))) panel->setText(caption(*n));
      if (const auto n = Number(panel->property("ToolTipText"))) panel->setToolTip(caption(*n));
    }
  } else if (type == "PictureBox" || type == "ComboBox" || type == "Timer" || type == "Line" || type == "Image") {
    if (tip && *tip >= 1) SetToolTip(o, caption(*tip));
  } else {
    if (tag && *tag > 0) SetCaption(o, caption(*tag));
    if (tip && *tip >= 1) SetToolTip(o, caption(*tip));
  }
}

// Every control of the window in the order it was made, menus and their items included.
void Walk(QObject* parent, const std::function<void(QObject*)>& visit) {
  for (QObject* child : parent->children()) {
    visit(child);
    Walk(child, visit);
  }
}

}  // namespace

QFont GameFont(const QString& family) {
  static const std::pair<QString, QStringList> kKinds[] = {
      {QStringLiteral("ＭＳ Ｐゴシック"), {"VL PGothic", "VL Gothic", "Noto Sans CJK JP", "IPAPGothic", "TakaoPGothic"}},
      {QStringLiteral("Arial"), {"Liberation Sans", "DejaVu Sans", "Noto Sans", "FreeSans"}},
      {QString::fromLatin1(kFixedFont), {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "VL Gothic"}},
  };
  static QHash<QString, QString> installed;  // asked once per name: the answer needs the font list
  auto it = installed.find(family);
  if (it == installed.end()) {
    QString name = family;
    for (const auto& [named, candidates] : kKinds) {
      if (named.compare(family, Qt::CaseInsensitive) != 0 || QFontDatabase::hasFamily(family)) continue;
      for (const QString& c : candidates) {
        if (QFontDatabase::hasFamily(c)) {
          name = c;
          break;
        }
      }
    }
    it = installed.insert(family, name);
  }
  QFont font(*it);
  if (*it == family && family.compare(QString::fromLatin1(kFixedFont), Qt::CaseInsensitive) == 0) {
    font.setStyleHint(QFont::TypeWriter);  // none of the fixed fonts: at least a fixed-width one
  }
  return font;
}

void SetTag(QObject* control, const QString& tag, const QString& toolTip) {
  control->setProperty("Tag", tag);
  if (!toolTip.isEmpty()) control->setProperty("ToolTipText", toolTip);
}

void ApplyNational(QWidget& window, const National& texts) {
  if (const auto n = Number(window.property("Tag"))) window.setWindowTitle(Q(texts.GetCaptionText(*n)));
  QFont font = GameFont(Q(texts.GetCaptionText(1)));
  bool whole = false;
  const int size = LeadingInt32(texts.GetCaptionText(2), &whole);
  if (whole && size > 0) font.setPointSize(size);
  window.setFont(font);
  Walk(&window, [&](QObject* o) {
    if (auto* w = qobject_cast<QWidget*>(o); w != nullptr && !w->property("KeepFont").toBool()) w->setFont(font);
    Apply(o, texts);
  });
  // A text box with no label of its own is named for a screen reader by its window's title.
  QSet<const QWidget*> labelled;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) labelled.insert(label->buddy());
  }
  // A key of one letter says what it does as well: "C" is "C: pull out".
  for (QAbstractButton* key : window.findChildren<QAbstractButton*>()) {
    const QString letter = QString(key->text()).remove('&');
    if (letter.size() <= 2 && !letter.isEmpty() && !key->toolTip().isEmpty() && key->accessibleName().isEmpty()) {
      key->setAccessibleName(letter + ": " + key->toolTip());
    }
  }
  for (QWidget* box : window.findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(box) == nullptr && qobject_cast<QPlainTextEdit*>(box) == nullptr) continue;
    if (!box->accessibleName().isEmpty() || labelled.contains(box) || qobject_cast<QComboBox*>(box->parentWidget())) continue;
    box->setAccessibleName(box->toolTip().isEmpty() ? window.windowTitle() : box->toolTip());
  }
}

}  // namespace kelvara::qt
