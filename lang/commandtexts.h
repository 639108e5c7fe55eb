#pragma once
// Texts of the commands added past the message table, in both UI languages. Their
// numbers start at kCommandTextBase, so a command table row can name either kind.

#include <QString>

inline constexpr int kCommandTextBase = 1000;

enum CommandText : int
{
    kViewMenuText = kCommandTextBase,
    kShowWhitespaceText,
    kShowLineEndsText,
    kIndentGuidesText,
    kLongLineMarkerText,
    kFoldMarginText,
    kFoldAllText,
    kUnfoldAllText,
    kZoomInText,
    kZoomOutText,
    kZoomResetText,
    kMatchingBraceText,
    kLongLineQuestionText, // the input box asking for the column
    kToggleCommentText,
    kDuplicateLineText,
    kMoveLineUpText,
    kMoveLineDownText,
    kDeleteLineText,
    kLineBreaksCrLfText,
    kLineBreaksLfText,
    kLineBreaksCrText,
    kCommandTextEnd
};

// Text `number` of `language` (0 German, any other value English): a message-table entry
// below kCommandTextBase, one of the texts above from it on; empty for any other number.
QString commandText(int language, int number);
