#include "platform/Log.h"

#include <QString>

#include <cstdio>
#include <mutex>

namespace {
std::ostream *target = nullptr;
std::mutex lock;
} // namespace

namespace Log {

void line(std::string_view text)
{
    std::lock_guard guard(lock);
    if (target) {
        *target << text << '\n';
        target->flush();
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void line(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    line(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void redirect(std::ostream *stream)
{
    std::lock_guard guard(lock);
    target = stream;
}

} // namespace Log
