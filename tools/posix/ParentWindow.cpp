// Without a window system there is no parent window; the manager gets a placeholder it never uses.
#include "tools/ParentWindow.h"

namespace scantool {

namespace {
int g_placeholder = 0;
}

ParentWindow::ParentWindow() : m_handle(&g_placeholder) {}
ParentWindow::~ParentWindow() = default;
void ParentWindow::pump() {}

} // namespace scantool
