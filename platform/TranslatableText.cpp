#include "platform/TranslatableText.h"

#include <QCoreApplication>

TranslatableText TranslatableText::verbatim(const QString &text)
{
    TranslatableText made;
    made.verbatim_ = text;
    return made;
}

TranslatableText TranslatableText::arg(const TranslatableText &a) const
{
    TranslatableText made = *this;
    made.args_.push_back(a);
    return made;
}

TranslatableText TranslatableText::arg(const TranslatableText &a, const TranslatableText &b) const
{
    return arg(a).arg(b);
}

TranslatableText TranslatableText::followedBy(const TranslatableText &next) const
{
    // Sentences follow one another after a space in every language shipped.
    TranslatableText made(nullptr, "%1 %2");
    made.args_ = {*this, next};
    return made;
}

QString TranslatableText::text(bool translate) const
{
    if (!source_)
        return verbatim_;
    QString pattern =
        translate && context_ ? QCoreApplication::translate(context_, source_) : QString::fromUtf8(source_);
    std::vector<QString> filled;
    filled.reserve(args_.size());
    for (const TranslatableText &a : args_)
        filled.push_back(a.text(translate));
    // QString's multi-argument arg() fills every place in one pass.
    switch (filled.size()) {
    case 0:
        return pattern;
    case 1:
        return pattern.arg(filled[0]);
    case 2:
        return pattern.arg(filled[0], filled[1]);
    case 3:
        return pattern.arg(filled[0], filled[1], filled[2]);
    default:
        return pattern.arg(filled[0], filled[1], filled[2], filled[3]);
    }
}
