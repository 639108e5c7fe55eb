#include "errors.h"

#include <QHash>

namespace quillora::vbs {

QString errorText(int number)
{
    static const QHash<int, const char *> texts = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {10, "This array is fixed or temporarily locked"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {14, "Out of string space"},
        {17, "Can't perform requested operation"},
        {28, "Out of stack space"},
        {35, "Sub or Function not defined"},
        {48, "Error in loading DLL"},
        {51, "Internal error"},
        {52, "Bad file name or number"},
        {53, "File not found"},
        {54, "Bad file mode"},
        {55, "File already open"},
        {57, "Device I/O error"},
        {58, "File already exists"},
        {61, "Disk full"},
        {62, "Input past end of file"},
        {67, "Too many files"},
        {68, "Device unavailable"},
        {70, "Permission denied"},
        {71, "Disk not ready"},
        {74, "Can't rename with different drive"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable not set"},
        {92, "For loop not initialized"},
        {94, "Invalid use of Null"},
        {424, "Object required"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {445, "Object doesn't support this action"},
        {448, "Named argument not found"},
        {449, "Argument not optional"},
        {450, "Wrong number of arguments or invalid property assignment"},
        {451, "Object not a collection"},
        {457, "This key is already associated with an element of this collection"},
        {458, "Variable uses an Automation type not supported in VBScript"},
        {500, "Variable is undefined"},
        {501, "Illegal assignment"},
        {505, "Invalid or unqualified reference"},
        {506, "Class not defined"},
        {5017, "Syntax error in regular expression"},
        {32811, "Element not found"},
        {-2147467260, "Operation aborted"},
        {1001, "Out of memory"},
        {1002, "Syntax error"},
        {1003, "Expected ':'"},
        {1005, "Expected '('"},
        {1006, "Expected ')'"},
        {1007, "Expected ']'"},
        {1010, "Expected identifier"},
        {1011, "Expected '='"},
        {1012, "Expected 'If'"},
        {1013, "Expected 'To'"},
        {1014, "Expected 'End'"},
        {1015, "Expected 'Function'"},
        {1016, "Expected 'Sub'"},
        {1017, "Expected 'Then'"},
        {1018, "Expected 'Wend'"},
        {1019, "Expected 'Loop'"},
        {1020, "Expected 'Next'"},
        {1021, "Expected 'Case'"},
        {1022, "Expected 'Select'"},
        {1023, "Expected expression"},
        {1024, "Expected statement"},
        {1025, "Expected end of statement"},
        {1026, "Expected integer constant"},
        {1027, "Expected 'While' or 'Until'"},
        {1029, "Expected 'With'"},
        {1031, "Invalid number"},
        {1032, "Invalid character"},
        {1033, "Unterminated string constant"},
        {1037, "Invalid use of 'Me' keyword"},
        {1038, "'loop' without 'do'"},
        {1039, "Invalid 'exit' statement"},
        {1040, "Invalid 'for' loop control variable"},
        {1041, "Name redefined"},
        {1044, "Cannot use parentheses when calling a Sub"},
        {1045, "Expected literal constant"},
        {1046, "Expected 'In'"},
        {1047, "Expected 'Class'"},
        {1049, "Expected Let or Set or Get in property declaration"},
        {1050, "Expected 'Property'"},
        {1053, "Class initialize or terminate do not have arguments"},
        {1055, "Unexpected 'Next'"},
    };
    auto it = texts.constFind(number);
    return it == texts.constEnd() ? QStringLiteral("Unknown runtime error")
                                  : QString::fromLatin1(it.value());
}

ScriptException ScriptException::runtime(int number, const QString &description)
{
    ScriptException e;
    e.number = number;
    e.description = description.isEmpty() ? errorText(number) : description;
    e.source = runtimeSource();
    e.fatal = number == err::Interrupted;
    return e;
}

void throwError(int number, const QString &description)
{
    throw ScriptException::runtime(number, description);
}

} // namespace quillora::vbs
