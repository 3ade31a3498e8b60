#pragma once

// The Contact window: how to reach whoever ships the tool.

#include "toolwindow.h"

#include <memory>

namespace Ui {
class Form6;
}

class Form6 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form6)

public:
    explicit Form6(Windows &windows);
    ~Form6() override;

private:
    std::unique_ptr<Ui::Form6> m_ui;
};
