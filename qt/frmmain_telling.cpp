// What the main window tells a screen reader of each command: the new quiz first, the guide,
// where everything stands now; and the guide's passing texts, which give way to the game's own.
#include "qt/announcer.h"
#include "qt/frmmain.h"
#include "qt/yardaccess.h"
#include "qt/yardview.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

bool frmMain::PlayAndTell(GameCommand command) {
  // A new quiz is told as such, and what was said of the game before is not read again meanwhile.
  const bool newQuiz = command == GameCommand::GameNewGame || command == GameCommand::GameReDisMakeUp ||
                       command == GameCommand::GameRestart || command == GameCommand::GameDaily;
  if (newQuiz && game_ && game_->Allows(command)) view_->ForgetAnnouncement();
  const int said = view_->Announcements();
  const bool done = Play(command);
  // What the guide said of the cursor or of the number typed is gone with the move that used it.
  if (done && !transientGuide_.isEmpty() && Q(status_.Panel("Msg")) == transientGuide_) status_.SetPanel("Msg", "");
  if (done) transientGuide_.clear();
  TellYard(done, said, newQuiz && done && game_->phase() == Phase::Playing ? Msg(7820) : std::string());
  return done;
}

void frmMain::SayInPassing(const QString& text) {
  // Never in place of a notice of the game's (the band a quiz could not be found for, the code of
  // today's quiz): those stay until a command replaces them.
  const QString now = Q(status_.Panel("Msg"));
  if (!now.isEmpty() && now != transientGuide_) return;
  transientGuide_ = text;
  status_.SetPanel("Msg", S(text));
}

void frmMain::TellYard(bool done, int said, const std::string& first) {
  if (!game_ || closing_) return;
  if (!done) {
    view_->Announce(Q(Msg(7660)));
    return;
  }
  // The completion window said its own words while the command ran.
  if (view_->Announcements() != said) return;
  if (game_->Derailed && game_->phase() == Phase::Derailed) {
    view_->Announce(Q(Msg(5610) + ": " + Msg(5620)));
    return;
  }
  QString guide = Q(status_.Panel("Msg"));
  if (guide == transientGuide_) guide.clear();
  view_->Announce(Sentences({Q(first), guide, YardSummary(*view_)}));
}

void frmMain::Say(const std::string& text) {
  status_.SetPanel("Msg", text);
  view_->Announce(Q(text));
}

}  // namespace kelvara::qt
