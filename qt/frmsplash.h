// The splash window of start-up: who made the game, for which platform, which version.
#pragma once

#include <QDialog>

namespace kelvara::qt {

struct SplashTexts {
  QString company, brand, copyright, platform, productName, version;
};

class frmSplash : public QDialog {
  Q_OBJECT

 public:
  frmSplash(const QIcon& icon, const SplashTexts& texts, QWidget* parent = nullptr);

 signals:
  // The player closed it with a key or a click.
  void closedByPlayer();

 protected:
  // Any key, or a click anywhere on it, closes it.
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace kelvara::qt
