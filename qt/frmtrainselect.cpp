#include "qt/frmtrainselect.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "qt/applynational.h"
#include "services/national.h"

namespace kelvara::qt {

frmTrainSelect::frmTrainSelect(QWidget* parent, const National& texts, const std::vector<std::string>& locoSets,
                               const std::vector<Train>& trains)
    : QDialog(parent), trains_(trains) {
  setObjectName("frmTrainSelect");
  setProperty("Tag", "100");  // its caption number, and the result until a button is pressed
  auto* grid = new QGridLayout(this);
  auto label = [&](int i, int text) {
    auto* l = new QLabel(QString::fromStdString(texts.Text(text)), this);
    l->setObjectName(QString("label1_%1").arg(i));
    grid->addWidget(l, i, 0);
    return l;
  };
  QLabel* locoLabel = label(0, 5230);
  QLabel* trainLabel = label(1, 5240);
  const QString automatic = QString::fromStdString(texts.Text(5750));
  cmbLoco = new QComboBox(this);
  cmbLoco->setObjectName("cmbLoco");
  for (const std::string& name : locoSets) cmbLoco->addItem(QString::fromStdString(name));
  cmbLoco->addItem(automatic);
  cmbTrd = new QComboBox(this);
  cmbTrd->setObjectName("cmbTrd");
  for (const Train& t : trains_) cmbTrd->addItem(QString::fromStdString(t.comment));
  cmbTrd->addItem(automatic);
  cmbLoco->setCurrentIndex(0);
  cmbTrd->setCurrentIndex(0);
  cmbLoco->setMinimumWidth(320);
  grid->addWidget(cmbLoco, 0, 1);
  grid->addWidget(cmbTrd, 1, 1);
  // Each named by its label, not by the choice it shows.
  locoLabel->setBuddy(cmbLoco);
  trainLabel->setBuddy(cmbTrd);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("&Ok", this);
  ok->setObjectName("cmdOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName("cmdCancel");
  SetTag(cancel, "75");
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 2, 0, 1, 2);
  connect(ok, &QPushButton::clicked, this, [this] {
    setProperty("Tag", "");
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    setProperty("Tag", "CANCEL");
    reject();
  });
  ApplyNational(*this, texts);
}

int frmTrainSelect::LocoChoice() const {
  const int i = cmbLoco->currentIndex();
  return i < 0 || i == cmbLoco->count() - 1 ? -1 : i;
}

std::string frmTrainSelect::TrainChoice() const {
  const int i = cmbTrd->currentIndex();
  return i < 0 || i >= static_cast<int>(trains_.size()) ? std::string() : trains_[static_cast<std::size_t>(i)].path;
}

}  // namespace kelvara::qt
