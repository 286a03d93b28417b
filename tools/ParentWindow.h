// The window the system's data source manager insists on (DAT_PARENT) and that carries its messages.
// CMake picks the implementation: a hidden Win32 window, or nothing where there is no window system.
#pragma once

namespace scantool {

class ParentWindow {
public:
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    // The window handle as TW_HANDLE; a placeholder where there are no windows.
    void* handle() const { return m_handle; }
    // Dispatches the thread's pending window messages.
    void pump();

private:
    void* m_handle = nullptr;
};

} // namespace scantool
