#pragma once

// The Trigger Spawn window: composes trigger spawn blocks into its script box.

#include "script.h"
#include "toolwindow.h"

#include <memory>

namespace Ui {
class Form4;
}

class Form4 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form4)

public:
    explicit Form4(Windows &windows);
    ~Form4() override;

protected:
    bool event(QEvent *event) override;

private:
    void addClicked();
    void copyClicked();
    void clearScriptClicked();
    void clearFieldsClicked();
    void markValues();
    script::TriggerFields fields() const;

    std::unique_ptr<Ui::Form4> m_ui;
};
