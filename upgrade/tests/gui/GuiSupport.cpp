#include "GuiSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>

namespace upgrade::test {

MessageBoxCloser::MessageBoxCloser(std::function<void()> beforeClosing)
    : m_beforeClosing(std::move(beforeClosing)) {
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxCloser::poll);
    m_timer.start(20);
}

void MessageBoxCloser::poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible())
            continue;
        SeenMessageBox seen;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.flags = box->windowFlags();
        seen.hasParent = box->parentWidget() != nullptr;
        m_seen = seen;
        ++m_count;
        if (m_beforeClosing)
            m_beforeClosing();
        box->buttons().first()->click();
        return;
    }
}

ShowWatcher::ShowWatcher(std::function<void(QMainWindow&)> onShow) : m_onShow(std::move(onShow)) {
    qApp->installEventFilter(this);
}

ShowWatcher::~ShowWatcher() { qApp->removeEventFilter(this); }

bool ShowWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show)
        if (auto* window = qobject_cast<QMainWindow*>(watched); window != nullptr && m_onShow) {
            auto onShow = std::move(m_onShow);
            m_onShow = nullptr;
            onShow(*window);
        }
    return QObject::eventFilter(watched, event);
}

} // namespace upgrade::test
