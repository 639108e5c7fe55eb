#pragma once
// The line-comment marker of each scheme, for toggling comments.

#include "schemes/schemecatalogue.h"
#include "texttools/linecomments.h"

CommentMarker commentMarker(Scheme scheme);
// The marker of the scheme whose highlighter component is `highlighter` ("SynCppSyn1");
// none for an empty or unknown name.
CommentMarker commentMarkerOfHighlighter(QStringView highlighter);
