#include "backup/message_log.h"

#include <mutex>

namespace gm::backup::code_module {

namespace {

std::mutex& logMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::string& logText()
{
    static std::string text;
    return text;
}

}  // namespace

void clearMessageLog()
{
    const std::lock_guard lock(logMutex());
    logText().clear();
}

void appendMessage(std::string_view text)
{
    const std::lock_guard lock(logMutex());
    logText().append(text);
}

std::string messageLog()
{
    const std::lock_guard lock(logMutex());
    return logText();
}

void printMessage(std::string_view text)
{
    if (!text.empty() && text.front() == '\n') {
        text = "\r\n";
    }
    appendMessage(text);
}

}  // namespace gm::backup::code_module
