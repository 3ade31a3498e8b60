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
{
}

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
        move(centredPosition(screen()->geometry().size(), frameGeometry().size())
             + screen()->geometry().topLeft());
        if (m_firstFocus)
            m_firstFocus->setFocus(Qt::OtherFocusReason);
    }
    QWidget::showEvent(event);
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
