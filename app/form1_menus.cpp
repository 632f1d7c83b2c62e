// The menu items: the terminal switch, the help and picture windows, and the
// serial component's registration.
#include "app/form1.h"

#include "app/startup.h"
#include "serial/mscomm.h"
#include "serial/transport.h"

#include <QAction>
#include <QGroupBox>

void Form1::debug1_Click()
{
    debug1->setChecked(!debug1->isChecked());
    if (debug1->isChecked()) {
        // Whatever waits in the serial control is dropped; with the port closed
        // there is nothing to drop.
        try {
            if (!MSComm->Line().Claimed())  // what waits then belongs to the work that has the line
                MSComm->setInBufferCount(0);
        } catch (const kv::CommError&) {
        }
        Frame1->show();
        Frame1->raise();
    } else {
        Frame1->hide();
    }
}

void Form1::Instruction_Click()
{
    m_aux.ShowHelp();
}

void Form1::about_Click()
{
    m_aux.ShowPicture();
}

void Form1::regsvr32_Click()
{
    kv::RegisterSerialComponent(m_platform);
}

void Form1::regsvr32u_Click()
{
    kv::UnregisterSerialComponent(m_platform);
}
