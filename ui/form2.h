#pragma once

// The main menu: the start-up window and the way to every other window.

#include "toolwindow.h"

#include <memory>

namespace Ui {
class Form2;
}

class Form2 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form2)

public:
    explicit Form2(Windows &windows);
    ~Form2() override;

protected:
    void closeRequested() override; // closing the menu ends the run

private:
    std::unique_ptr<Ui::Form2> m_ui;
};
