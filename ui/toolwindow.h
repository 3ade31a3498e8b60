#pragma once

// What every window of the tool shares: the light-green look, a fixed size,
// centring once per run when first shown, and a frame close that acts like
// the window's own "Close" button.

#include <QWidget>

class Windows;

class ToolWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolWindow)

public:
    explicit ToolWindow(Windows &windows);
    ~ToolWindow() override;

protected:
    // Call once the stored layout is set up: fixes the size and look, and
    // names the control that holds the focus when the window first shows.
    void finishSetUp(QWidget *firstFocus);
    Windows &windows() const { return m_windows; }

    // The frame's close box, Alt+F4 or the system menu: back to the menu.
    virtual void closeRequested();

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void centre();

    Windows &m_windows;
    QWidget *m_firstFocus = nullptr;
    bool m_shownBefore = false;
    bool m_frameUnknown = false;
};

// Top-left corner that centres a frame of the given size on the whole screen.
// Half a pixel left over from an odd difference is dropped; nothing is clamped.
QPoint centredPosition(const QSize &screen, const QSize &frame);
