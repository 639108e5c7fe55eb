#pragma once
// Error numbers and texts of the language, and the exception that carries a script error
// through the interpreter.

#include <QString>

namespace quillora::vbs {

namespace err {
enum : int
{
    InvalidCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    ArrayLocked = 10,
    DivisionByZero = 11,
    TypeMismatch = 13,
    OutOfStringSpace = 14,
    OutOfStack = 28,
    SubNotDefined = 35,
    BadFileMode = 54,
    FileNotFound = 53,
    FileAlreadyExists = 58,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathNotFound = 76,
    ObjectNotSet = 91,
    InvalidUseOfNull = 94,
    ObjectRequired = 424,
    CannotCreateObject = 429,
    NoSuchMember = 438,
    ArgumentNotOptional = 449,
    WrongArgCount = 450,
    NotACollection = 451,
    KeyExists = 457,
    AutomationType = 458, // a conversion whose result a Call discards
    VariableUndefined = 500,
    IllegalAssignment = 501,
    ClassNotDefined = 506,
    RegExpSyntax = 5017,
    ElementNotFound = 32811,
    Interrupted = -2147467260, // E_ABORT
    // compilation errors
    SyntaxError = 1002,
    ExpectedColon = 1003,
    ExpectedLParen = 1005,
    ExpectedRParen = 1006,
    ExpectedRBracket = 1007,
    ExpectedIdentifier = 1010,
    ExpectedEquals = 1011,
    ExpectedIf = 1012,
    ExpectedTo = 1013,
    ExpectedEnd = 1014,
    ExpectedFunction = 1015,
    ExpectedSub = 1016,
    ExpectedThen = 1017,
    ExpectedWend = 1018,
    ExpectedLoop = 1019,
    ExpectedNext = 1020,
    ExpectedCase = 1021,
    ExpectedSelect = 1022,
    ExpectedExpression = 1023,
    ExpectedStatement = 1024,
    ExpectedEndOfStatement = 1025,
    ExpectedInteger = 1026,
    ExpectedWhileUntil = 1027,
    ExpectedWith = 1029,
    InvalidNumber = 1031,
    InvalidCharacter = 1032,
    UnterminatedString = 1033,
    InvalidMe = 1037,
    LoopWithoutDo = 1038,
    InvalidExit = 1039,
    InvalidForVariable = 1040,
    NameRedefined = 1041,
    ParensOnSubCall = 1044,
    ExpectedLiteral = 1045,
    ExpectedIn = 1046,
    ExpectedClass = 1047,
    ExpectedLetSetGet = 1049,
    ExpectedProperty = 1050,
    InitTerminateArgs = 1053,
    UnexpectedNext = 1055,
};
}

// The text of an error number; "Unknown runtime error" when the number has none.
QString errorText(int number);

// A script error in flight. line/column stay -1 until the innermost node that knows its
// position fills them in.
struct ScriptException
{
    int number = 0;
    QString description;
    QString source;
    QString helpFile; // Err.Raise's help file and context
    int helpContext = 0;
    QString text; // the source line
    int line = -1;
    int column = -1;
    bool compile = false;
    bool fatal = false; // an interruption: On Error Resume Next does not catch it

    static ScriptException runtime(int number, const QString &description = QString());
};

[[noreturn]] void throwError(int number, const QString &description = QString());

inline const QString &runtimeSource()
{
    static const QString s = QStringLiteral("Microsoft VBScript runtime error");
    return s;
}
inline const QString &compileSource()
{
    static const QString s = QStringLiteral("Microsoft VBScript compilation error");
    return s;
}

} // namespace quillora::vbs
