// What the game says to a screen reader that no control's own change says: the outcome of a
// move, a refusal, a hint, the quiz made, the completion, the departure run, the derailment.
// Qt from 6.8 carries such a message as an announcement of its own; before it, the message is a
// notification that shows itself, which Orca speaks whatever has the keyboard (a change of the
// yard's description it speaks only for the focused object, and Qt 6.4 sends that change without
// its text).
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace kelvara::qt {

class Announcer : public QWidget {
  Q_OBJECT

 public:
  // `source` is what the announcement is about (the yard): the announcement event of Qt 6.8
  // names it.
  Announcer(QWidget* parent, QWidget* source);
  void Say(const QString& text);
  const QString& Last() const { return last_; }
  int Said() const { return said_; }

 private:
  QWidget* source_;
  QString last_;
  int said_ = 0;
};

// Parts said one after another, each a sentence of its own so that a reader pauses between
// them: a part without closing punctuation gets a full stop ("." or "。").
QString Sentences(const QStringList& parts);

// The announcer's face to assistive technology: a notification whose name is what was said last.
void InstallAnnouncerAccess();

}  // namespace kelvara::qt
