// Game > Statistics: the games played, completed and derailed, the streaks, each train's best,
// and a chart of the last games' moves over the fewest possible; Reset forgets them all.
#pragma once

#include <QDialog>
#include <QWidget>
#include <functional>

#include "records/records.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kelvara {
class National;
class IMessageBox;
}  // namespace kelvara

namespace kelvara::qt {

// The last games as bars: how many moves each took, and a mark at the fewest possible.
class MovesChart : public QWidget {
  Q_OBJECT

 public:
  explicit MovesChart(QWidget* parent);
  void SetGames(std::vector<Statistics::Recent> games);
  const std::vector<Statistics::Recent>& games() const { return games_; }
  QSize sizeHint() const override { return {520, 180}; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::vector<Statistics::Recent> games_;
};

class frmStatistics : public QDialog {
  Q_OBJECT

 public:
  // `records` is null when none are kept: the window says so.
  frmStatistics(QWidget* parent, Records* records, const National& texts, IMessageBox& boxes);
  void Refresh();

  QLabel* lblSummary = nullptr;
  QTableWidget* lstTrains = nullptr;
  QTableWidget* lstQuizzes = nullptr;
  MovesChart* chart = nullptr;
  QPushButton* cmdReset = nullptr;
  QPushButton* cmdClose = nullptr;

 private:
  void Reset();

  Records* records_;
  const National& texts_;
  IMessageBox& boxes_;
};

}  // namespace kelvara::qt
