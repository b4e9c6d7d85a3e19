#include "qt/frmoneinput.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "qt/applynational.h"

namespace kelvara::qt {

frmOneInput::frmOneInput(QWidget* parent, std::function<void()> help) : QDialog(parent) {
  setObjectName("frmOneInput");
  setProperty("Tag", "110");
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(4);
  txtSousa = new QLineEdit(this);
  txtSousa->setObjectName("txtSousa");
  grid->addWidget(txtSousa, 0, 0, 1, 7);
  auto append = [this](const QString& s) {
    txtSousa->setText(txtSousa->text() + s);
    txtSousa->setFocus();
  };
  auto button = [this, grid](const QString& caption, const char* name, int row, int col, int span = 1) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (span == 1) b->setFixedWidth(44);  // one width for every key
    grid->addWidget(b, row, col, 1, span);
    return b;
  };
  // The keypad: "D" and 1 to 20, three even rows of seven.
  QPushButton* del = button("D", "cmdNum_0", 1, 0);
  SetTag(del, "", "113");
  connect(del, &QPushButton::clicked, this, [this] {
    QString t = txtSousa->text();
    t.chop(1);  // the last character, wherever the cursor stands
    txtSousa->setText(t);
  });
  for (int n = 1; n <= 20; ++n) {
    QPushButton* b = button(QString::number(n), QString("cmdNum_%1").arg(n).toLatin1().constData(), 1 + n / 7, n % 7);
    connect(b, &QPushButton::clicked, this, [append, n] { append(QString::number(n)); });
  }
  QPushButton* pull = button("&C", "cmdOperate_0", 4, 0);
  SetTag(pull, "", "111");
  connect(pull, &QPushButton::clicked, this, [append] { append("C"); });
  QPushButton* push = button("&P", "cmdOperate_1", 4, 1);
  SetTag(push, "", "112");
  connect(push, &QPushButton::clicked, this, [append] { append("P"); });
  QPushButton* helpButton = button("", "cmdHelp", 4, 2, 2);
  SetTag(helpButton, "114");
  connect(helpButton, &QPushButton::clicked, this, [help] { help(); });
  QPushButton* clear = button("", "cmdClear", 4, 4);
  SetTag(clear, "115");
  connect(clear, &QPushButton::clicked, txtSousa, &QLineEdit::clear);
  QPushButton* ok = button("&Ok", "cmdOk", 4, 5, 2);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  txtSousa->setFocus();
}

QString frmOneInput::Commands() const { return txtSousa->text().toUpper(); }

}  // namespace kelvara::qt
