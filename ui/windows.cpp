#include "windows.h"

#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "form6.h"

#include <QCoreApplication>

namespace {

template <class Window>
Window &created(std::unique_ptr<Window> &slot, Windows &windows)
{
    if (!slot)
        slot = std::make_unique<Window>(windows);
    return *slot;
}

} // namespace

Windows::Windows() = default;

// Children go before the menu: their destructors never reach back to it.
Windows::~Windows()
{
    m_contact.reset();
    m_models.reset();
    m_about.reset();
    m_trigger.reset();
    m_objects.reset();
    m_menu.reset();
}

Form2 &Windows::menu() { return created(m_menu, *this); }
Form1 &Windows::objects() { return created(m_objects, *this); }
Form4 &Windows::trigger() { return created(m_trigger, *this); }
Form3 &Windows::about() { return created(m_about, *this); }
Form5 &Windows::models() { return created(m_models, *this); }
Form6 &Windows::contact() { return created(m_contact, *this); }

void Windows::start() { menu().show(); }

void Windows::openFromMenu(QWidget &target)
{
    menu().hide();
    target.show();
}

void Windows::returnToMenu(QWidget &window)
{
    window.hide();
    menu().show();
}

void Windows::endRun()
{
    // exit(), not quit(): quit() would first try to close every window, and a
    // window's close request means "back to the menu" here.
    QCoreApplication::exit(0);
}
