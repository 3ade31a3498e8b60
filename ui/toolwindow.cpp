#include "toolwindow.h"

#include "windows.h"

#include <QCloseEvent>
#include <QScreen>

#include <cmath>

namespace {
const QColor kBackground(192, 255, 192); // &H00C0FFC0
} // namespace

ToolWindow::ToolWindow(Windows &windows)
    : m_windows(windows)
{}

ToolWindow::~ToolWindow() = default;

void ToolWindow::finishSetUp(QWidget *firstFocus)
{
    m_firstFocus = firstFocus;
    setFixedSize(size());
    QPalette look = palette();
    look.setColor(QPalette::Window, kBackground);
    setPalette(look);
    setAutoFillBackground(true);
}

void ToolWindow::closeRequested() { m_windows.returnToMenu(*this); }

void ToolWindow::showEvent(QShowEvent *event)
{
    if (!m_shownBefore) {
        m_shownBefore = true;
        centre();
        // Before the first show the window manager's frame is not known yet.
        m_frameUnknown = frameGeometry().size() == size();
        if (m_firstFocus)
            m_firstFocus->setFocus(Qt::OtherFocusReason);
    }
    QWidget::showEvent(event);
}

// Once the window manager has framed the window, centre the outer frame,
// once; windows without a frame (or already known) are not moved again.
bool ToolWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (m_frameUnknown && (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate)
        && frameGeometry().size() != size()) {
        m_frameUnknown = false;
        centre();
    }
    return handled;
}

void ToolWindow::centre()
{
    const QRect whole = screen()->geometry(); // the whole screen, task bars included
    move(whole.topLeft() + centredPosition(whole.size(), frameGeometry().size()));
}

void ToolWindow::closeEvent(QCloseEvent *event)
{
    event->ignore(); // never destroyed; hidden (or the run ends) instead
    closeRequested();
}

QPoint centredPosition(const QSize &screen, const QSize &frame)
{
    const auto half = [](int outer, int inner) {
        return static_cast<int>(std::floor((outer - inner) / 2.0));
    };
    return {half(screen.width(), frame.width()), half(screen.height(), frame.height())};
}
