#pragma once

#include <QMetaType>
#include <QString>

#include <vector>

// A text for the user that also goes into the log: kept as its English source and arguments, so
// that the log reads it in English and the screen in the user's language. Made where the failure
// happens (any thread, without the translator), put into words where it is shown.
class TranslatableText {
public:
    TranslatableText() = default;
    // `source` is a string literal marked with QT_TRANSLATE_NOOP(context, ...); both pointers
    // are kept, not copied. Its %1, %2... take arg()'s arguments.
    TranslatableText(const char *context, const char *source) : context_(context), source_(source) {}
    // Words that are never translated: a path, a device's name, the system's words for an error.
    static TranslatableText verbatim(const QString &text);

    // Fills the lowest %N with `a` (then the next with `b`), in one pass: a % in an argument is
    // never taken for a place of its own.
    TranslatableText arg(const TranslatableText &a) const;
    TranslatableText arg(const TranslatableText &a, const TranslatableText &b) const;
    TranslatableText arg(const QString &a) const { return arg(verbatim(a)); }
    TranslatableText arg(const QString &a, const QString &b) const { return arg(verbatim(a), verbatim(b)); }
    // This sentence, then `next` after a space.
    TranslatableText followedBy(const TranslatableText &next) const;

    QString english() const { return text(false); }
    QString translated() const { return text(true); }
    bool isEmpty() const { return english().isEmpty(); }

    friend bool operator==(const TranslatableText &a, const TranslatableText &b)
    {
        return a.english() == b.english();
    }

private:
    QString text(bool translate) const;

    const char *context_ = nullptr; // nullptr: verbatim_, or source_ as it stands
    const char *source_ = nullptr;
    QString verbatim_;
    std::vector<TranslatableText> args_;
};

Q_DECLARE_METATYPE(TranslatableText)
