// A hidden top-level window: the system manager wants a window for MSG_OPENDSM, and the messages
// posted to it must be dispatched for its notifications to arrive.
#include "tools/ParentWindow.h"

#include <windows.h>

namespace scantool {

namespace {
const wchar_t kClassName[] = L"TarsinScanParent";

ATOM registerClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass);
}
} // namespace

ParentWindow::ParentWindow() {
    static const ATOM atom = registerClass();
    (void)atom;
    m_handle = CreateWindowW(kClassName, L"tarsin-scan", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
}

ParentWindow::~ParentWindow() {
    if (m_handle)
        DestroyWindow(static_cast<HWND>(m_handle));
}

void ParentWindow::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace scantool
