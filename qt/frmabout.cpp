#include "qt/frmabout.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/ports.h"
#include "base/product.h"
#include "data/mylib.h"
#include "qt/applynational.h"
#include "services/national.h"
#include "services/possition.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

frmAbout::frmAbout(QWidget* parent, const National& texts, IMessageBox& msg) : QDialog(parent), texts_(texts), msg_(msg) {
  setObjectName("frmAbout");
  const std::string title = texts.GetCaptionText(0).empty() ? kProductName : texts.GetCaptionText(0);
  auto* outer = new QHBoxLayout(this);
  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  icon->setProperty("ControlType", "PictureBox");
  if (parent != nullptr) icon->setPixmap(parent->windowIcon().pixmap(64, 64));
  outer->addWidget(icon, 0, Qt::AlignTop);
  auto* column = new QVBoxLayout;
  outer->addLayout(column);
  auto label = [&](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->installEventFilter(this);
    column->addWidget(l);
    return l;
  };
  lblFullTitle = label("lblFullTitle", kFileDescription);
  lblProductName = label("lblProductName", kProductName);
  lblProductName->setProperty("KeepFont", true);
  lblVersion = label("lblVersion", Q(MyLibClass::GetVersionString()));
  txtCredit = new QPlainTextEdit(this);
  txtCredit->setObjectName("txtCredit");
  txtCredit->setReadOnly(true);
  txtCredit->setPlainText(Q(GetCompanyName(texts) + "\n" + kLegalNotice + "\n" + texts.Fixed(4) + "\n" + texts.Fixed(3)));
  txtCredit->viewport()->installEventFilter(this);
  txtCredit->installEventFilter(this);
  txtCredit->setFixedHeight(txtCredit->fontMetrics().lineSpacing() * 5);
  column->addWidget(txtCredit);
  auto* buttons = new QHBoxLayout;
  auto* question = new QPushButton(this);
  question->setObjectName("cmdQuestionForm");
  SetTag(question, "4");
  auto* ok = new QPushButton("&Ok", this);
  ok->setObjectName("cmdOk");
  ok->setDefault(true);
  ok->setFocus();
  buttons->addWidget(question);
  buttons->addStretch();
  buttons->addWidget(ok);
  column->addLayout(buttons);
  connect(question, &QPushButton::clicked, this, &frmAbout::QuestionForm);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ApplyNational(*this, texts);
  QFont big = font();
  big.setPointSize(36);
  lblProductName->setFont(big);
  setWindowTitle(Q(title + " " + texts.GetCaptionText(27)));
  txtCredit->setAccessibleName(windowTitle());
  // Wide enough for its title bar to show the whole title.
  setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 140);
  adjustSize();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* e) {
  const bool credit = txtCredit != nullptr && (watched == txtCredit || watched == txtCredit->viewport());
  // The credits cannot be typed into; Escape, Tab and the keys that select still work.
  if (credit && e->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(e)->text();
    return !text.isEmpty() && text.at(0).isPrint();
  }
  if (e->type() != QEvent::MouseButtonDblClick) return false;
  if (watched == lblFullTitle || watched == lblProductName) {
    msg_.Show(texts_.GetMessageText(1), MsgButtons::Ok, MsgIcon::None, {});
  } else if (watched == lblVersion) {
    char revision[16];
    std::snprintf(revision, sizeof revision, "%04d", kVersionRevision);
    msg_.Show(std::string("Revision=") + revision, MsgButtons::Ok, MsgIcon::Information, {});
  } else if (credit) {
    msg_.Show(texts_.GetMessageText(2), MsgButtons::Ok, MsgIcon::None, {});
  } else {
    return false;
  }
  return true;
}

QString frmAbout::QuestionText() const {
  const std::string pn = kProductName;
  auto m = [this](int n) { return texts_.GetMessageText(n); };
  std::string text;
  auto line = [&](const std::string& s) { text += s + "\r\n"; };
  line("SUB:" + pn + " " + m(4));
  line("TO:" + texts_.Fixed(4));
  line(m(5) + ":");
  line(m(6) + ":");
  line(pn + m(7) + ": Ver" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
       std::to_string(kVersionRevision));
  line(m(8) + ":");
  line("");
  line(m(9) + ":");
  line("");
  line("");
  return Q(text);
}

void frmAbout::QuestionForm() {
  if (msg_.Show(std::string(kProductName) + texts_.GetMessageText(3), MsgButtons::YesNo, MsgIcon::Information, {}) !=
      MsgAnswer::Yes) {
    return;
  }
  const QString text = QuestionText();
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->setText(text);
  clipboard->clear();
  clipboard->setText(text);
  if (clipboard->text() != text) msg_.Show("Don't copy", MsgButtons::Ok, MsgIcon::Exclamation, {});
}

void frmAbout::SetFormCenter(const QRect& main, const QRect& screen) {
  // Kept on the main window's screen, wherever that screen stands on the desktop.
  auto place = [](int mainStart, int mainSize, int own, int screenStart, int screenSize) {
    int v = mainStart + (mainSize - own) / 2;
    if (v < screenStart) return screenStart;
    if (v + own > screenStart + screenSize) v = screenStart + screenSize - own;
    return v;
  };
  move(place(main.left(), main.width(), width(), screen.left(), screen.width()),
       place(main.top(), main.height(), height(), screen.top(), screen.height()));
}

}  // namespace kelvara::qt
