#pragma once
// Small text rules used all over the program.

#include <QString>

// Lower-cases A to Z only, as the program compares names and extensions.
QString asciiLower(QString text);
// True when `text` is empty after removing leading and trailing codes up to 32.
bool isBlank(QStringView text);
// `text` without leading and trailing codes up to 32.
QString trimCodes(QStringView text);
// The file-name part of a path (after the last separator).
QString fileNamePart(const QString &path);
// The folder part of a path, without the trailing separator; empty when there is none.
QString folderPart(const QString &path);
