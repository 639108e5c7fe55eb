#pragma once
// Registration of the built-in functions, one table per area.

#include "interp.h"

#include <QStringList>

namespace quillora::vbs {

void addStringBuiltins(std::vector<Builtin> &out);
void addNumberBuiltins(std::vector<Builtin> &out);
void addDateBuiltins(std::vector<Builtin> &out);
void addMiscBuiltins(std::vector<Builtin> &out);

Value makeStringArray(Interp &in, QStringList items);

} // namespace quillora::vbs
