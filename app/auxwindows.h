// The two auxiliary windows, one of each for the whole program, created on
// first use: choosing a menu item again only brings its window forward.
#pragma once

#include <QPointer>

class Form2;
class Form3;

namespace kv {

class AuxWindows {
public:
    AuxWindows() = default;
    ~AuxWindows();
    AuxWindows(const AuxWindows&) = delete;
    AuxWindows& operator=(const AuxWindows&) = delete;

    // Shows the help window; a window that was closed loads again (its text is
    // written anew on a clean surface), an open one is only brought forward.
    Form2* ShowHelp();
    Form3* ShowPicture();

    Form2* Help() const;
    Form3* Picture() const;

private:
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
};

} // namespace kv
