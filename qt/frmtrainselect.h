// Choosing the locomotive set and the train by hand.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace kelvara {
class National;
}

namespace kelvara::qt {

class frmTrainSelect : public QDialog {
  Q_OBJECT

 public:
  struct Train {
    std::string path;
    std::string comment;
  };
  // Each list ends with "Auto Select".
  frmTrainSelect(QWidget* parent, const National& texts, const std::vector<std::string>& locoSets,
                 const std::vector<Train>& trains);

  // What was chosen: a set, or -1 for "Auto Select"; a train file, or "" for "Auto Select".
  int LocoChoice() const;
  std::string TrainChoice() const;
  // "" after OK, "CANCEL" after Cancel, "100" while neither was pressed.
  QString Result() const { return property("Tag").toString(); }

  QComboBox* cmbLoco = nullptr;
  QComboBox* cmbTrd = nullptr;

 private:
  std::vector<Train> trains_;
};

}  // namespace kelvara::qt
