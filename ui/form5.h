#pragma once

// The Models List window: take a catalogue entry and copy it to the clipboard.

#include "toolwindow.h"

#include <memory>
#include <string_view>

class QLineEdit;
class QListWidget;

namespace Ui {
class Form5;
}

class Form5 final : public ToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form5)

public:
    explicit Form5(Windows &windows);
    ~Form5() override;

private:
    void getItem(const QListWidget &list, QLineEdit &item, std::string_view noSelection);
    void copyItem(QLineEdit &item);

    std::unique_ptr<Ui::Form5> m_ui;
};
