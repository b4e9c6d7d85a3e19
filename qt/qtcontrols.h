// The main window's named controls as the game reaches them: menu items, buttons, the number box,
// the message label and the play-time timer.
#pragma once

#include <functional>
#include <map>

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "base/ports.h"


namespace kelvara::qt {

class QtControls : public IControls {
 public:
  // The window the controls live in: focus that belongs elsewhere is left alone.
  explicit QtControls(QWidget& window) : window_(window) {}

  // A control under its name, in window order.
  void Register(const std::string& name, QObject* object);
  QObject* Find(std::string_view name) const;

  bool IsEnabled(std::string_view name) const override;
  void SetEnabled(std::string_view name, bool on) override;
  void SetVisible(std::string_view name, bool on) override;
  std::string Text(std::string_view name) const override;
  void SetText(std::string_view name, std::string_view text) override;
  void SetFocus(std::string_view name) override;

  const std::vector<std::pair<std::string, QObject*>>& All() const { return controls_; }

  // A condition of the desktop on top of the game's: while it says no, the control stays off
  // whatever the game switches it to (a window size the screen cannot hold).
  void SetCondition(const std::string& name, std::function<bool()> allowed);

 private:
  std::map<std::string, std::function<bool()>, std::less<>> conditions_;
  QWidget& window_;
  std::vector<std::pair<std::string, QObject*>> controls_;
  QPointer<QWidget> focusWanted_, parkedFocus_, focusMovedTo_;  // focus that waits for a control to be switched on
};

// The status bar's panels by key.
// A status-bar panel of one line whatever it is given: lines are joined, a text too long for the
// panel ends in "…", and the whole of it is the panel's tooltip and what a screen reader reads.
class OneLineLabel : public QLabel {
  Q_OBJECT

 public:
  explicit OneLineLabel(QWidget* parent) : QLabel(parent) {}
  void SetFull(const QString& text);
  const QString& Full() const { return full_; }
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void Fit();
  QString full_, line_;
};

class QtStatusBar : public IStatusBar {
 public:
  void Add(const QString& key, QLabel* panel) { panels_.emplace_back(key, panel); }
  QLabel* Label(const QString& key) const;
  void SetPanel(std::string_view key, std::string_view text) override;
  std::string Panel(std::string_view key) const override;

 private:
  std::vector<std::pair<QString, QLabel*>> panels_;
};

}  // namespace kelvara::qt
