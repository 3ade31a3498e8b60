#pragma once

// The Objects window: composes object spawn blocks into its script box.

#include "script.h"
#include "toolwindow.h"

#include <memory>

namespace Ui {
class Form1;
}

class Form1 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    explicit Form1(Windows &windows);
    ~Form1() override;

private:
    void addClicked();
    void copyClicked();
    void clearScriptClicked();
    void clearFieldsClicked();
    void markValues();
    script::ObjectFields fields() const;

    std::unique_ptr<Ui::Form1> m_ui;
};
