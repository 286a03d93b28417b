#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

class QMainWindow;

namespace upgrade::test {

// What a result message box looked like when it appeared.
struct SeenMessageBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;
    Qt::WindowFlags flags;
    bool hasParent = false;
};

// Watches for the result message box, records it, runs beforeClosing and then presses its
// button, so that the code under test never blocks on it.
class MessageBoxCloser : public QObject {
public:
    explicit MessageBoxCloser(std::function<void()> beforeClosing = {});
    const std::optional<SeenMessageBox>& seen() const { return m_seen; }
    int count() const { return m_count; }

private:
    void poll();

    std::function<void()> m_beforeClosing;
    std::optional<SeenMessageBox> m_seen;
    int m_count = 0;
    QTimer m_timer;
};

// Runs onShow when a progress window (a QMainWindow) is first shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(QMainWindow&)> onShow);
    ~ShowWatcher() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(QMainWindow&)> m_onShow;
};

} // namespace upgrade::test
