// The engine's trace: one library-wide logger, none by default.
#pragma once

namespace RAVO {

class IAVLogger {
public:
    virtual void Log(int level, const char* format, ...) __attribute__((format(printf, 3, 4))) = 0;

protected:
    ~IAVLogger() = default;
};

// null switches the trace off.
void SetAVLogger(IAVLogger* logger);
IAVLogger* GetAVLogger();

}  // namespace RAVO

// Every engine trace line goes out at level 3, and only when a logger is set.
#define AV_LOG(...)                                                \
    do {                                                           \
        if (::RAVO::IAVLogger* av_logger_ = ::RAVO::GetAVLogger()) \
            av_logger_->Log(3, __VA_ARGS__);                       \
    } while (0)
