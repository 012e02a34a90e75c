// The engine's trace: one library-wide logger, none by default.
#pragma once

namespace RAVO {

class IAVLogger {
public:
    virtual void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4))) = 0;

protected:
    ~IAVLogger() = default;
};

// null switches the trace off. Once it returns, no engine thread is still inside
// the previous logger, so the caller may delete it.
void SetAVLogger(IAVLogger* logger);
IAVLogger* GetAVLogger();

// Holds the current logger for the length of one trace line.
class AVLoggerUse {
public:
    AVLoggerUse();
    ~AVLoggerUse();
    AVLoggerUse(const AVLoggerUse&) = delete;
    AVLoggerUse& operator=(const AVLoggerUse&) = delete;
    IAVLogger* const logger;
};

}  // namespace RAVO

// Every engine trace line goes out at level 3, and only when a logger is set.
#define AV_LOG(...)                                              \
    do {                                                         \
        ::RAVO::AVLoggerUse av_use_;                             \
        if (av_use_.logger) av_use_.logger->Log(3, __VA_ARGS__); \
    } while (0)
