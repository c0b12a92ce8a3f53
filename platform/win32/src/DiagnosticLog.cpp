#include "DiagnosticLog.h"

#include <strings.h>

namespace {

struct PriorityName {
    const char* name;
    SDL_LogPriority priority;
};

constexpr PriorityName PRIORITIES[] = {
    {"verbose", SDL_LOG_PRIORITY_VERBOSE}, {"debug", SDL_LOG_PRIORITY_DEBUG},
    {"info", SDL_LOG_PRIORITY_INFO},       {"warn", SDL_LOG_PRIORITY_WARN},
    {"error", SDL_LOG_PRIORITY_ERROR},     {"critical", SDL_LOG_PRIORITY_CRITICAL}};

} // namespace

bool configureDiagnosticLog(const char* setting) {
    // SDL's own default hides errors outside the application category.
    SDL_LogSetAllPriority(SDL_LOG_PRIORITY_WARN);
    if (setting == nullptr || setting[0] == '\0') {
        return true;
    }
    for (const PriorityName& entry : PRIORITIES) {
        if (strcasecmp(setting, entry.name) == 0) {
            SDL_LogSetAllPriority(entry.priority);
            return true;
        }
    }
    return false;
}
