#pragma once

// The one instance of each window, created on first use and then only hidden
// and shown again until the run ends; and the navigation between them.

#include <QtGlobal>

#include <memory>

class QWidget;
class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;

class Windows final
{
    Q_DISABLE_COPY_MOVE(Windows)

public:
    Windows();
    ~Windows();

    Form2 &menu();
    Form1 &objects();
    Form4 &trigger();
    Form3 &about();
    Form5 &models();
    Form6 &contact();

    // Shows the main menu: the start of the run.
    void start();
    // Menu hidden first, then the target shown, so only one window is ever visible.
    void openFromMenu(QWidget &target);
    void returnToMenu(QWidget &window);
    // Ends the event loop; every window, shown or hidden, goes with the registry.
    void endRun();

private:
    std::unique_ptr<Form2> m_menu;
    std::unique_ptr<Form1> m_objects;
    std::unique_ptr<Form4> m_trigger;
    std::unique_ptr<Form3> m_about;
    std::unique_ptr<Form5> m_models;
    std::unique_ptr<Form6> m_contact;
};
