#include "schemes/commentmarkers.h"

CommentMarker commentMarker(Scheme scheme)
{
    const auto line = [](const char *start) {
        return CommentMarker{QString::fromLatin1(start), {}};
    };
    switch (scheme) {
    case Scheme::Asm:
        return line(";");
    case Scheme::Cpp:
    case Scheme::CSharp:
    case Scheme::Java:
    case Scheme::JavaScript:
    case Scheme::Pascal:
    case Scheme::Php:
        return line("//");
    case Scheme::Css:
        return {QStringLiteral("/*"), QStringLiteral("*/")};
    case Scheme::Html:
    case Scheme::Xml:
        return {QStringLiteral("<!--"), QStringLiteral("-->")};
    case Scheme::Fortran:
        return line("!");
    case Scheme::Perl:
    case Scheme::Python:
    case Scheme::Ruby:
        return line("#");
    case Scheme::Sql:
        return line("--");
    case Scheme::VisualBasic:
    case Scheme::VBScript:
        return line("'");
    case Scheme::None:
        break;
    }
    return {};
}

CommentMarker commentMarkerOfHighlighter(QStringView highlighter)
{
    if (highlighter.isEmpty())
        return {};
    for (const SchemeEntry &entry : schemeCatalogue()) {
        if (entry.highlighter == highlighter)
            return commentMarker(entry.scheme);
    }
    return {};
}
