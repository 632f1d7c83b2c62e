// The settings of the additions, kept between runs (QSettings under the
// organisation and application names). They never touch the original window:
// every run of it starts from its own defaults.
#pragma once

#include "session/capturetrigger.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace kv {

class Preferences {
public:
    // Settings in the default place of the application; a file path for tests.
    Preferences();
    explicit Preferences(const QString& iniPath);

    QVariant Value(const QString& key, const QVariant& fallback) const { return m_settings.value(key, fallback); }
    void SetValue(const QString& key, const QVariant& value);

    // The response timeout the user chose (100..5000 ms); 0 when none was chosen.
    int ResponseTimeoutMs() const;
    void SetResponseTimeoutMs(int ms);

    // Fast sampling of the live values instead of the 500 ms poll timer (off by default).
    bool FastSampling() const;
    void SetFastSampling(bool on);
    // Its period: 20, 50, 100 or 200 ms, or 0 for as fast as the line answers (50 by default).
    int FastPeriodMs() const;
    void SetFastPeriodMs(int ms);
    static bool IsFastPeriod(int ms) { return ms == 0 || ms == 20 || ms == 50 || ms == 100 || ms == 200; }

    // Whether a lost port is opened again by itself (off by default).
    bool AutoReconnect() const;
    void SetAutoReconnect(bool on);
    // The language of the interface: "zh" (the default) or "en"; any other
    // value kept reads as "zh". It takes effect at the next start.
    QString Language() const;
    void SetLanguage(const QString& language);
    static bool IsLanguage(const QString& language) { return language == u"zh" || language == u"en"; }

    // The trigger ("分析" → "触发设置…"): condition, times, mode and folder
    // ("故障 ↑", 5 s before, 5 s after, "单次", the captures folder by default);
    // what cannot be read back as a setting reads as its default.
    TriggerSettings Trigger() const;
    void SetTrigger(const TriggerSettings& settings);
    // Whether the trigger is armed ("触发准备"; off by default).
    bool TriggerArmed() const;
    void SetTriggerArmed(bool armed);
    // "captures" in the user's documents folder.
    static QString DefaultCaptureFolder();

private:
    mutable QSettings m_settings;
};

} // namespace kv
