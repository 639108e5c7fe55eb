#pragma once
// Native objects: Err, Scripting.Dictionary, VBScript.RegExp (with its Match collections),
// the Scripting.FileSystemObject subset, and wrappers for host QObjects.

#include "object.h"

class QObject;

namespace quillora::vbs {

class Interp;

Object *newErrObject(Interp &in);
Object *newDictionary();
Object *newRegExp();
Object *newFileSystemObject();
Object *newQObjectWrapper(QObject *object);
// CreateObject: null when the program id is unknown.
Object *createObjectByProgId(const QString &progId);

} // namespace quillora::vbs
