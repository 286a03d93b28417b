#include "MainWindow.h"

#include "Actions.h"
#include "ui_mainwindow.h"

#include <QMovie>

namespace {
const char kWaitingAnimation[] = ":images/image_rsc/logo/waiting.gif";
}

MainWindow::MainWindow(const std::string& applicationName, const std::string& packagePath, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), m_applicationName(applicationName),
      m_packagePath(packagePath) {
    ui->setupUi(this);
    setWindowTitle(tr("Installation"));
    // Title bar without a close button: closing the window must not abandon a running package.
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    ui->label_text->setText(tr("Installation in progress, please wait..."));

    // The label owns the movie's display, not the movie itself; parent it to the label.
    auto* movie = new QMovie(QString::fromLatin1(kWaitingAnimation), QByteArray(), ui->label_gif);
    ui->label_gif->setMovie(movie);
    movie->setCacheMode(QMovie::CacheAll);
    movie->setScaledSize(QSize(ui->label_gif->width(), ui->label_gif->height()));
    movie->start();
    ui->label_gif->show();

    // Emitted on the installer thread; queued so that close() runs on the GUI thread.
    connect(this, &MainWindow::closeWnd, this, &QWidget::close, Qt::QueuedConnection);

    if (!TSBase_OpenThread(&MainWindow::runInstaller, this, &m_installerThread)) {
        // No thread, no installation: report failure the same way a failed package would.
        m_succeeded = false;
        emit closeWnd();
    }
}

MainWindow::~MainWindow() {
    // The thread holds a pointer to this window; it must be gone before the members are.
    TSBase_CloseThread(m_installerThread);
    m_installerThread = nullptr;
}

void MainWindow::runInstaller(void*, void* window) {
    auto* self = static_cast<MainWindow*>(window);
    self->m_succeeded = upgrade::runPackage(self->m_packagePath);
    emit self->closeWnd();
}
