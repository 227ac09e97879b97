#include "platform/capture/pulse/PulseServerConnection.h"

namespace platform {

namespace {

const TranslatableText kNoMicrophone("Microphone", QT_TRANSLATE_NOOP("Microphone", "No microphone found."));
const TranslatableText kNoAnswer("Microphone",
                                 QT_TRANSLATE_NOOP("Microphone",
                                                   "No microphone found: the sound server does not answer."));

// `text` in `*error` when given; false.
bool fail(TranslatableText *error, const TranslatableText &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

TranslatableText pulseError(pa_context *context, const TranslatableText &what)
{
    return TranslatableText(nullptr, "%1 (%2).")
        .arg(what, TranslatableText::verbatim(
                       QString::fromUtf8(pa_strerror(context ? pa_context_errno(context) : PA_ERR_UNKNOWN))));
}

PulseServerConnection::PulseServerConnection(PulseLoop &loop, std::function<void()> lost)
    : loop_(loop), lost_(std::move(lost))
{
    pa_proplist *properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Registratore");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ID, "registratore");
    pa_proplist_sets(properties, PA_PROP_APPLICATION_ICON_NAME, "audio-input-microphone");
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "production");
    context_ = pa_context_new_with_proplist(loop_.api(), "Registratore", properties);
    pa_proplist_free(properties);
    if (!context_)
        return;
    pa_context_set_state_callback(
        context_,
        [](pa_context *context, void *self) {
            auto *connection = static_cast<PulseServerConnection *>(self);
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) && connection->lost_)
                connection->lost_();
            connection->loop_.wake();
        },
        this);
}

PulseServerConnection::~PulseServerConnection()
{
    if (!context_)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
}

bool PulseServerConnection::good() const
{
    return context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

bool PulseServerConnection::connect(pa_usec_t until, TranslatableText *error)
{
    if (!context_)
        return fail(error,
                    {"Microphone",
                     QT_TRANSLATE_NOOP("Microphone",
                                       "Cannot capture the microphone: cannot start the sound thread.")});
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return fail(error,
                    pulseError(context_,
                               {"Microphone",
                                QT_TRANSLATE_NOOP("Microphone",
                                                  "No microphone found: the sound server is not running")}));
    loop_.waitUntil(until, [&] { return pa_context_get_state(context_) == PA_CONTEXT_READY || !good(); });
    if (!good())
        return fail(
            error,
            pulseError(context_, {"Microphone",
                                  QT_TRANSLATE_NOOP("Microphone",
                                                    "No microphone found: cannot reach the sound server")}));
    if (pa_context_get_state(context_) != PA_CONTEXT_READY || !askDefaultSource(until) || !good())
        return fail(error, kNoAnswer);
    if (lookup_.name.empty())
        return fail(error, kNoMicrophone);
    const std::string name = lookup_.name;
    bool answered = false;
    const bool microphone = isMicrophone(name, until, answered);
    if (!answered)
        return fail(error, kNoAnswer);
    if (!microphone)
        return fail(error, kNoMicrophone);
    microphone_ = name;
    return true;
}

std::optional<std::string> PulseServerConnection::defaultSource(pa_usec_t until)
{
    if (!good() || !askDefaultSource(until) || lookup_.name.empty())
        return std::nullopt;
    return lookup_.name;
}

bool PulseServerConnection::askDefaultSource(pa_usec_t until)
{
    lookup_ = {};
    forget(pa_context_get_server_info(
        context_,
        [](pa_context *, const pa_server_info *info, void *self) {
            auto *connection = static_cast<PulseServerConnection *>(self);
            if (info && info->default_source_name)
                connection->lookup_.name = info->default_source_name;
            connection->lookup_.done = true;
            connection->loop_.wake();
        },
        this));
    return loop_.waitUntil(until, [&] { return lookup_.done || !good(); }) && lookup_.done;
}

// With no microphone plugged in, the server falls back to the monitor of an output, which would
// record whatever the computer plays: that is not a microphone.
bool PulseServerConnection::isMicrophone(const std::string &name, pa_usec_t until, bool &answered)
{
    lookup_.done = false;
    forget(pa_context_get_source_info_by_name(
        context_, name.c_str(),
        [](pa_context *, const pa_source_info *info, int eol, void *self) {
            auto *connection = static_cast<PulseServerConnection *>(self);
            if (info) {
                connection->lookup_.found = true;
                connection->lookup_.monitor = info->monitor_of_sink != PA_INVALID_INDEX;
            }
            if (eol != 0) {
                connection->lookup_.done = true;
                connection->loop_.wake();
            }
        },
        this));
    answered = loop_.waitUntil(until, [&] { return lookup_.done || !good(); }) && good();
    return lookup_.found && !lookup_.monitor;
}

} // namespace platform
