#include "Upgrade.h"

#include "Actions.h"
#include "MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>

#include <memory>

// Q_INIT_RESOURCE declares a function of the global namespace, so it must be used out here.
static void registerUpgradeResources() { Q_INIT_RESOURCE(resources); }
static void unregisterUpgradeResources() { Q_CLEANUP_RESOURCE(resources); }

namespace upgrade {
namespace {

const char kTranslation[] = ":translation/upgrade/Upgrade_zh_CN.qm";

void showResult(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, nullptr,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.button(QMessageBox::Ok)->setText(QObject::tr("yes"));
    box.exec();
}

void centreOnPrimaryScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    window.move((area.width() - window.width()) / 2, (area.height() - window.height()) / 2);
}

} // namespace

ResourceBundle::ResourceBundle() { registerUpgradeResources(); }
ResourceBundle::~ResourceBundle() { unregisterUpgradeResources(); }

void runUpgrade(const CommandLine& commandLine) {
    // The package replaces the application's files; they must not be in use.
    waitWhileApplicationRuns(commandLine.applicationName);

    // Chinese whatever the system language: the installers that start us are Chinese only.
    QTranslator translator; // removes itself from the application when destroyed
    if (translator.load(QString::fromLatin1(kTranslation)))
        QCoreApplication::installTranslator(&translator);

    auto window = std::make_unique<MainWindow>(commandLine.applicationName, commandLine.packagePath);
    centreOnPrimaryScreen(*window);
    window->show();
    QApplication::exec(); // ends when closeWnd has closed the last window

    if (window->succeeded()) {
        showResult(QMessageBox::Information, QObject::tr("tip"), QObject::tr("install succeed!"));
        restartApplication(commandLine.applicationName);
    } else {
        showResult(QMessageBox::Critical, QObject::tr("error"), QObject::tr("install failed!"));
    }
}

} // namespace upgrade
