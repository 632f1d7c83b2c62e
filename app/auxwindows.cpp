#include "app/auxwindows.h"

#include "app/form2.h"
#include "app/form3.h"

namespace kv {

AuxWindows::~AuxWindows()
{
    delete m_form2;
    delete m_form3;
}

Form2* AuxWindows::Help() const
{
    return m_form2.data();
}

Form3* AuxWindows::Picture() const
{
    return m_form3.data();
}

Form2* AuxWindows::ShowHelp()
{
    if (!m_form2)
        m_form2 = new Form2;
    if (!m_form2->isVisible()) {
        m_form2->Form_Load();
        m_form2->show();
    }
    m_form2->raise();
    m_form2->activateWindow();
    return m_form2;
}

Form3* AuxWindows::ShowPicture()
{
    if (!m_form3)
        m_form3 = new Form3;
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
    return m_form3;
}

} // namespace kv
