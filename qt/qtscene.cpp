#include "qt/qtscene.h"

#include <QCoreApplication>

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include "base/paths.h"
#include "base/platform.h"
#include "model/durations.h"
#include "model/game.h"
#include "qt/announcer.h"
#include "qt/applynational.h"
#include "qt/frmcomplete.h"
#include "qt/frmoneinput.h"
#include "qt/pictures.h"
#include "qt/windowplace.h"
#include "qt/yardview.h"
#include "scene/sceneview.h"
#include "services/national.h"
#include "services/possition.h"
#include "sound/midimci.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

void QtScene::DrawRefresh() {
  if (!p_.game) return;
  if (!p_.view->Show(ComputeScene(*p_.game), p_.settings.CarNumGuide, p_.settings.LookCarNumber)) {
    p_.clock.PumpOnce();
    return;
  }
  // Each picture of a move stays on the screen a frame's time before the next one replaces it,
  // so the player sees the units slide; an end-of-move redraw that changes nothing costs nothing.
  const std::uint32_t since = p_.clock.TickCount() - lastFrame_;
  if (lastFrame_ != 0 && since < static_cast<std::uint32_t>(durations::kStepFrame)) {
    p_.clock.Wait(durations::kStepFrame - static_cast<int>(since));
  }
  p_.view->repaint();
  lastFrame_ = p_.clock.TickCount();
  p_.clock.PumpOnce();
}

void QtScene::ShowSign(int state) {
  p_.view->SetSign(state);
  p_.view->repaint();
}

void QtScene::ShowCompleteWindow(std::string_view title, std::string_view detail) {
  auto* w = new frmComplete(&p_.main);
  w->setAttribute(Qt::WA_DeleteOnClose);
  w->lblTitle->setText(Q(title));
  w->SetDetail(Q(detail));
  // Named by what it says: a screen reader that looks at it reads the completion and its figures.
  const QString said = Sentences(QStringList{Q(title)} + Q(detail).replace("\r\n", "\n").split('\n'));
  w->setWindowTitle(Q(title));
  w->setAccessibleName(Q(title));
  w->setAccessibleDescription(said);
  w->move(p_.main.geometry().center() - QPoint(w->width() / 2, w->height() / 2));
  w->show();
  completeWindow_ = w;
  p_.view->Announce(said);
}

void QtScene::CloseCompleteWindow() {
  if (completeWindow_) completeWindow_->close();
}

void QtScene::AnimeView(bool visible) {
  std::vector<QPixmap> pictures;
  if (visible) {
    // Each car at full view height, decoded and scaled once per file, size and zoom: a coach
    // that stands ten times in the train, or a replay of the run, reuses the picture.
    const auto& paths = p_.game->AnimePictures;
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const AnimeRect& r = p_.game->gAnimeSrcRect[i];
      const QString key = Q(paths[i]) + QString("@%1x%2x%3").arg(r.Right).arg(r.Bottom).arg(p_.zoom);
      auto it = bigImages_.find(key);
      if (it == bigImages_.end()) {
        // In device pixels: the view draws them one to one on the screen.
        const QImage picture = LoadPicture(paths[i]);
        it = bigImages_.insert(key, picture.isNull() || r.Right <= 0
                                        ? QPixmap()
                                        : QPixmap::fromImage(picture.scaled(r.Right * p_.zoom, r.Bottom * p_.zoom,
                                                                            Qt::IgnoreAspectRatio,
                                                                            Qt::SmoothTransformation)));
        // A long train's pictures take a while to scale: the window answers between two.
        QCoreApplication::processEvents();
      }
      pictures.push_back(*it);
    }
  }
  p_.view->ShowRun(visible, std::move(pictures));
  // It lasts minutes on a slow machine: said as it begins, with the key that ends it, and as it
  // ends.
  p_.view->Mention(Q(p_.texts.Text(visible ? 7800 : 7810)));
}

void QtScene::RenderScene(const std::vector<int>& left, const std::vector<int>& width) { p_.view->RunFrame(left, width); }

std::optional<std::string> QtScene::OneInputConsole() {
  if (p_.console) return p_.console();
  frmOneInput console(&p_.main, [this] {
    std::string text;
    for (int id : {6300, 6310, 6320, 6330, 6340}) text += p_.texts.Text(id) + "\r\n";
    p_.boxes.Show(text + "\r\n" + p_.texts.Text(6350), MsgButtons::Ok, MsgIcon::Information, {});
  });
  ApplyNational(console, p_.texts);
  console.adjustSize();
  // Just below the main window, inside the work area of its screen.
  const QScreen* screen = p_.main.screen();
  PlaceInside(console, QRect(p_.main.x(), p_.main.y() + p_.main.frameGeometry().height(), console.width(), console.height()),
              100, 100, screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1920, 1080));
  if (console.exec() != QDialog::Accepted) return std::nullopt;
  return S(console.Commands());
}

void QtSound::Beep() { QApplication::beep(); }

void QtSound::StopSound() {
  if (midi_ && !closing_) midi_->StopSound();
}

}  // namespace kelvara::qt
