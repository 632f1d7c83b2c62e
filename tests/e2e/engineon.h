// An engine of its own on a serial line at a path (the simulated drive's
// terminal, a socat end), 9600,N,8,1, for the end-to-end tests of the engine
// and of the work that runs on it.
#pragma once

#include "modbus/engine.h"
#include "serial/serialtransport.h"

#include <QTest>

#include <optional>

namespace kv::test {

struct EngineOn {
    explicit EngineOn(const QString& path) { line.Open(path, LineSettings{}, nullptr); }

    // The request's result, or a Result of its own (Timeout, no attempt) when none came in 20 s.
    mb::Result Run(const mb::Request& request)
    {
        std::optional<mb::Result> result;
        engine.Submit(request, [&](const mb::Result& r) { result = r; });
        if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
            return mb::Result();
        return *result;
    }

    SerialTransport line;
    mb::TransactionEngine engine{line};
};

} // namespace kv::test
