#pragma once

#include <QString>
#include <QUrl>

namespace SupportContact {

// Where users' questions go.
inline constexpr const char *address = "support@registratore.org";
inline constexpr const char *subject = "Contact Us from OSX MAC";
inline constexpr const char *body = "Question:";

// A mailto: URL for the message, encoded by QUrl.
QUrl message();

} // namespace SupportContact
