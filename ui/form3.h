#pragma once

// The About window: fixed text only.

#include "toolwindow.h"

#include <memory>

namespace Ui {
class Form3;
}

class Form3 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form3)

public:
    explicit Form3(Windows &windows);
    ~Form3() override;

private:
    std::unique_ptr<Ui::Form3> m_ui;
};
