#pragma once

#include "platform/Log.h"

#include <sstream>
#include <string>
#include <vector>

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture() { Log::redirect(&stream); }
    ~LogCapture() { Log::redirect(nullptr); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(stream.str());
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
    void clear() { stream.str({}); }

private:
    std::ostringstream stream;
};
