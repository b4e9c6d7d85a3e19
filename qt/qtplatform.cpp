#include "qt/qtplatform.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QSettings>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "base/folders.h"
#include "base/platform.h"
#include "base/program.h"

namespace kelvara::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

QString QSettingsStore::FileName() {
  return QString::fromStdString(UserFolders().settings + "/" + ExeName() + "-places.conf");
}

std::string QSettingsStore::GetSetting(const std::string& app, const std::string& section, const std::string& key,
                                       const std::string& fallback) const {
  QSettings settings(FileName(), QSettings::IniFormat);
  settings.beginGroup(Q(app));
  settings.beginGroup(Q(section));
  return settings.value(Q(key), Q(fallback)).toString().toStdString();
}

void QSettingsStore::SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                                 const std::string& value) {
  // Where the window is cannot be known on Wayland (every window reads 0, 0 there): nothing is
  // kept, and the place kept from an X11 session stays for the next one.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  QSettings settings(FileName(), QSettings::IniFormat);
  settings.beginGroup(Q(app));
  settings.beginGroup(Q(section));
  settings.setValue(Q(key), Q(value));
  settings.sync();
  // Written with whatever the umask allows (0666 under umask 000): only its owner writes it.
  QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

void InstallQtPlatform() {
  Win32ApiClass::SetWorkAreaProvider([] {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return WorkArea{};
    const QRect r = screen->availableGeometry();
    return WorkArea{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  });
  SetFolderPicker([](const std::string& title, const std::string& start) {
    return QFileDialog::getExistingDirectory(nullptr, Q(title), Q(start), QFileDialog::ShowDirsOnly)
        .toStdString();
  });
}

bool UseQtTranslations(bool japanese) {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  if (!japanese) return true;
  auto t = std::make_unique<QTranslator>();
  if (!t->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  translator = t.release();
  QCoreApplication::installTranslator(translator);
  return true;
}

namespace {

int signalPipe[2] = {-1, -1};

// Only what is safe in a signal handler: one byte into the pipe the event loop watches.
void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminate(QWidget* window) {
  if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    window->close();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
}

}  // namespace kelvara::qt
