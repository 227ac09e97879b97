#include "platform/Log.h"

#include <QString>

#include <cstdio>
#include <mutex>
#include <string>

namespace {
std::ostream *target = nullptr;
std::mutex lock;

void appendEscape(std::string &out, unsigned code)
{
    switch (code) {
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02x", code);
    out += hex;
}

// UTF-8 text with C0 controls, DEL and C1 controls (U+0080..U+009F, two bytes in UTF-8)
// escaped; everything else byte for byte.
std::string escapedUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f) {
            appendEscape(out, byte);
        } else if (byte == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            appendEscape(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

void write(std::FILE *stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}
} // namespace

Q_LOGGING_CATEGORY(lcRegistratore, "registratore")

namespace Log {

void line(std::string_view text)
{
    const std::string shown = escapedUtf8(text);
    std::lock_guard guard(lock);
    if (target) {
        *target << shown << '\n';
        target->flush();
        return;
    }
    write(stdout, shown);
}

void line(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    line(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void diagnostic(const QString &text)
{
    qCWarning(lcRegistratore).noquote() << escaped(text);
}

void diagnosticNow(const QString &text)
{
    const QByteArray utf8 = (QStringLiteral("registratore: ") + text).toUtf8();
    std::lock_guard guard(lock);
    write(stderr, escapedUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))));
}

QString escaped(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return QString::fromStdString(
        escapedUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))));
}

void redirect(std::ostream *stream)
{
    std::lock_guard guard(lock);
    target = stream;
}

} // namespace Log
