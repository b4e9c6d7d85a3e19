#include "qt/frmstatistics.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ports.h"
#include "services/national.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QColor kCompleted(0x3c, 0xb0, 0x4a), kDerailed(0xd0, 0x40, 0x30), kLeft(0x90, 0x90, 0x90), kFewest(0xf0, 0xc0, 0x20);

}  // namespace

MovesChart::MovesChart(QWidget* parent) : QWidget(parent) {
  setObjectName("chart");
  setMinimumSize(300, 120);
}

void MovesChart::SetGames(std::vector<Statistics::Recent> games) {
  games_ = std::move(games);
  update();
}

void MovesChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().base());
  const QRect area = rect().adjusted(28, 8, -8, -18);
  p.setPen(palette().text().color());
  p.drawLine(area.bottomLeft(), area.bottomRight());
  p.drawLine(area.bottomLeft(), area.topLeft());
  if (games_.empty()) return;
  int top = 1;
  for (const auto& g : games_) top = std::max({top, g.moves, g.fewest});
  p.drawText(QRect(0, area.top() - 6, 24, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(top));
  p.drawText(QRect(0, area.bottom() - 7, 24, 14), Qt::AlignRight | Qt::AlignVCenter, "0");
  const double slot = static_cast<double>(area.width()) / static_cast<double>(Records::kRecent);
  auto y = [&](int v) { return area.bottom() - static_cast<int>(static_cast<double>(area.height()) * v / top); };
  for (std::size_t i = 0; i < games_.size(); ++i) {
    const auto& g = games_[i];
    const int x = area.left() + static_cast<int>(slot * static_cast<double>(i)) + 1;
    const int w = std::max(1, static_cast<int>(slot) - 2);
    const QColor c = g.end == GameEnd::Completed ? kCompleted : g.end == GameEnd::Derailed ? kDerailed : kLeft;
    p.fillRect(QRect(QPoint(x, y(g.moves)), QPoint(x + w - 1, area.bottom() - 1)), c);
    if (g.fewest >= 0) p.fillRect(QRect(x - 1, y(g.fewest) - 1, w + 2, 3), kFewest);
  }
}

frmStatistics::frmStatistics(QWidget* parent, Records* records, const National& texts, IMessageBox& boxes)
    : QDialog(parent), records_(records), texts_(texts), boxes_(boxes) {
  setObjectName("frmStatistics");
  setWindowTitle(Q(texts.Text(6160)));
  auto* layout = new QVBoxLayout(this);
  lblSummary = new QLabel(this);
  lblSummary->setObjectName("lblSummary");
  lblSummary->setTextFormat(Qt::PlainText);
  lblSummary->setWordWrap(true);
  layout->addWidget(lblSummary);

  lstTrains = new QTableWidget(0, 5, this);
  lstTrains->setObjectName("lstTrains");
  lstTrains->setHorizontalHeaderLabels(
      {Q(texts.Text(6220)), Q(texts.Text(6230)), Q(texts.Text(6240)), Q(texts.Text(6250)), Q(texts.Text(6260))});
  lstTrains->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstTrains->setTabKeyNavigation(false);  // Tab goes on to the next control; the arrows move in the table
  lstTrains->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstTrains->verticalHeader()->hide();
  lstTrains->horizontalHeader()->setStretchLastSection(true);
  lstTrains->setAccessibleName(Q(texts.Text(6220)));
  layout->addWidget(lstTrains, 1);

  // The quizzes played by their codes: the most played first, with the best of each.
  lstQuizzes = new QTableWidget(0, 4, this);
  lstQuizzes->setObjectName("lstQuizzes");
  lstQuizzes->setHorizontalHeaderLabels(
      {Q(texts.Text(6220)), Q(texts.Text(6230)), Q(texts.Text(6250)), Q(texts.Text(7200))});
  lstQuizzes->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstQuizzes->setTabKeyNavigation(false);  // Tab goes on to the next control; the arrows move in the table
  lstQuizzes->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstQuizzes->verticalHeader()->hide();
  lstQuizzes->horizontalHeader()->setStretchLastSection(true);
  lstQuizzes->setAccessibleName(Q(texts.Text(7200)));
  layout->addWidget(lstQuizzes, 1);

  auto* chartTitle = new QLabel(Q(texts.Text(6270)), this);
  chartTitle->setObjectName("lblChart");
  layout->addWidget(chartTitle);
  chart = new MovesChart(this);
  chart->setAccessibleName(Q(texts.Text(6270)));
  chartTitle->setBuddy(chart);
  layout->addWidget(chart, 1);

  auto* buttons = new QHBoxLayout;
  cmdReset = new QPushButton(Q(texts.Text(6280)), this);
  cmdReset->setObjectName("cmdReset");
  cmdClose = new QPushButton(Q(texts.Text(6200)), this);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setDefault(true);
  buttons->addWidget(cmdReset);
  buttons->addStretch(1);
  buttons->addWidget(cmdClose);
  layout->addLayout(buttons);
  connect(cmdReset, &QPushButton::clicked, this, &frmStatistics::Reset);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
  resize(640, 640);
  // On a screen of 768 pixels the window keeps to what it has: the tables and the chart give.
  if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr) {
    resize(width(), std::min(height(), screen->availableGeometry().height() - 80));
  }
  Refresh();
  cmdClose->setFocus();  // Enter and Escape both close; the table is a Tab away
}

void frmStatistics::Refresh() {
  cmdReset->setEnabled(records_ != nullptr);
  if (records_ == nullptr) {
    lblSummary->setText(Q(texts_.Text(6140)));
    lstTrains->setRowCount(0);
    lstQuizzes->setRowCount(0);
    chart->SetGames({});
    return;
  }
  const Statistics s = records_->Stats();
  const QString summary = Q(texts_.Text(6170))
                              .arg(s.played)
                              .arg(s.completed)
                              .arg(s.derailed)
                              .arg(s.inFewest)
                              .arg(s.currentStreak)
                              .arg(s.longestStreak) +
                          "\n" + Q(texts_.Text(7300)).arg(s.dailyStreak).arg(s.dailyCompleted);
  lblSummary->setText(summary);
  lstTrains->setRowCount(static_cast<int>(s.trains.size()));
  for (int r = 0; r < static_cast<int>(s.trains.size()); ++r) {
    const TrainStats& t = s.trains[static_cast<std::size_t>(r)];
    const QString best = t.bestMoves < 0    ? QString("-")
                         : t.fewestAtBest < 0 ? QString::number(t.bestMoves)
                                              : QString("%1 (%2)").arg(t.bestMoves).arg(t.fewestAtBest);
    const QStringList cells = {Q(t.name.empty() ? t.train.file : t.name), QString::number(t.played), QString::number(t.completed), best,
                               t.bestMs < 0 ? QString("-") : Q(PlayedText(t.bestMs))};
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c == 0) item->setToolTip(Q(t.train.file));
      lstTrains->setItem(r, c, item);
    }
  }
  lstTrains->resizeColumnsToContents();
  lstQuizzes->setRowCount(static_cast<int>(s.quizzes.size()));
  for (int r = 0; r < static_cast<int>(s.quizzes.size()); ++r) {
    const Statistics::Quiz& q = s.quizzes[static_cast<std::size_t>(r)];
    const QString best = q.bestMoves < 0 ? QString("-")
                         : q.fewest < 0  ? QString::number(q.bestMoves)
                                         : QString("%1 (%2)").arg(q.bestMoves).arg(q.fewest);
    const QStringList cells = {Q(q.trainName), QString::number(q.played), best, Q(q.code)};
    for (int c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == 1 || c == 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      lstQuizzes->setItem(r, c, item);
    }
  }
  lstQuizzes->resizeColumnsToContents();
  chart->SetGames(s.recent);
  // The chart in words, for whoever cannot see it.
  int completed = 0, derailed = 0, inFewest = 0;
  for (const Statistics::Recent& g : s.recent) {
    completed += g.end == GameEnd::Completed;
    derailed += g.end == GameEnd::Derailed;
    inFewest += g.end == GameEnd::Completed && g.fewest >= 0 && g.moves <= g.fewest;
  }
  chart->setAccessibleDescription(Q(texts_.Text(7830))
                                      .arg(s.recent.size())
                                      .arg(completed)
                                      .arg(derailed)
                                      .arg(static_cast<int>(s.recent.size()) - completed - derailed)
                                      .arg(inFewest));
}

void frmStatistics::Reset() {
  if (records_ == nullptr) return;
  if (boxes_.Show(texts_.Text(6290), MsgButtons::YesNo, MsgIcon::Question, texts_.Text(6160)) != MsgAnswer::Yes) return;
  records_->Reset();
  Refresh();
}

}  // namespace kelvara::qt
