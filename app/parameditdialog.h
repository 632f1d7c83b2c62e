// The window "修改参数": one parameter's code, name and register, its value
// read fresh from the drive (unsigned, signed, hex), a box for the new value
// and "写入" (function 06, then a read-back). Read-only parameters show their
// value with the reason writing is disabled.
#pragma once

#include "drive/paramsetrunner.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kv {

class DriveLink;
class MessageBoxes;

class ParameterEditDialog : public QDialog {
    Q_OBJECT
public:
    ParameterEditDialog(DriveLink& link, MessageBoxes& boxes, QWidget* parent = nullptr);

    // Shows the window for a catalogue parameter and reads its value.
    void Edit(int code);
    int Code() const { return m_code; }

    void WriteButton_Click();

    QLabel* CodeValue = nullptr;
    QLabel* NameValue = nullptr;
    QLabel* RegisterValue = nullptr;
    QLabel* CurrentValue = nullptr;  // "1460（有符号 1460，0x05B4）"
    QLineEdit* NewValue = nullptr;
    QPushButton* WriteButton = nullptr;  // "写入"
    QLabel* ReadOnlyNote = nullptr;      // why writing is disabled
    QLabel* ResultText = nullptr;        // "已写入，已校验", the exception, ...

signals:
    // The drive holds the new value (written and read back).
    void Written(int code, quint16 value);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void StartRead();
    void OnRead(int code, const Reading& reading);
    void OnWritten(const WriteReport& report);
    void OnFinished(ParameterSetRunner::Stop stop);
    void SetBusy(bool busy);

    DriveLink& m_link;
    MessageBoxes& m_boxes;
    ParameterSetRunner m_runner;
    int m_code = 0;
    bool m_readPending = false;  // another parameter was chosen while work ran
    bool m_writing = false;
    bool m_reported = false;
};

} // namespace kv
