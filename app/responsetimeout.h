// "设置" → "响应超时…": the engine's response timeout, 100..5000 ms, asked in a
// small window of its own (it does not hold up the window behind it) and kept
// between runs.
#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QInputDialog;
class QMenu;
class QWidget;

namespace kv {

class Preferences;

namespace mb {
class TransactionEngine;
}

class ResponseTimeoutItem : public QObject {
    Q_OBJECT
public:
    ResponseTimeoutItem(mb::TransactionEngine& engine, QMenu* menu, Preferences& prefs, QWidget* window,
                        QObject* parent = nullptr);

    QAction* ResponseTimeout = nullptr;  // "响应超时…"

    // Opens the window ("ResponseTimeoutDialog"); its OK applies and keeps the value.
    void ResponseTimeout_Click();

private:
    mb::TransactionEngine& m_engine;
    Preferences& m_prefs;
    QWidget* m_window;
    QPointer<QInputDialog> m_dialog;
};

} // namespace kv
