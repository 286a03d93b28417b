#pragma once

#include "OBBase/OBBase.h"

#include <QMainWindow>

#include <atomic>
#include <memory>
#include <string>

namespace Ui {
class MainWindow;
}

// The progress window of an upgrade. It owns the installer thread: the constructor starts it,
// the destructor joins it, and the window closes itself when the thread signals closeWnd.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(const std::string& applicationName, const std::string& packagePath, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Set by the installer thread before it emits closeWnd; read after the event loop has ended.
    bool succeeded() const { return m_succeeded.load(); }

signals:
    void closeWnd();

private:
    // Body of the installer thread (runs through OBBase, first argument unused).
    static void runInstaller(void* reserved, void* window);

    std::unique_ptr<Ui::MainWindow> ui;
    std::string m_applicationName;
    std::string m_packagePath;
    TSBase_Thread m_installerThread = nullptr;
    std::atomic<bool> m_succeeded{false};
};
