// The seams of the tool for the benchmarks: message boxes that answer at once
// (and say on standard error what they would have shown), file dialogs that
// are cancelled, and the process's CPU time.
#pragma once

#include "common/filechooser.h"
#include "common/messageboxes.h"

#include <sys/resource.h>

#include <cstdio>

class QuietBoxes final : public kv::MessageBoxes {
public:
    kv::MsgAnswer Show(const kv::MessageRequest& request) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        ++shown;
        return request.buttons == kv::MsgButtons::Ok ? kv::MsgAnswer::Ok : kv::MsgAnswer::No;
    }
    int shown = 0;
};

class NoFiles final : public kv::FileChooser {
public:
    QString SaveFileName(const kv::FileRequest&) override { return {}; }
    QString OpenFileName(const kv::FileRequest&) override { return {}; }
};

// User and system time of this process so far, in seconds.
inline double CpuSecondsSelf()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
